#pragma once
// The time source of the application's periodical timers and delayed messages. The
// message centre reads the steady clock unless a manual clock is installed; a manual
// clock moves only when its owner advances it, so that behaviour driven by timers can
// be stepped through exactly instead of waited for.
#include <algorithm>
#include <chrono>
#include <mutex>
#include <thread>

class XClock {
public:
    using TimePoint = std::chrono::steady_clock::time_point;
    using Duration = std::chrono::steady_clock::duration;

    virtual ~XClock() = default;
    virtual TimePoint Now() const = 0;
    // Returns once Now() has reached inTime. A real clock sleeps; a manual clock
    // moves forward to it, since nothing else would move it while its owner waits.
    virtual void WaitUntil(TimePoint inTime) = 0;
};

class XManualClock : public XClock {
public:
    // Starts at the steady clock's present, so that times already handed out stay in the past.
    XManualClock() : itsNow(std::chrono::steady_clock::now()) {}

    TimePoint Now() const override
    {
        std::lock_guard<std::mutex> lock(itsMutex);
        return itsNow;
    }
    void Advance(Duration inStep)
    {
        std::lock_guard<std::mutex> lock(itsMutex);
        itsNow += inStep;
    }
    void WaitUntil(TimePoint inTime) override
    {
        std::lock_guard<std::mutex> lock(itsMutex);
        itsNow = std::max(itsNow, inTime);
    }

private:
    mutable std::mutex itsMutex;
    TimePoint itsNow;
};

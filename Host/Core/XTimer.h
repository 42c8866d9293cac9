#pragma once
// Measures elapsed time in milliseconds on the application's clock (the steady clock,
// or the manual clock a test installed in the message centre), and can serve as a
// count-down: a timer set to a duration has run out once that much time has passed.
#include <chrono>
#include <cstdint>

class XTimer {
public:
    // Starts at once, as though inElapsedMs had already passed, with a count-down of
    // inDurationMs (so XTimer(0, 0) has run out from the start).
    explicit XTimer(int64_t inDurationMs = 0, int64_t inElapsedMs = 0);

    // Restarts from zero, keeping the duration.
    void Start();
    // Restarts from zero with a new count-down duration.
    void Set(int64_t inDurationMs);
    int64_t GetElapsedTime() const;
    int64_t GetDuration() const { return itsDurationMs; }
    // Milliseconds left of the count-down (0 once it has run out).
    int64_t GetRemainingTime() const;
    bool HasRunOut() const { return GetRemainingTime() == 0; }

private:
    std::chrono::steady_clock::time_point itsStart;
    int64_t itsDurationMs;
};

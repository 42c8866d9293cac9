#pragma once
// What speakers and periodical timers need of the application message centre: a queue
// for posted messages and the list of running timers. The centre implements it, so
// speakers and timers stay below the centre instead of reaching into it.
#include "XListener.h"

#include <chrono>
#include <cstdint>
#include <memory>

class XMessage;
class XTimerPeriodical;

class XAppMessageQueue {
public:
    using Clock = std::chrono::steady_clock;

    // The application's queue: its message centre.
    static XAppMessageQueue& Get();

    // Delivers inMessage to inListener on the main thread, not before inWhen milliseconds.
    virtual void QueueMessage(std::unique_ptr<XMessage> inMessage, std::shared_ptr<XListener::XCore> inListener,
                              uint32_t inWhen) = 0;
    // +1 suspends the periodical timers, -1 undoes one suspension.
    virtual void AdjustIdleSuspension(int inChange) = 0;
    virtual void StartPeriodical(XTimerPeriodical* inTimer, Clock::duration inPeriod) = 0;
    virtual void StopPeriodical(XTimerPeriodical* inTimer) = 0;
    virtual bool IsPeriodicalRunning(const XTimerPeriodical* inTimer) const = 0;
    // The application's time: the steady clock, or the clock a test installed.
    virtual Clock::time_point Now() const = 0;

protected:
    ~XAppMessageQueue() = default;
};

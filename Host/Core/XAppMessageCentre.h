#pragma once
// The application's message centre: the queue of posted messages and the pump that
// delivers them on the main thread, the runner of periodical timers, and the speaker
// that tells the application's own events (XAppInitialisedMessage).
#include "XAppMessageQueue.h"
#include "XClock.h"
#include "XListener.h"
#include "XSpeaker.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

class XMessage;
class XTimerPeriodical;

class XAppMessageCentre : public XSpeaker, public XAppMessageQueue {
public:
    static XAppMessageCentre& GetAppMessageCentre();

    // The pump (main thread only): delivers every due message queued before the call,
    // in the order posted, then runs the periodical timers that are due unless idle
    // processing is suspended. Returns the number of messages delivered.
    uint32_t ProcessMessages();
    // For host main loops and tests: waits until a message or timer is due, or the
    // time-out passes, then pumps. Returns the number of messages delivered.
    uint32_t WaitAndProcessMessages(uint32_t inTimeoutMs);

    // Tells every subscriber of the centre that the application has initialised.
    void SendAppInitialised();

    // Installs the clock that timers and delayed messages follow (main thread, with no
    // timer running); null goes back to the steady clock. The caller keeps the clock
    // alive until it is replaced. While a manual clock is installed,
    // WaitAndProcessMessages does not wait: time moves only when the clock is advanced.
    void SetClock(XClock* inClock);
    XClock::TimePoint Now() const override;
    // Returns once Now() has reached inTime: sleeps on the steady clock, moves a
    // manual clock forward (see XClock::WaitUntil). Any thread.
    void WaitUntil(XClock::TimePoint inTime);

    bool IsIdleProcessingSuspended() const;
    // Messages waiting for delivery, due or not.
    size_t GetQueuedMessageCount() const;

private:
    struct XQueuedMessage {
        std::unique_ptr<XMessage> message;
        std::shared_ptr<XListener::XCore> listener;
        Clock::time_point due;
        uint64_t sequence = 0;
    };
    struct XPeriodicalEntry {
        XTimerPeriodical* timer;
        uint64_t registration; // tells a re-started timer from its earlier run
        Clock::duration period;
        Clock::time_point due;
    };

    XAppMessageCentre() = default;
    ~XAppMessageCentre() override = default;

    void QueueMessage(std::unique_ptr<XMessage> inMessage, std::shared_ptr<XListener::XCore> inListener,
                      uint32_t inWhen) override;
    // Replaces a queued message of the same type for the same listener; false when none.
    bool CoalesceLocked(std::unique_ptr<XMessage>& inOutMessage, const XListener::XCore* inListener);
    void MoveDueDelayedLocked(Clock::time_point inNow);
    bool IsAnythingDueLocked(Clock::time_point inNow) const;
    Clock::time_point GetNextDueLocked() const;
    bool Deliver(XQueuedMessage& inEntry);

    void AdjustIdleSuspension(int inChange) override;
    void StartPeriodical(XTimerPeriodical* inTimer, Clock::duration inPeriod) override;
    void StopPeriodical(XTimerPeriodical* inTimer) override;
    bool IsPeriodicalRunning(const XTimerPeriodical* inTimer) const override;
    void RunDuePeriodicals();

    mutable std::mutex itsMutex;
    std::condition_variable itsCondition;
    std::deque<XQueuedMessage> itsReady;                     // due, in sequence order
    std::multimap<Clock::time_point, XQueuedMessage> itsDelayed; // posted with a delay
    uint64_t itsNextSequence = 0;
    int itsIdleSuspendCount = 0;
    std::vector<XPeriodicalEntry> itsPeriodicals;
    uint64_t itsNextRegistration = 1;
    std::atomic<XClock*> itsClock{nullptr}; // null: the steady clock
};

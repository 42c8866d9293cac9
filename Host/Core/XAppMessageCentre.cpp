#include "XAppMessageCentre.h"

#include "XAppInitialisedMessage.h"
#include "XAssert.h"
#include "XException.h"
#include "XMessage.h"
#include "XSessionLogManager.h"
#include "XThread.h"
#include "XTimerPeriodical.h"

#include <algorithm>
#include <exception>
#include <thread>
#include <typeinfo>
#include <utility>

namespace {
// A failing handler or timer must not stop the pump: later messages still arrive.
template <class F>
void RunLogged(const char* inWhat, F&& inCall)
{
    try {
        inCall();
    } catch (const XException& e) {
        if (e.ShouldReportError())
            XSessionLogManager::GetManager()->AddEntry(XString("%1 failed: %2").Replace(XString(inWhat)).Replace(e.GetErrorMessage()),
                                                       XSessionLogManager::kError);
    } catch (const std::exception& e) {
        XSessionLogManager::GetManager()->AddEntry(XString("%1 failed: %2").Replace(XString(inWhat)).Replace(XString(e.what())),
                                                   XSessionLogManager::kError);
    } catch (...) {
        XSessionLogManager::GetManager()->AddEntry(XString("%1 failed by an unknown error").Replace(XString(inWhat)),
                                                   XSessionLogManager::kError);
    }
}
} // namespace

XAppMessageCentre& XAppMessageCentre::GetAppMessageCentre()
{
    // Lives for the process: messages may still be posted while statics are destroyed.
    static XAppMessageCentre* sCentre = new XAppMessageCentre;
    return *sCentre;
}

XAppMessageQueue& XAppMessageQueue::Get() { return XAppMessageCentre::GetAppMessageCentre(); }

void XAppMessageCentre::QueueMessage(std::unique_ptr<XMessage> inMessage, std::shared_ptr<XListener::XCore> inListener,
                                     uint32_t inWhen)
{
    {
        std::lock_guard<std::mutex> lock(itsMutex);
        if (inMessage->ShouldCoalesceQueueMessage() && CoalesceLocked(inMessage, inListener.get())) {
            // inMessage now holds the replaced message, deleted below outside the lock
        } else {
            XQueuedMessage entry{std::move(inMessage), std::move(inListener), Now(), 0};
            if (inWhen == 0) {
                entry.sequence = itsNextSequence++;
                itsReady.push_back(std::move(entry));
            } else {
                entry.due += std::chrono::milliseconds(inWhen);
                Clock::time_point due = entry.due;
                itsDelayed.emplace(due, std::move(entry));
            }
        }
    }
    itsCondition.notify_all();
}

bool XAppMessageCentre::CoalesceLocked(std::unique_ptr<XMessage>& inOutMessage, const XListener::XCore* inListener)
{
    const XMessage& newer = *inOutMessage;
    const std::type_info& type = typeid(newer);
    auto matches = [&](const XQueuedMessage& e) {
        const XMessage& older = *e.message;
        return e.listener.get() == inListener && typeid(older) == type;
    };
    // The newer message takes the older one's place in the queue.
    for (XQueuedMessage& e : itsReady)
        if (matches(e)) {
            std::swap(e.message, inOutMessage);
            return true;
        }
    for (auto& [due, e] : itsDelayed)
        if (matches(e)) {
            std::swap(e.message, inOutMessage);
            return true;
        }
    return false;
}

void XAppMessageCentre::MoveDueDelayedLocked(Clock::time_point inNow)
{
    while (!itsDelayed.empty() && itsDelayed.begin()->first <= inNow) {
        XQueuedMessage entry = std::move(itsDelayed.begin()->second);
        itsDelayed.erase(itsDelayed.begin());
        entry.sequence = itsNextSequence++;
        itsReady.push_back(std::move(entry));
    }
}

bool XAppMessageCentre::IsAnythingDueLocked(Clock::time_point inNow) const
{
    if (!itsReady.empty())
        return true;
    if (!itsDelayed.empty() && itsDelayed.begin()->first <= inNow)
        return true;
    if (itsIdleSuspendCount == 0)
        for (const XPeriodicalEntry& e : itsPeriodicals)
            if (e.due <= inNow)
                return true;
    return false;
}

XAppMessageCentre::Clock::time_point XAppMessageCentre::GetNextDueLocked() const
{
    Clock::time_point next = Clock::time_point::max();
    if (!itsDelayed.empty())
        next = itsDelayed.begin()->first;
    if (itsIdleSuspendCount == 0)
        for (const XPeriodicalEntry& e : itsPeriodicals)
            next = std::min(next, e.due);
    return next;
}

bool XAppMessageCentre::Deliver(XQueuedMessage& inEntry)
{
    bool delivered = false;
    RunLogged("A message handler", [&] { delivered = inEntry.listener->Deliver(*inEntry.message); });
    return delivered;
}

uint32_t XAppMessageCentre::ProcessMessages()
{
    X_ASSERT_TEXT(XThread::IsMainThread(), "XThread::IsMainThread()");
    if (!XThread::IsMainThread())
        return 0;
    uint64_t limit;
    {
        std::lock_guard<std::mutex> lock(itsMutex);
        MoveDueDelayedLocked(Now());
        limit = itsNextSequence;
    }
    uint32_t delivered = 0;
    for (;;) {
        XQueuedMessage entry;
        {
            std::lock_guard<std::mutex> lock(itsMutex);
            // Messages posted while this batch is delivered wait for the next call.
            if (itsReady.empty() || itsReady.front().sequence >= limit)
                break;
            entry = std::move(itsReady.front());
            itsReady.pop_front();
        }
        if (Deliver(entry))
            ++delivered;
    }
    RunDuePeriodicals();
    return delivered;
}

void XAppMessageCentre::SetClock(XClock* inClock)
{
    itsClock = inClock;
    itsCondition.notify_all();
}

void XAppMessageCentre::WaitUntil(XClock::TimePoint inTime)
{
    if (XClock* clock = itsClock.load())
        clock->WaitUntil(inTime);
    else
        std::this_thread::sleep_until(inTime);
}

XClock::TimePoint XAppMessageCentre::Now() const
{
    const XClock* clock = itsClock.load();
    return clock ? clock->Now() : Clock::now();
}

uint32_t XAppMessageCentre::WaitAndProcessMessages(uint32_t inTimeoutMs)
{
    X_ASSERT_TEXT(XThread::IsMainThread(), "XThread::IsMainThread()");
    if (!XThread::IsMainThread())
        return 0;
    // Waiting on the steady clock would not bring a manual clock's next time any closer.
    if (itsClock.load())
        return ProcessMessages();
    const Clock::time_point deadline = Now() + std::chrono::milliseconds(inTimeoutMs);
    {
        std::unique_lock<std::mutex> lock(itsMutex);
        for (Clock::time_point now = Now(); !IsAnythingDueLocked(now) && now < deadline; now = Now())
            itsCondition.wait_until(lock, std::min(deadline, GetNextDueLocked()));
    }
    return ProcessMessages();
}

void XAppMessageCentre::SendAppInitialised()
{
    XAppInitialisedMessage message(this);
    SpeakMessage(message, kDeliverNow);
}

bool XAppMessageCentre::IsIdleProcessingSuspended() const
{
    std::lock_guard<std::mutex> lock(itsMutex);
    return itsIdleSuspendCount > 0;
}

size_t XAppMessageCentre::GetQueuedMessageCount() const
{
    std::lock_guard<std::mutex> lock(itsMutex);
    return itsReady.size() + itsDelayed.size();
}

void XAppMessageCentre::AdjustIdleSuspension(int inChange)
{
    {
        std::lock_guard<std::mutex> lock(itsMutex);
        X_ASSERT_TEXT(itsIdleSuspendCount + inChange >= 0, "SuspendIdleProcessing and ResumeIdleProcessing balance");
        itsIdleSuspendCount = std::max(0, itsIdleSuspendCount + inChange);
    }
    itsCondition.notify_all();
}

void XAppMessageCentre::StartPeriodical(XTimerPeriodical* inTimer, Clock::duration inPeriod)
{
    {
        std::lock_guard<std::mutex> lock(itsMutex);
        const Clock::time_point due = Now() + inPeriod;
        auto it = std::find_if(itsPeriodicals.begin(), itsPeriodicals.end(),
                               [&](const XPeriodicalEntry& e) { return e.timer == inTimer; });
        if (it != itsPeriodicals.end()) {
            it->period = inPeriod;
            it->due = due;
        } else
            itsPeriodicals.push_back(XPeriodicalEntry{inTimer, itsNextRegistration++, inPeriod, due});
    }
    itsCondition.notify_all();
}

void XAppMessageCentre::StopPeriodical(XTimerPeriodical* inTimer)
{
    std::lock_guard<std::mutex> lock(itsMutex);
    std::erase_if(itsPeriodicals, [&](const XPeriodicalEntry& e) { return e.timer == inTimer; });
}

bool XAppMessageCentre::IsPeriodicalRunning(const XTimerPeriodical* inTimer) const
{
    std::lock_guard<std::mutex> lock(itsMutex);
    return std::any_of(itsPeriodicals.begin(), itsPeriodicals.end(),
                       [&](const XPeriodicalEntry& e) { return e.timer == inTimer; });
}

void XAppMessageCentre::RunDuePeriodicals()
{
    std::vector<std::pair<XTimerPeriodical*, uint64_t>> due;
    {
        std::lock_guard<std::mutex> lock(itsMutex);
        if (itsIdleSuspendCount > 0)
            return;
        const Clock::time_point now = Now();
        for (XPeriodicalEntry& e : itsPeriodicals)
            if (e.due <= now) {
                due.emplace_back(e.timer, e.registration);
                // A pump that fell behind runs a timer once, not once per missed period.
                e.due += e.period;
                if (e.due <= now)
                    e.due = now + e.period;
            }
    }
    for (const auto& entry : due) {
        // Plain copies: lambdas cannot capture structured bindings on every compiler we build with.
        const auto timer = entry.first;
        const auto registration = entry.second;
        {
            // An earlier timer of this batch may have stopped this one, or suspended idle work.
            std::lock_guard<std::mutex> lock(itsMutex);
            bool live = itsIdleSuspendCount == 0 &&
                        std::any_of(itsPeriodicals.begin(), itsPeriodicals.end(), [&](const XPeriodicalEntry& e) {
                            return e.timer == timer && e.registration == registration;
                        });
            if (!live)
                continue;
        }
        RunLogged("A periodical timer", [&] { timer->ExecutePeriodical(); });
    }
}

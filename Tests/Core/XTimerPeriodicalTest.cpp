#include "CoreTestPump.h"
#include "XAppMessageCentre.h"
#include "XThread.h"
#include "XTimer.h"
#include "XTimerPeriodical.h"

#include <gtest/gtest.h>
#include <thread>

namespace {
class XCountingPeriodical : public XTimerPeriodical {
public:
    explicit XCountingPeriodical(double inPeriod) : XTimerPeriodical(inPeriod) {}
    int itsRuns = 0;
    bool itsOnMainThread = true;
    std::function<void()> itsOnRun;

protected:
    void ExecutePeriodicalSelf() override
    {
        ++itsRuns;
        itsOnMainThread = itsOnMainThread && XThread::IsMainThread();
        if (itsOnRun)
            itsOnRun();
    }
};

// Gives due timers a chance to run after inMs.
void PumpAfter(int inMs)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(inMs));
    XAppMessageCentre::GetAppMessageCentre().ProcessMessages();
}
} // namespace

TEST(XTimerPeriodical, RunsFromThePumpOnTheMainThreadUntilStopped)
{
    DrainMessages();
    XCountingPeriodical timer(1.0);
    timer.SetPeriodicalPeriod(0.005);
    PumpAfter(20);
    EXPECT_EQ(timer.itsRuns, 0) << "not started yet";
    timer.StartPeriodical();
    ASSERT_TRUE(PumpUntil([&] { return timer.itsRuns >= 3; }));
    EXPECT_TRUE(timer.itsOnMainThread);
    timer.StopPeriodical();
    int runs = timer.itsRuns;
    PumpAfter(20);
    EXPECT_EQ(timer.itsRuns, runs);
}

TEST(XTimerPeriodical, DoesNotRunWhileIdleProcessingIsSuspended)
{
    DrainMessages();
    XCountingPeriodical timer(0.005);
    timer.StartPeriodical();
    XSpeaker::SuspendIdleProcessing();
    XSpeaker::SuspendIdleProcessing(); // nested
    EXPECT_TRUE(XAppMessageCentre::GetAppMessageCentre().IsIdleProcessingSuspended());
    for (int i = 0; i < 5; ++i)
        PumpAfter(10);
    XSpeaker::ResumeIdleProcessing();
    XAppMessageCentre::GetAppMessageCentre().WaitAndProcessMessages(20);
    EXPECT_EQ(timer.itsRuns, 0);
    XSpeaker::ResumeIdleProcessing();
    EXPECT_FALSE(XAppMessageCentre::GetAppMessageCentre().IsIdleProcessingSuspended());
    EXPECT_TRUE(PumpUntil([&] { return timer.itsRuns >= 1; }));
}

TEST(XTimerPeriodical, ATimerDestroyedByAnotherTimerDoesNotRun)
{
    DrainMessages();
    int secondRuns = 0;
    XCountingPeriodical first(0.001);
    auto second = std::make_unique<XCountingPeriodical>(0.001);
    second->itsOnRun = [&] { ++secondRuns; };
    first.itsOnRun = [&] { second.reset(); };
    first.StartPeriodical();
    second->StartPeriodical();
    PumpAfter(10); // both are due in this pump; the first destroys the second before its turn
    EXPECT_EQ(first.itsRuns, 1);
    EXPECT_EQ(second, nullptr);
    EXPECT_EQ(secondRuns, 0);
    first.StopPeriodical();
}

TEST(XTimer, FollowsTheApplicationClockAndWaitingMovesAManualOne)
{
    XAppMessageCentre& centre = XAppMessageCentre::GetAppMessageCentre();
    XManualClock clock;
    centre.SetClock(&clock);
    EXPECT_TRUE(XTimer(0, 0).HasRunOut());
    const XTimer older(0, 5000);
    XTimer timer(100, 0);
    struct Step {
        int advanceMs, waitUntilMs; // the wait is from the start; below the clock's time it does nothing
        int64_t elapsed;
        bool ranOut;
    };
    const XClock::TimePoint start = clock.Now();
    for (const Step& s : {Step{40, 0, 40, false}, Step{0, 30, 40, false}, Step{0, 99, 99, false},
                          Step{1, 0, 100, true}, Step{0, 250, 250, true}}) {
        clock.Advance(std::chrono::milliseconds(s.advanceMs));
        centre.WaitUntil(start + std::chrono::milliseconds(s.waitUntilMs));
        EXPECT_EQ(timer.GetElapsedTime(), s.elapsed);
        EXPECT_EQ(timer.HasRunOut(), s.ranOut) << s.elapsed;
    }
    EXPECT_EQ(older.GetElapsedTime(), 5250);
    timer.Set(10); // a new count-down from now
    EXPECT_EQ(timer.GetElapsedTime(), 0);
    EXPECT_EQ(timer.GetRemainingTime(), 10);
    clock.Advance(std::chrono::milliseconds(15));
    EXPECT_EQ(timer.GetRemainingTime(), 0);
    centre.SetClock(nullptr);
}

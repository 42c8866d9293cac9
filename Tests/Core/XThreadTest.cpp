#include "CoreTestPump.h"
#include "XAssertRecorder.h"
#include "XStopThreadException.h"
#include "XThread.h"
#include "XThreadYield.h"

#include <atomic>
#include <chrono>
#include <gtest/gtest.h>
#include <thread>

TEST(XThread, KnowsTheMainThreadAndItsOwnThreads)
{
    EXPECT_TRUE(XThread::IsMainThread());
    EXPECT_EQ(XThread::GetCurrentThread(), nullptr);

    std::atomic<bool> wasMain{true};
    std::atomic<XThread*> seen{nullptr};
    std::atomic<uint64_t> id{0};
    XThread thread([&] {
        wasMain = XThread::IsMainThread();
        seen = XThread::GetCurrentThread();
        id = XThread::GetCurrentThreadID();
    });
    ASSERT_TRUE(thread.Start());
    thread.Join();
    EXPECT_FALSE(wasMain);
    EXPECT_EQ(seen.load(), &thread);
    EXPECT_NE(id.load(), XThread::GetCurrentThreadID());
    EXPECT_EQ(id.load(), thread.GetThreadID());
    EXPECT_FALSE(thread.IsRunning());

    bool plainWasMain = true;
    std::thread([&] { plainWasMain = XThread::IsMainThread(); }).join();
    EXPECT_FALSE(plainWasMain);
}

TEST(XThread, StopRequestEndsTheThreadAtItsNextTest)
{
    std::atomic<int> loops{0};
    std::atomic<bool> leftByException{false};
    XThread thread([&] {
        try {
            for (;;) {
                XThread::TestCancelCurrentThread();
                ++loops;
                std::this_thread::yield();
            }
        } catch (const XStopThreadException& e) {
            leftByException = !e.ShouldReportError();
            throw;
        }
    });
    thread.Start();
    while (loops < 10)
        std::this_thread::yield();
    EXPECT_TRUE(thread.IsRunning());
    thread.RequestStop();
    thread.Join();
    EXPECT_TRUE(leftByException);
    EXPECT_FALSE(thread.IsRunning());
}

TEST(XThread, PreventStopHoldsCancellationOffUntilAllowed)
{
    std::atomic<bool> stopAsked{false};
    std::atomic<bool> threwWhilePrevented{false};
    std::atomic<bool> threwAfterAllow{false};
    XThread thread([&] {
        XThread::PreventStop();
        XThread::PreventStop(); // nested
        SpinUntil(stopAsked);
        try {
            XThread::TestCancelThread(XThread::GetCurrentThread());
            XThread::SleepCurrentThread(1); // must not throw either
            XThread::AllowStop();
            XThread::TestCancelCurrentThread(); // still prevented once
        } catch (const XStopThreadException&) {
            threwWhilePrevented = true;
        }
        XThread::AllowStop();
        try {
            XThread::TestCancelCurrentThread();
        } catch (const XStopThreadException&) {
            threwAfterAllow = true;
        }
    });
    thread.Start();
    thread.RequestStop();
    stopAsked = true;
    thread.Join();
    EXPECT_FALSE(threwWhilePrevented);
    EXPECT_TRUE(threwAfterAllow);
}

TEST(XThread, SleepWakesEarlyWhenStopped)
{
    std::atomic<bool> stopped{false};
    std::atomic<bool> sleeping{false};
    XThread thread([&] {
        sleeping = true;
        try {
            XThread::SleepCurrentThread(60000);
        } catch (const XStopThreadException&) {
            stopped = true;
        }
    });
    auto start = std::chrono::steady_clock::now();
    thread.Start();
    SpinUntil(sleeping);
    thread.RequestStop();
    thread.Join();
    EXPECT_TRUE(stopped);
    // Far below the minute asked for: the stop woke the sleeper.
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(30));
}

TEST(XThread, CancellationTestsDoNothingOutsideHostThreads)
{
    EXPECT_NO_THROW(XThread::TestCancelCurrentThread());
    EXPECT_NO_THROW(XThread::TestCancelThread(nullptr));
    XAssertRecorder recorder;
    XThread::AllowStop(); // without PreventStop
    EXPECT_TRUE(recorder.Has("PreventStop and AllowStop balance", "Host/XThread"));
    EXPECT_FALSE(XThread::IsStopPrevented());
}

TEST(XThread, ErrorsInsideTheThreadAreContained)
{
    XThread thread([] { throw std::runtime_error("broken worker"); });
    thread.Start();
    thread.Join();
    EXPECT_FALSE(thread.IsRunning());
    // A thread may start again once it has ended, joined or not, but not while it runs.
    std::atomic<int> runs{0};
    std::atomic<bool> hold{false};
    XThread again([&] {
        ++runs;
        while (hold)
            std::this_thread::yield();
    });
    again.Start();
    again.Join();
    hold = true;
    EXPECT_TRUE(again.Start());
    {
        XAssertRecorder recorder;
        EXPECT_FALSE(again.Start());
        EXPECT_TRUE(recorder.Has("!IsRunning()", "Host/XThread"));
    }
    hold = false;
    while (again.IsRunning())
        std::this_thread::yield();
    EXPECT_TRUE(again.Start());
    again.Join();
    EXPECT_EQ(runs, 3);
}

TEST(XThreadYield, YieldsPeriodicallyAndLetsAStoppedThreadLeave)
{
    XThreadYield yield(4);
    for (int i = 0; i < 10; ++i)
        yield.Yield();
    EXPECT_EQ(yield.GetYieldCount(), 2u);

    std::atomic<bool> left{false};
    std::atomic<bool> started{false};
    XThread thread([&] {
        XThreadYield inner(1000);
        started = true;
        try {
            for (;;)
                inner.Yield();
        } catch (const XStopThreadException&) {
            left = true;
        }
    });
    thread.Start();
    SpinUntil(started);
    thread.RequestStop();
    thread.Join();
    EXPECT_TRUE(left);
}

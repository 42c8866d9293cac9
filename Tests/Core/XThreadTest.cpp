#include "CoreTestPump.h"
#include "XAssertRecorder.h"
#include "XStopThreadException.h"
#include "XThread.h"
#include "XThreadYield.h"

#include <atomic>
#include <chrono>
#include <functional>
#include <gtest/gtest.h>
#include <thread>
#include <utility>

TEST(XThread, KnowsTheMainThreadAndItsOwnThreads)
{
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
}

TEST(XThread, AStopRequestEndsTheThreadAtEachCancellationPoint)
{
    // Each point is reached over and over; a sleep of a minute must wake for the stop.
    const std::pair<const char*, std::function<void()>> points[] = {
        {"TestCancelCurrentThread", [] { XThread::TestCancelCurrentThread(); }},
        {"SleepCurrentThread", [] { XThread::SleepCurrentThread(60000); }},
        {"XThreadYield", [] {
             XThreadYield yield(1000);
             for (;;)
                 yield.Yield();
         }},
    };
    for (const auto& c : points) {
        SCOPED_TRACE(c.first);
        const std::function<void()>& point = c.second;
        std::atomic<bool> started{false}, leftQuietly{false};
        XThread thread([&] {
            started = true;
            try {
                for (;;)
                    point();
            } catch (const XStopThreadException& e) {
                leftQuietly = !e.ShouldReportError();
                throw;
            }
        });
        const auto start = std::chrono::steady_clock::now();
        thread.Start();
        SpinUntil(started);
        EXPECT_TRUE(thread.IsRunning());
        thread.RequestStop();
        thread.Join();
        EXPECT_TRUE(leftQuietly);
        EXPECT_FALSE(thread.IsRunning());
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(30));
    }
    XThreadYield yield(4);
    for (int i = 0; i < 10; ++i)
        yield.Yield();
    EXPECT_EQ(yield.GetYieldCount(), 2u);
}

TEST(XThread, PreventStopHoldsCancellationOffUntilAllowed)
{
    std::atomic<bool> stopAsked{false}, threwWhilePrevented{false}, threwAfterAllow{false};
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

    // Outside host threads the tests do nothing, and an unbalanced AllowStop is reported.
    EXPECT_NO_THROW(XThread::TestCancelCurrentThread());
    XAssertRecorder recorder;
    XThread::AllowStop();
    EXPECT_TRUE(recorder.Has("PreventStop and AllowStop balance", "Host/XThread"));
    EXPECT_FALSE(XThread::IsStopPrevented());
}

TEST(XThread, ErrorsInsideTheThreadAreContainedAndAnEndedThreadMayStartAgain)
{
    XThread broken([] { throw std::runtime_error("broken worker"); });
    broken.Start();
    broken.Join();
    EXPECT_FALSE(broken.IsRunning());
    // Again once it has ended, joined or not, but not while it runs.
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

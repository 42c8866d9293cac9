#include "XDeviceFixture.h"

#include "X3DGCScopedLock.h"
#include "X3DGCThreadPool.h"
#include "XException.h"

#include <chrono>
#include <future>
#include <memory>
#include <thread>

namespace {
using Calls = std::vector<std::string>;
using namespace std::chrono_literals;

struct XExposedGC : X3DGC {
    using X3DGC::GetCurrentThreadContext;
};

// Runs inWork on a thread of its own; false when it has not finished in time (a
// deadlock), in which case the thread is left behind rather than hanging the suite.
bool Finishes(std::function<void()> inWork)
{
    auto done = std::make_shared<std::promise<void>>();
    std::future<void> finished = done->get_future();
    std::thread([done, inWork] { inWork(); done->set_value(); }).detach();
    return finished.wait_for(20s) == std::future_status::ready;
}

TEST_F(DeviceTest, NestedLocksReachTheImplementationAtTheOuterLevelOnlyAndFailedOnesAreUndone)
{
    X3DGC other;
    {
        X3DGCScopedLock outer(gc);
        {
            X3DGCScopedLock again(gc);
            EXPECT_EQ(gc.GetLockCount(), 2);
        }
        EXPECT_EQ(gc.GetLockCount(), 1);
        {
            // Switches the thread to the other device and back.
            X3DGCScopedLock switched(other);
            EXPECT_EQ(gc.GetLockCount(), 0);
            EXPECT_EQ(XExposedGC::GetCurrentThreadContext(), &other);
        }
        EXPECT_EQ(gc.GetLockCount(), 1);
        EXPECT_EQ(XExposedGC::GetCurrentThreadContext(), &gc);
    }
    EXPECT_EQ(Taken(), (Calls{"Lock", "Unlock", "Lock", "Unlock", "Lock", "Unlock"}));
    EXPECT_EQ(XExposedGC::GetCurrentThreadContext(), nullptr);
    // A failed lock leaves the device free for others.
    devices.log.ThrowOn("Lock");
    EXPECT_THROW(X3DGCScopedLock failing(gc), XException);
    devices.log.Disarm();
    EXPECT_EQ(gc.GetLockCount(), 0);
    EXPECT_EQ(XExposedGC::GetCurrentThreadContext(), nullptr);
    // The mutex was released: another thread locks the device.
    EXPECT_TRUE(Finishes([this] { X3DGCScopedLock lock(gc); }));
}

TEST_F(DeviceTest, ASecondThreadWaitsForTheDevice)
{
    std::promise<void> waiting;
    std::future<void> started = waiting.get_future();
    std::thread other;
    {
        X3DGCScopedLock lock(gc);
        other = std::thread([&] {
            waiting.set_value();
            X3DGCScopedLock theirs(gc);
            devices.log.Add("other thread holds the device");
        });
        started.wait();
        std::this_thread::sleep_for(50ms); // time for the other thread to reach the lock
        devices.log.Add("first thread releases the device");
    }
    other.join();
    EXPECT_EQ(Taken(), (Calls{"Lock", "first thread releases the device", "Unlock", "Lock", "other thread holds the device", "Unlock"}));
}

TEST_F(DeviceTest, WaitingForADeviceDoesNotStopOthersFromLocking)
{
    X3DGC elsewhere;
    std::promise<void> heldPromise, releasePromise;
    std::future<void> held = heldPromise.get_future();
    std::shared_future<void> release = releasePromise.get_future().share();
    std::thread holder([&] {
        X3DGCScopedLock lock(elsewhere);
        heldPromise.set_value();
        release.wait();
        // Needs the thread-to-device map while the waiter waits for 'elsewhere'.
        X3DGC fresh;
        fresh.Initialise();
    });
    held.wait();
    const bool finished = Finishes([&] {
        std::thread([&] {
            std::this_thread::sleep_for(50ms); // until the waiter below waits
            releasePromise.set_value();
        }).detach();
        X3DGCScopedLock mine(gc);
        X3DGCScopedLock waiting(elsewhere);
        EXPECT_EQ(XExposedGC::GetCurrentThreadContext(), &elsewhere);
    });
    if (!finished)
        holder.detach(); // deadlocked: both threads wait for ever
    ASSERT_TRUE(finished);
    holder.join();
}

TEST_F(DeviceTest, ThreadPoolsGiveEachThreadItsDeviceAndReleaseEndedThreads)
{
    X3DGCThreadPool pool;
    X3DGC& mine = pool.GetContextForCurrentThread();
    EXPECT_EQ(&pool.GetContextForCurrentThread(), &mine);
    const X3DGC* theirs = nullptr;
    std::thread worker([&] {
        theirs = &pool.GetContextForCurrentThread();
        EXPECT_EQ(pool.GetDeviceCount(), 2u);
    });
    worker.join();
    EXPECT_NE(theirs, &mine);
    EXPECT_EQ(pool.GetDeviceCount(), 1u);
}
} // namespace

#include "CoreTestPump.h"
#include "XAssertRecorder.h"
#include "XLock.h"
#include "XLockable.h"
#include "XMutex.h"
#include "XThreadLock.h"

#include <atomic>
#include <gtest/gtest.h>
#include <thread>
#include <vector>

TEST(XMutex, IsRecursiveForItsOwnerAndExclusiveForOthers)
{
    XMutex mutex(4000, false);
    ASSERT_TRUE(mutex.Lock());
    ASSERT_TRUE(mutex.Lock()); // again, same thread
    EXPECT_TRUE(mutex.TryLock());
    EXPECT_EQ(mutex.GetLockDepth(), 3u);

    bool otherGot = true;
    std::thread([&] { otherGot = mutex.TryLock(); }).join();
    EXPECT_FALSE(otherGot);

    mutex.Unlock();
    mutex.Unlock();
    std::thread([&] { otherGot = mutex.TryLock(); }).join();
    EXPECT_FALSE(otherGot) << "one level is still held";

    mutex.Unlock();
    EXPECT_FALSE(mutex.IsLockedByCurrentThread());
    std::thread([&] {
        otherGot = mutex.TryLock();
        if (otherGot)
            mutex.Unlock();
    }).join();
    EXPECT_TRUE(otherGot);
}

TEST(XMutex, TimedLocksGiveUpWhileAnotherThreadHoldsIt)
{
    XMutex mutex;
    std::atomic<bool> held{false}, release{false};
    std::thread holder([&] {
        mutex.Lock();
        held = true;
        SpinUntil(release);
        mutex.Unlock();
    });
    SpinUntil(held);
    EXPECT_FALSE(mutex.Lock(30));
    EXPECT_FALSE(mutex.IsLockedByCurrentThread());
    {
        XThreadLock timed(mutex, 20);
        EXPECT_FALSE(timed.IsLocked());
    }
    release = true;
    EXPECT_TRUE(mutex.Lock(XMutex::kInfinite));
    mutex.Unlock();
    holder.join();
    XThreadLock timed(mutex, 1000);
    EXPECT_TRUE(timed.IsLocked());
}

TEST(XMutex, ExcludesConcurrentWriters)
{
    XMutex mutex;
    int counter = 0; // guarded by the mutex alone
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&] {
            for (int i = 0; i < 2000; ++i) {
                XLock lock(mutex);
                XLock again(mutex);
                ++counter;
            }
        });
    for (auto& t : threads)
        t.join();
    EXPECT_EQ(counter, 8000);
}

TEST(XMutex, ScopedLocksReleaseAndMisuseIsHandled)
{
    XMutex mutex;
    {
        XLock lock(mutex);
        EXPECT_TRUE(mutex.IsLockedByCurrentThread());
        lock.Unlock();
        EXPECT_FALSE(mutex.IsLockedByCurrentThread());
        lock.Relock();
        EXPECT_TRUE(mutex.IsLockedByCurrentThread());
    }
    EXPECT_FALSE(mutex.IsLockedByCurrentThread());

    XAssertRecorder recorder;
    XMutex lockedNow(4000, true);
    EXPECT_TRUE(lockedNow.IsLockedByCurrentThread());
    lockedNow.Unlock();
    lockedNow.Unlock(); // not held any more
    EXPECT_TRUE(recorder.Has("IsLockedByCurrentThread()", "Host/XMutex"));
    EXPECT_TRUE(lockedNow.TryLock()) << "a stray unlock must not corrupt the mutex";
    lockedNow.Unlock();
}

namespace {
// Records the modes it is locked for, on top of the default mutex.
class XModeRecorder : public XLockable {
public:
    std::vector<int> itsEvents; // +mode on lock, -mode on unlock
protected:
    void LockSelf(XLockMode inMode) override
    {
        XLockable::LockSelf(inMode);
        itsEvents.push_back(static_cast<int>(inMode));
    }
    void UnlockSelf(XLockMode inMode) override
    {
        itsEvents.push_back(-static_cast<int>(inMode));
        XLockable::UnlockSelf(inMode);
    }
};
} // namespace

TEST(XLockable, ScopedLocksPassTheirModeAndFetchData)
{
    XModeRecorder lockable;
    {
        XThreadLock read(lockable, kLockRead);
        XLock write(lockable, kLockWrite); // recursive for the same thread
    }
    EXPECT_EQ(lockable.itsEvents, (std::vector<int>{2, 3, -3, -2}));

    int fetched = 0;
    lockable.SetDataFetcher([&](XLockable& inObject) { fetched += (&inObject == &lockable); });
    lockable.FetchData();
    EXPECT_EQ(fetched, 1);
}

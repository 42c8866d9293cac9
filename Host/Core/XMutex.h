#pragma once
// The host's mutex: recursive for the thread that holds it, with a timed Lock.
// A waiter first spins (tries) inSpinCount times before it blocks, which pays off for
// the short critical sections of scene nodes and devices.
#include <atomic>
#include <cstdint>
#include <mutex>
#include <thread>

class XMutex {
public:
    static constexpr uint32_t kInfinite = UINT32_MAX;

    // inLockNow: the constructing thread holds the mutex from the start.
    explicit XMutex(uint32_t inSpinCount = 4000, bool inLockNow = false);
    // Destroying a mutex that another thread holds is an assertion; the creating
    // thread's own hold is released.
    ~XMutex();
    XMutex(const XMutex&) = delete;
    XMutex& operator=(const XMutex&) = delete;

    // Waits at most inTimeoutMs (kInfinite: for ever); true when the mutex is held.
    bool Lock(uint32_t inTimeoutMs = kInfinite);
    bool TryLock();
    // Releases one level of the caller's hold; unlocking a mutex the caller does not
    // hold is an assertion and does nothing.
    void Unlock();
    bool IsLockedByCurrentThread() const;
    // How many times the calling thread holds the mutex (0 when it does not).
    uint32_t GetLockDepth() const;
    uint32_t GetSpinCount() const { return itsSpinCount; }

private:
    void NoteAcquired();

    std::recursive_timed_mutex itsMutex;
    std::atomic<std::thread::id> itsOwner{};
    uint32_t itsDepth = 0; // touched only by the owner
    uint32_t itsSpinCount;
};

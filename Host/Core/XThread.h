#pragma once
// A host thread: runs RunSelf (or a function) on its own std::thread and can be asked
// to stop. Stopping is cooperative: the thread leaves at its next cancellation test
// (TestCancelCurrentThread, SleepCurrentThread) by throwing XStopThreadException,
// unless it has prevented stopping for the moment.
//
// The host's main thread runs the user interface, timers and message delivery. It is
// the thread that loaded this library unless SetMainThread names another.
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>

class XThread {
public:
    XThread();
    explicit XThread(std::function<void()> inFunction);
    // Asks the thread to stop and joins it. A subclass that overrides RunSelf must
    // stop and join in its own destructor: its RunSelf cannot outlive its members.
    virtual ~XThread();
    XThread(const XThread&) = delete;
    XThread& operator=(const XThread&) = delete;

    // Starts the thread (again, once an earlier run has ended); false, with an
    // assertion, while it is still running.
    bool Start();
    // Asks the thread to stop and wakes it from SleepCurrentThread; does not wait.
    void RequestStop();
    bool IsStopRequested() const { return itsStopRequested.load(); }
    // Forgets an earlier stop request, so a thread that left one task by cancellation
    // can take up the next.
    void ClearStopRequest();
    // Waits for the thread to end. Joining from the thread itself is an assertion.
    void Join();
    bool IsRunning() const { return itsIsRunning.load(); }
    // The system ID of the thread while it runs (0 before Start).
    uint64_t GetThreadID() const { return itsThreadID.load(); }

    // The calling thread becomes the host's main thread.
    static void SetMainThread();
    static bool IsMainThread();
    // The XThread running the caller, or null for threads not started through XThread.
    static XThread* GetCurrentThread();
    static uint64_t GetCurrentThreadID();
    // Throw XStopThreadException when the thread was asked to stop and stopping is not prevented.
    static void TestCancelCurrentThread();
    static void TestCancelThread(XThread* inThread);
    // Nested: while the calling thread has prevented stopping, cancellation tests do not throw.
    static void PreventStop();
    static void AllowStop();
    static bool IsStopPrevented();
    // Sleeps; a host thread asked to stop wakes at once and throws XStopThreadException.
    static void SleepCurrentThread(uint32_t inMilliseconds);

protected:
    // The work of the thread; the default runs the function given at construction.
    virtual void RunSelf();

private:
    void ThreadMain();
    bool ShouldThrowStop() const;

    std::function<void()> itsFunction;
    std::thread itsThread;
    std::atomic<bool> itsStopRequested{false};
    std::atomic<bool> itsIsRunning{false};
    std::atomic<uint64_t> itsThreadID{0};
    std::atomic<int> itsPreventStopCount{0};
    mutable std::mutex itsSleepMutex;
    std::condition_variable itsSleepCondition;
};

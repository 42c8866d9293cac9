#include "XThread.h"

#include "XAssert.h"
#include "XSessionLogManager.h"
#include "XStopThreadException.h"

#include <chrono>
#include <exception>
#include <unistd.h>

namespace {
// Dynamic initialisation runs on the thread that loads the library.
std::atomic<std::thread::id> sMainThread{std::this_thread::get_id()};
thread_local XThread* sCurrentThread = nullptr;
// Set when a thread deletes its own XThread, so that it touches the object no more.
thread_local bool sCurrentThreadDeleted = false;
// Threads not started through XThread cannot be asked to stop, but keep their
// PreventStop/AllowStop balance so that mistakes are still reported.
thread_local int sForeignPreventStopCount = 0;
} // namespace

XThread::XThread() = default;

XThread::XThread(std::function<void()> inFunction) : itsFunction(std::move(inFunction)) {}

XThread::~XThread()
{
    RequestStop();
    if (itsThread.joinable()) {
        if (itsThread.get_id() == std::this_thread::get_id()) {
            itsThread.detach(); // a thread deleting its own object: nothing left to wait for
            sCurrentThreadDeleted = true;
        } else
            itsThread.join();
    }
}

bool XThread::Start()
{
    // A run that has ended may be followed by another; a running one may not.
    if (itsThread.joinable() && !itsIsRunning.load() && itsThread.get_id() != std::this_thread::get_id())
        itsThread.join();
    X_ASSERT_TEXT(!itsThread.joinable(), "!IsRunning()");
    if (itsThread.joinable())
        return false;
    itsStopRequested = false;
    itsIsRunning = true;
    itsThread = std::thread([this] { ThreadMain(); });
    return true;
}

void XThread::RequestStop()
{
    {
        // Under the sleep mutex so that a sleeper cannot miss the wake-up.
        std::lock_guard<std::mutex> lock(itsSleepMutex);
        itsStopRequested = true;
    }
    itsSleepCondition.notify_all();
}

void XThread::ClearStopRequest()
{
    std::lock_guard<std::mutex> lock(itsSleepMutex);
    itsStopRequested = false;
}

void XThread::Join()
{
    if (!itsThread.joinable())
        return;
    X_ASSERT_TEXT(itsThread.get_id() != std::this_thread::get_id(), "!IsCurrentThread()");
    if (itsThread.get_id() == std::this_thread::get_id())
        return;
    itsThread.join();
}

void XThread::RunSelf()
{
    if (itsFunction)
        itsFunction();
}

void XThread::ThreadMain()
{
    sCurrentThread = this;
    sCurrentThreadDeleted = false;
    itsThreadID = GetCurrentThreadID();
    // Nothing may escape a thread: std::thread would terminate the process.
    try {
        RunSelf();
    } catch (const XStopThreadException&) {
        // the normal way out of a stopped thread
    } catch (const XException& e) {
        if (e.ShouldReportError())
            XSessionLogManager::GetManager()->AddEntry(
                XString("A thread ended by an error: %1").Replace(e.GetErrorMessage()), XSessionLogManager::kError);
    } catch (const std::exception& e) {
        XSessionLogManager::GetManager()->AddEntry(
            XString("A thread ended by an error: %1").Replace(XString(e.what())), XSessionLogManager::kError);
    } catch (...) {
        XSessionLogManager::GetManager()->AddEntry("A thread ended by an unknown error", XSessionLogManager::kError);
    }
    if (sCurrentThreadDeleted) {
        sCurrentThread = nullptr;
        return;
    }
    X_ASSERT_TEXT(itsPreventStopCount.load() == 0, "PreventStop and AllowStop balance");
    sCurrentThread = nullptr;
    itsIsRunning = false;
}

bool XThread::ShouldThrowStop() const
{
    return itsStopRequested.load() && itsPreventStopCount.load() == 0;
}

void XThread::SetMainThread() { sMainThread = std::this_thread::get_id(); }

bool XThread::IsMainThread() { return sMainThread.load() == std::this_thread::get_id(); }

XThread* XThread::GetCurrentThread() { return sCurrentThread; }

uint64_t XThread::GetCurrentThreadID() { return static_cast<uint64_t>(::gettid()); }

void XThread::TestCancelCurrentThread() { TestCancelThread(sCurrentThread); }

void XThread::TestCancelThread(XThread* inThread)
{
    if (inThread && inThread->ShouldThrowStop())
        throw XStopThreadException();
}

void XThread::PreventStop()
{
    if (sCurrentThread)
        ++sCurrentThread->itsPreventStopCount;
    else
        ++sForeignPreventStopCount;
}

void XThread::AllowStop()
{
    std::atomic<int>* count = sCurrentThread ? &sCurrentThread->itsPreventStopCount : nullptr;
    int current = count ? count->load() : sForeignPreventStopCount;
    X_ASSERT_TEXT(current > 0, "PreventStop and AllowStop balance");
    if (current <= 0)
        return;
    if (count)
        --*count;
    else
        --sForeignPreventStopCount;
}

bool XThread::IsStopPrevented()
{
    return sCurrentThread ? sCurrentThread->itsPreventStopCount.load() > 0 : sForeignPreventStopCount > 0;
}

void XThread::SleepCurrentThread(uint32_t inMilliseconds)
{
    XThread* thread = sCurrentThread;
    if (!thread) {
        std::this_thread::sleep_for(std::chrono::milliseconds(inMilliseconds));
        return;
    }
    {
        std::unique_lock<std::mutex> lock(thread->itsSleepMutex);
        thread->itsSleepCondition.wait_for(lock, std::chrono::milliseconds(inMilliseconds),
                                           [thread] { return thread->ShouldThrowStop(); });
    }
    TestCancelThread(thread);
}

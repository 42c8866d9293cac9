#include "XMutex.h"

#include "XAssert.h"

#include <chrono>

XMutex::XMutex(uint32_t inSpinCount, bool inLockNow) : itsSpinCount(inSpinCount)
{
    if (inLockNow)
        Lock();
}

XMutex::~XMutex()
{
    X_ASSERT_TEXT(itsOwner.load() == std::thread::id() || IsLockedByCurrentThread(), "!IsLocked()");
    while (IsLockedByCurrentThread())
        Unlock();
}

void XMutex::NoteAcquired()
{
    itsOwner = std::this_thread::get_id();
    ++itsDepth;
}

bool XMutex::Lock(uint32_t inTimeoutMs)
{
    if (IsLockedByCurrentThread()) {
        itsMutex.lock(); // recursive: never blocks for the owner
        ++itsDepth;
        return true;
    }
    for (uint32_t i = 0; i < itsSpinCount; ++i) {
        if (itsMutex.try_lock()) {
            NoteAcquired();
            return true;
        }
        if (inTimeoutMs == 0)
            return false;
    }
    if (inTimeoutMs == kInfinite)
        itsMutex.lock();
    else if (!itsMutex.try_lock_for(std::chrono::milliseconds(inTimeoutMs)))
        return false;
    NoteAcquired();
    return true;
}

bool XMutex::TryLock() { return Lock(0); }

void XMutex::Unlock()
{
    X_ASSERT(IsLockedByCurrentThread());
    if (!IsLockedByCurrentThread())
        return;
    if (--itsDepth == 0)
        itsOwner = std::thread::id();
    itsMutex.unlock();
}

bool XMutex::IsLockedByCurrentThread() const { return itsOwner.load() == std::this_thread::get_id(); }

uint32_t XMutex::GetLockDepth() const { return IsLockedByCurrentThread() ? itsDepth : 0; }

#pragma once
// Scoped lock: holds an XMutex, or an XLockable in a mode, until it goes out of scope.
#include "XLockable.h"
#include "XMutex.h"

class XLock {
public:
    explicit XLock(XMutex& inMutex);
    // A null mutex locks nothing, for code whose lock is optional.
    explicit XLock(XMutex* inMutex);
    XLock(XLockable& inLockable, XLockMode inMode);
    ~XLock();
    XLock(const XLock&) = delete;
    XLock& operator=(const XLock&) = delete;

    // Releases early; the destructor then has nothing left to do.
    void Unlock();
    // Takes the lock again after Unlock.
    void Relock();
    bool IsLocked() const { return itsIsLocked; }

protected:
    // Waits at most inTimeoutMs for the mutex; IsLocked tells whether it was taken.
    XLock(XMutex& inMutex, uint32_t inTimeoutMs);

private:
    uint32_t itsTimeoutMs = XMutex::kInfinite;
    XMutex* itsMutex = nullptr;
    XLockable* itsLockable = nullptr;
    XLockMode itsMode = kLockReadWrite;
    bool itsIsLocked = false;
};

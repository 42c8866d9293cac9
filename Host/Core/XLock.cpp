#include "XLock.h"

XLock::XLock(XMutex& inMutex) : itsMutex(&inMutex) { Relock(); }

XLock::XLock(XMutex* inMutex) : itsMutex(inMutex) { Relock(); }

XLock::XLock(XMutex& inMutex, uint32_t inTimeoutMs) : itsTimeoutMs(inTimeoutMs), itsMutex(&inMutex) { Relock(); }

XLock::XLock(XLockable& inLockable, XLockMode inMode) : itsLockable(&inLockable), itsMode(inMode) { Relock(); }

XLock::~XLock() { Unlock(); }

void XLock::Relock()
{
    if (itsIsLocked)
        return;
    if (itsMutex)
        itsIsLocked = itsMutex->Lock(itsTimeoutMs);
    else if (itsLockable) {
        itsLockable->LockFor(itsMode);
        itsIsLocked = true;
    }
}

void XLock::Unlock()
{
    if (!itsIsLocked)
        return;
    itsIsLocked = false;
    if (itsMutex)
        itsMutex->Unlock();
    else
        itsLockable->UnlockFor(itsMode);
}

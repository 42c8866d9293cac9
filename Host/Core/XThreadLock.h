#pragma once
// The scoped lock that node and device code uses: everything XLock does, and a
// timed form for callers that would rather give up than wait for ever.
#include "XLock.h"

class XThreadLock : public XLock {
public:
    using XLock::XLock;
    // Waits at most inTimeoutMs; check IsLocked before touching what the mutex guards.
    XThreadLock(XMutex& inMutex, uint32_t inTimeoutMs) : XLock(inMutex, inTimeoutMs) {}
};

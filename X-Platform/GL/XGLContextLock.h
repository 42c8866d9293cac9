#pragma once
// Locks a GL context for a scope: it is current between construction and destruction.
#include "XGLContext.h"

class XGLContextLock {
public:
    explicit XGLContextLock(const XGLContext& inContext) : itsContext(inContext) { itsContext.Lock(); }
    ~XGLContextLock() { itsContext.Unlock(); }
    XGLContextLock(const XGLContextLock&) = delete;
    XGLContextLock& operator=(const XGLContextLock&) = delete;

private:
    const XGLContext& itsContext;
};

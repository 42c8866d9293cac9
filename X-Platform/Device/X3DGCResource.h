#pragma once
// The base of every device resource. Resources hold device objects, so they are
// destroyed explicitly with the device that made them (Destroy), never just deleted.
#include "XMutex.h"

class X3DGC;

class X3DGCResource {
public:
    X3DGCResource() = default;
    virtual ~X3DGCResource() = default;
    X3DGCResource(const X3DGCResource&) = delete;
    X3DGCResource& operator=(const X3DGCResource&) = delete;

    // Releases the device objects with inGC, then deletes this object.
    void Destroy(X3DGC& inGC);
    XMutex& GetResourceMutex() { return itsResourceMutex; }

protected:
    virtual void DestroySelf(X3DGC& inGC) = 0;

private:
    XMutex itsResourceMutex{4000, false};
};

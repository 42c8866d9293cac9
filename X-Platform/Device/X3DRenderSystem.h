#pragma once
// A family of implementations for the device and its resources. Each factory makes
// the implementation of one front object, which owns it.
#include "XMutex.h"

#include <memory>

class X3DGC;
class X3DGCImp;
class X3DGCOffscreenTarget;
class X3DGCOffscreenTargetImp;
class X3DIndexBuffer;
class X3DIndexBufferImp;
class X3DVertexBuffer;
class X3DVertexBufferImp;
class XTexture2D;
class XTexture2DImp;
class XTexture3D;
class XTexture3DImp;

class X3DRenderSystem {
public:
    X3DRenderSystem() = default;
    virtual ~X3DRenderSystem() = default;
    X3DRenderSystem(const X3DRenderSystem&) = delete;
    X3DRenderSystem& operator=(const X3DRenderSystem&) = delete;

    // The front objects are still being constructed: factories keep the reference
    // and read only what the front's base classes have set (sizes, usage, format).
    virtual std::unique_ptr<X3DGCImp> CreateGCImp(X3DGC& inGC) = 0;
    virtual std::unique_ptr<X3DVertexBufferImp> CreateVertexBufferImp(X3DGC& inGC, X3DVertexBuffer& inBuffer) = 0;
    virtual std::unique_ptr<X3DIndexBufferImp> CreateIndexBufferImp(X3DGC& inGC, X3DIndexBuffer& inBuffer) = 0;
    virtual std::unique_ptr<XTexture2DImp> CreateTexture2DImp(X3DGC& inGC, XTexture2D& inTexture) = 0;
    virtual std::unique_ptr<XTexture3DImp> CreateTexture3DImp(X3DGC& inGC, XTexture3D& inTexture) = 0;
    virtual std::unique_ptr<X3DGCOffscreenTargetImp> CreateOffscreenTargetImp(X3DGC& inGC, X3DGCOffscreenTarget& inTarget) = 0;

    XMutex& GetMutex() { return itsMutex; }

private:
    XMutex itsMutex{4000, false};
};

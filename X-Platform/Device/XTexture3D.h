#pragma once
// A 3D texture with a full chain of levels; it remembers the box it was made for.
#include "X3DRect.h"
#include "XTexture3DImp.h"
#include "XTextureAndImp.h"

class XTexture3D : public XTextureAndImp<XTexture3DImp> {
public:
    // Sizes of 0 make a texture of 1.
    XTexture3D(X3DGC& inGC, uint32_t inWidth, uint32_t inHeight, uint32_t inDepth, X3DGC::XPixelFormat inFormat,
        X3DGCBuffer::XBufferUsage inUsage);
    // Of the box's size.
    XTexture3D(X3DGC& inGC, const X3DRect& inBounds, X3DGC::XPixelFormat inFormat, X3DGCBuffer::XBufferUsage inUsage);

    const X3DRect& GetBounds() const { return itsBounds; }

private:
    X3DRect itsBounds;
};

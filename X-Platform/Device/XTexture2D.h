#pragma once
// A 2D texture with a full chain of levels, streamed (its contents change often).
#include "XTexture2DImp.h"
#include "XTextureAndImp.h"

class XTexture2D : public XTextureAndImp<XTexture2DImp> {
public:
    // A width or height of 0 makes a texture of 1.
    XTexture2D(X3DGC& inGC, uint32_t inWidth, uint32_t inHeight, X3DGC::XPixelFormat inFormat);
};

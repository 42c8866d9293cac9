#include "XTexture3D.h"

#include "X3DRenderSystem.h"
#include "X3DRenderSystemManager.h"

#include <algorithm>

namespace {
uint32_t Size(int32_t inExtent) { return uint32_t(std::max(inExtent, 0)); }
} // namespace

XTexture3D::XTexture3D(X3DGC& inGC, uint32_t inWidth, uint32_t inHeight, uint32_t inDepth, X3DGC::XPixelFormat inFormat,
    X3DGCBuffer::XBufferUsage inUsage)
    : XTextureAndImp(inUsage, inFormat, XMathVectorU3(inWidth, inHeight, inDepth)),
      itsBounds(0, 0, 0, int32_t(GetExtents()[0]), int32_t(GetExtents()[1]), int32_t(GetExtents()[2]))
{
    SetImp(X3DRenderSystemManager::GetRequiredRenderSystem().CreateTexture3DImp(inGC, *this));
}

XTexture3D::XTexture3D(X3DGC& inGC, const X3DRect& inBounds, X3DGC::XPixelFormat inFormat, X3DGCBuffer::XBufferUsage inUsage)
    : XTexture3D(inGC, Size(inBounds.GetWidth()), Size(inBounds.GetHeight()), Size(inBounds.GetDepth()), inFormat, inUsage)
{
}

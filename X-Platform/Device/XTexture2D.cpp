#include "XTexture2D.h"

#include "X3DRenderSystem.h"
#include "X3DRenderSystemManager.h"

XTexture2D::XTexture2D(X3DGC& inGC, uint32_t inWidth, uint32_t inHeight, X3DGC::XPixelFormat inFormat)
    : XTextureAndImp(X3DGCBuffer::kBufferStreamDraw, inFormat, XMathVectorU3(inWidth, inHeight, 1))
{
    SetImp(X3DRenderSystemManager::GetRequiredRenderSystem().CreateTexture2DImp(inGC, *this));
}

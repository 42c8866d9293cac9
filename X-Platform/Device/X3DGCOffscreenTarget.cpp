#include "X3DGCOffscreenTarget.h"

#include "X3DRenderSystem.h"
#include "X3DRenderSystemManager.h"
#include "XVolume.h"

X3DGCOffscreenTarget::X3DGCOffscreenTarget(X3DGC& inGC, uint32_t inWidth, uint32_t inHeight)
    : X3DGCRenderTarget(inWidth, inHeight)
{
    itsImp = X3DRenderSystemManager::GetRequiredRenderSystem().CreateOffscreenTargetImp(inGC, *this);
}

X3DGCOffscreenTarget::~X3DGCOffscreenTarget() { DetachFromDevice(); }

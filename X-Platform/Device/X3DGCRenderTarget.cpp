#include "X3DGCRenderTarget.h"

#include "X3DGC.h"
#include "XAssert.h"

#include <algorithm>

X3DGCRenderTarget::X3DGCRenderTarget(uint32_t inWidth, uint32_t inHeight)
    : itsWidth(std::max(inWidth, 1u)), itsHeight(std::max(inHeight, 1u))
{
}

void X3DGCRenderTarget::HandleBecomeCurrentTarget(X3DGC* inGC)
{
    if (inGC == itsTargettedBy)
        return;
    itsTargettedBy = inGC;
    HandleBecomeCurrentTargetSelf(inGC);
}

void X3DGCRenderTarget::HandleBeginRender()
{
    X_ASSERT(itsTargettedBy);
    if (itsTargettedBy)
        HandleBeginRenderSelf(*itsTargettedBy);
}

void X3DGCRenderTarget::HandleEndRender()
{
    X_ASSERT(itsTargettedBy);
    if (itsTargettedBy)
        HandleEndRenderSelf(*itsTargettedBy);
}

X3DGCRenderTarget::~X3DGCRenderTarget() { DetachFromDevice(); }

void X3DGCRenderTarget::DetachFromDevice()
{
    // A device must never keep a target that is gone.
    if (itsTargettedBy != nullptr && itsTargettedBy->GetCurrentRenderTarget() == this)
        itsTargettedBy->AttachRenderTarget(nullptr);
    itsTargettedBy = nullptr;
}

void X3DGCRenderTarget::Destroy(X3DGC& inGC)
{
    X_ASSERT(itsTargettedBy == 0);
    // The caller deletes the target next: detach it rather than leave its device
    // pointing at freed memory.
    DetachFromDevice();
    DestroySelf(inGC);
}

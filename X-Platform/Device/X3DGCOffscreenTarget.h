#pragma once
// A render target in device memory, read back as a volume after each frame.
#include "X3DGCOffscreenTargetImp.h"
#include "X3DGCRenderTarget.h"

#include <memory>

class X3DGCOffscreenTarget : public X3DGCRenderTarget {
public:
    // Sizes of 0 make a target of 1.
    X3DGCOffscreenTarget(X3DGC& inGC, uint32_t inWidth, uint32_t inHeight);
    ~X3DGCOffscreenTarget() override;

    X3DGCOffscreenTargetImp& GetImp() const { return *itsImp; }
    std::unique_ptr<XVolume> MakeVolume() override { return itsImp->MakeVolume(); }
    void CopyOutToBGRA32Volume(XBGRA32Volume& outVolume) const override { itsImp->CopyOutToBGRA32Volume(outVolume); }
    virtual bool IsRenderToTextureSupported() const { return itsImp->IsRenderToTextureSupported(); }
    virtual void AttachTexture(XTexture2D& inTexture) { itsImp->AttachTexture(inTexture); }
    // See X3DGCOffscreenTargetImp::SetSingleSample.
    void SetSingleSample() { itsImp->SetSingleSample(); }

protected:
    void HandleBecomeCurrentTargetSelf(X3DGC* inGC) override { itsImp->HandleBecomeCurrentTarget(inGC); }
    void HandleBeginRenderSelf(X3DGC& inGC) override { itsImp->HandleBeginRender(inGC); }
    void HandleEndRenderSelf(X3DGC& inGC) override { itsImp->HandleEndRender(inGC); }
    void DestroySelf(X3DGC& inGC) override { itsImp->DestroySelf(inGC); }

private:
    std::unique_ptr<X3DGCOffscreenTargetImp> itsImp;
};

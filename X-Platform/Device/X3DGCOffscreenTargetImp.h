#pragma once
// What a render system implements for an offscreen target.
#include "XVolume.h"

#include <memory>

class X3DGC;
class XBGRA32Volume;
class XTexture2D;

class X3DGCOffscreenTargetImp {
public:
    X3DGCOffscreenTargetImp() = default;
    virtual ~X3DGCOffscreenTargetImp() = default;
    X3DGCOffscreenTargetImp(const X3DGCOffscreenTargetImp&) = delete;
    X3DGCOffscreenTargetImp& operator=(const X3DGCOffscreenTargetImp&) = delete;

    virtual bool IsRenderToTextureSupported() const = 0;
    virtual std::unique_ptr<XVolume> MakeVolume() = 0;
    virtual void CopyOutToBGRA32Volume(XBGRA32Volume& outVolume) const = 0;
    // Frames then render into the texture.
    virtual void AttachTexture(XTexture2D& inTexture) = 0;
    // Draws into one sample per pixel; asked before the first frame. For targets that only
    // receive pixel-exact copies, where extra samples cost memory and fill time for nothing.
    virtual void SetSingleSample() {}
    virtual void HandleBecomeCurrentTarget(X3DGC*) {}
    virtual void HandleBeginRender(X3DGC& inGC) = 0;
    virtual void HandleEndRender(X3DGC& inGC) = 0;
    virtual void DestroySelf(X3DGC& inGC) = 0;
};

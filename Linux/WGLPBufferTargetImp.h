#pragma once
// An offscreen target on an EGL pbuffer of the device's config, for drivers without
// framebuffer objects. The picture is read back at the end of every frame.
#include "X3DGCOffscreenTarget.h"
#include "X3DGCOffscreenTargetImp.h"
#include "XBGRA32Volume.h"
#include "XOpenGL.h"

class WGLPBufferTargetImp : public X3DGCOffscreenTargetImp {
public:
    explicit WGLPBufferTargetImp(X3DGCOffscreenTarget& inOwner);
    ~WGLPBufferTargetImp() override;

    bool IsRenderToTextureSupported() const override { return false; }
    std::unique_ptr<XVolume> MakeVolume() override;
    void CopyOutToBGRA32Volume(XBGRA32Volume& outVolume) const override;
    void AttachTexture(XTexture2D&) override {}
    void HandleBeginRender(X3DGC& inGC) override;
    void HandleEndRender(X3DGC& inGC) override;
    void DestroySelf(X3DGC& inGC) override;

    // Whether the device's config can make pbuffers.
    static bool IsSupported(X3DGC& inGC);

private:
    X3DGCOffscreenTarget& itsOwner;
    EGLSurface itsPBuffer = EGL_NO_SURFACE;
    XBGRA32Volume itsVolume;
};

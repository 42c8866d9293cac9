#pragma once
// An offscreen target in framebuffer objects: colour and depth renderbuffers, or a
// texture to render into; multisampled targets draw into a 4-sample framebuffer and
// resolve into the main one at the end of each frame.
#include "X3DGCOffscreenTarget.h"
#include "X3DGCOffscreenTargetImp.h"
#include "XOpenGLGC.h"

class XOpenGLGC::XGLFrameBufferObjectTargetImp : public X3DGCOffscreenTargetImp {
public:
    XGLFrameBufferObjectTargetImp(X3DGCOffscreenTarget& inOwner, bool inMultisample);

    bool IsRenderToTextureSupported() const override { return true; }
    std::unique_ptr<XVolume> MakeVolume() override;
    void CopyOutToBGRA32Volume(XBGRA32Volume& outVolume) const override;
    void AttachTexture(XTexture2D& inTexture) override;
    void HandleBeginRender(X3DGC& inGC) override;
    void HandleEndRender(X3DGC& inGC) override;
    void DestroySelf(X3DGC& inGC) override;
    void SetSingleSample() override;

    // Samples per pixel of a multisampled target.
    static constexpr GLsizei kSamples = 4;

    bool IsMultisampled() const { return itsMultisample; }

private:
    void Release();
    // Colour and depth renderbuffers of inSamples on the bound framebuffer (colour
    // only when inColour); returns the framebuffer status.
    GLenum AttachRenderbuffers(uint32_t inWidth, uint32_t inHeight, GLsizei inSamples, bool inColour);
    void ReadColour(XBGRA32Volume& outVolume) const;

    X3DGCOffscreenTarget& itsOwner;
    bool itsMultisample;
    GLuint itsMultisampleFramebuffer = 0;
    GLuint itsDepthRenderbuffer = 0;
    GLuint itsColourRenderbuffer = 0;
    GLuint itsFramebuffer = 0;
    GLuint itsResolveColourRenderbuffer = 0;
    // The size of the framebuffers: the target's, or the allocated size of an attached texture.
    uint32_t itsWidth = 0;
    uint32_t itsHeight = 0;
};

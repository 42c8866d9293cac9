#include "XGLFrameBufferObjectTargetImp.h"

#include "X3DGCScopedLock.h"
#include "XAssert.h"
#include "XBGRA32Volume.h"
#include "XException.h"
#include "XGLTextureImp.h"
#include "XLock.h"
#include "XOpenGLUtilities.h"

#include <algorithm>
#include <cstdio>

using namespace XOpenGLUtilities;

namespace {
XString Hex(GLenum inValue)
{
    char text[16];
    std::snprintf(text, sizeof text, "%04X", unsigned(inValue));
    return XString(text);
}

// The longest side a framebuffer's renderbuffers and textures may have.
int64_t MaxSide()
{
    GLint renderbuffer = 0, texture = 0;
    glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE_EXT, &renderbuffer);
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &texture);
    return std::min(renderbuffer, texture);
}

void Storage(GLenum inFormat, GLsizei inSamples, uint32_t inWidth, uint32_t inHeight)
{
    if (inSamples < 2)
        glRenderbufferStorageEXT(GL_RENDERBUFFER_EXT, inFormat, GLsizei(inWidth), GLsizei(inHeight));
    else
        glRenderbufferStorageMultisampleEXT(GL_RENDERBUFFER_EXT, inSamples, inFormat, GLsizei(inWidth), GLsizei(inHeight));
}

// Restores the framebuffer binding it found.
class XFramebufferBindingSaver {
public:
    XFramebufferBindingSaver() { glGetIntegerv(GL_FRAMEBUFFER_BINDING_EXT, &itsBinding); }
    ~XFramebufferBindingSaver() { glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, GLuint(itsBinding)); }
    XFramebufferBindingSaver(const XFramebufferBindingSaver&) = delete;
    XFramebufferBindingSaver& operator=(const XFramebufferBindingSaver&) = delete;

private:
    GLint itsBinding = 0;
};
} // namespace

XOpenGLGC::XGLFrameBufferObjectTargetImp::XGLFrameBufferObjectTargetImp(X3DGCOffscreenTarget& inOwner, bool inMultisample)
    : itsOwner(inOwner), itsMultisample(inMultisample)
{
}

void XOpenGLGC::XGLFrameBufferObjectTargetImp::Release()
{
    for (GLuint* renderbuffer : {&itsDepthRenderbuffer, &itsColourRenderbuffer, &itsResolveColourRenderbuffer})
        if (*renderbuffer != 0) {
            glDeleteRenderbuffersEXT(1, renderbuffer);
            *renderbuffer = 0;
        }
    for (GLuint* framebuffer : {&itsMultisampleFramebuffer, &itsFramebuffer})
        if (*framebuffer != 0) {
            glDeleteFramebuffersEXT(1, framebuffer);
            *framebuffer = 0;
        }
}

GLenum XOpenGLGC::XGLFrameBufferObjectTargetImp::AttachRenderbuffers(uint32_t inWidth, uint32_t inHeight, GLsizei inSamples,
                                                                      bool inColour)
{
    if (inColour) {
        glGenRenderbuffersEXT(1, &itsColourRenderbuffer);
        glBindRenderbufferEXT(GL_RENDERBUFFER_EXT, itsColourRenderbuffer);
        Storage(GL_RGBA, inSamples, inWidth, inHeight);
        glFramebufferRenderbufferEXT(GL_FRAMEBUFFER_EXT, GL_COLOR_ATTACHMENT0_EXT, GL_RENDERBUFFER_EXT, itsColourRenderbuffer);
    }
    glGenRenderbuffersEXT(1, &itsDepthRenderbuffer);
    glBindRenderbufferEXT(GL_RENDERBUFFER_EXT, itsDepthRenderbuffer);
    Storage(GL_DEPTH_COMPONENT16, inSamples, inWidth, inHeight);
    glFramebufferRenderbufferEXT(GL_FRAMEBUFFER_EXT, GL_DEPTH_ATTACHMENT_EXT, GL_RENDERBUFFER_EXT, itsDepthRenderbuffer);
    GLenum status = glCheckFramebufferStatusEXT(GL_FRAMEBUFFER_EXT);
    if (status == GL_FRAMEBUFFER_UNSUPPORTED_EXT) {
        // Some drivers take only 24-bit depth.
        Storage(GL_DEPTH_COMPONENT24, inSamples, inWidth, inHeight);
        status = glCheckFramebufferStatusEXT(GL_FRAMEBUFFER_EXT);
    }
    glBindRenderbufferEXT(GL_RENDERBUFFER_EXT, 0);
    return status;
}

void XOpenGLGC::XGLFrameBufferObjectTargetImp::SetSingleSample()
{
    // Framebuffers made already keep their samples; they are made on the first frame.
    X_ASSERT(itsFramebuffer == 0 && itsMultisampleFramebuffer == 0);
    if (itsFramebuffer == 0 && itsMultisampleFramebuffer == 0)
        itsMultisample = false;
}

void XOpenGLGC::XGLFrameBufferObjectTargetImp::HandleBeginRender(X3DGC&)
{
    if (itsMultisampleFramebuffer != 0 || itsFramebuffer != 0) {
        glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, itsMultisampleFramebuffer ? itsMultisampleFramebuffer : itsFramebuffer);
        return;
    }
    itsWidth = std::max(itsOwner.GetWidth(), 1u);
    itsHeight = std::max(itsOwner.GetHeight(), 1u);
    glGenFramebuffersEXT(1, &itsFramebuffer);
    if (itsMultisample) {
        glGenFramebuffersEXT(1, &itsMultisampleFramebuffer);
        glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, itsFramebuffer);
        glGenRenderbuffersEXT(1, &itsResolveColourRenderbuffer);
        glBindRenderbufferEXT(GL_RENDERBUFFER_EXT, itsResolveColourRenderbuffer);
        Storage(GL_RGBA, 1, itsWidth, itsHeight);
        glFramebufferRenderbufferEXT(GL_FRAMEBUFFER_EXT, GL_COLOR_ATTACHMENT0_EXT, GL_RENDERBUFFER_EXT,
                                     itsResolveColourRenderbuffer);
        X_ASSERT_TEXT(glCheckFramebufferStatusEXT(GL_FRAMEBUFFER_EXT) == GL_FRAMEBUFFER_COMPLETE_EXT,
                      "::thunkglCheckFramebufferStatusEXT( 0x8D40 ) == 0x8CD5");
    }
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, itsMultisample ? itsMultisampleFramebuffer : itsFramebuffer);
    const GLenum status = AttachRenderbuffers(itsWidth, itsHeight, itsMultisample ? kSamples : 1, true);
    if (status != GL_FRAMEBUFFER_COMPLETE_EXT) {
        X_ASSERT(false);
        glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
        Release();
        ClearGLErrors(); // the refused storage's error belongs to this failure, not to the next call
        throw XException(XException::kIncompleteTarget,
            XString("the driver cannot draw into an offscreen target of %1 × %2 pixels (framebuffer status 0x%3); "
                    "draw at most %4 pixels a side")
                .Replace(int64_t(itsWidth)).Replace(int64_t(itsHeight)).Replace(Hex(status)).Replace(MaxSide()));
    }
    CheckGLError();
}

void XOpenGLGC::XGLFrameBufferObjectTargetImp::HandleEndRender(X3DGC&)
{
    if (!itsMultisample || itsMultisampleFramebuffer == 0)
        return;
    glBindFramebufferEXT(GL_READ_FRAMEBUFFER_EXT, itsMultisampleFramebuffer);
    glBindFramebufferEXT(GL_DRAW_FRAMEBUFFER_EXT, itsFramebuffer);
    glBlitFramebufferEXT(0, 0, GLint(itsWidth), GLint(itsHeight), 0, 0, GLint(itsWidth), GLint(itsHeight),
                         GL_COLOR_BUFFER_BIT, GL_NEAREST);
    glBindFramebufferEXT(GL_READ_FRAMEBUFFER_EXT, 0);
    glBindFramebufferEXT(GL_DRAW_FRAMEBUFFER_EXT, 0);
    CheckGLError();
}

void XOpenGLGC::XGLFrameBufferObjectTargetImp::AttachTexture(XTexture2D& inTexture)
{
    auto* storage = dynamic_cast<XGLTextureStorage*>(&inTexture.GetImp());
    X_ASSERT(storage != nullptr);
    if (storage == nullptr)
        return;
    Release();
    const XMathVectorU3 allocated = storage->GetAllocatedExtents();
    itsWidth = std::max(allocated[0], 1u);
    itsHeight = std::max(allocated[1], 1u);
    XFramebufferBindingSaver saver;
    glGenFramebuffersEXT(1, &itsFramebuffer);
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, itsFramebuffer);
    const XGLPixelFormat format = GetPixelFormat(inTexture.GetFormat());
    glBindTexture(GL_TEXTURE_2D, storage->MakeName());
    glTexImage2D(GL_TEXTURE_2D, 0, format.internalFormat, GLsizei(itsWidth), GLsizei(itsHeight), 0, format.uploadFormat,
                 format.uploadType, nullptr);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glFramebufferTexture2DEXT(GL_FRAMEBUFFER_EXT, GL_COLOR_ATTACHMENT0_EXT, GL_TEXTURE_2D, storage->MakeName(), 0);
    glBindTexture(GL_TEXTURE_2D, 0);
    GLenum status = GL_FRAMEBUFFER_COMPLETE_EXT;
    if (itsMultisample) {
        status = glCheckFramebufferStatusEXT(GL_FRAMEBUFFER_EXT);
        if (status == GL_FRAMEBUFFER_COMPLETE_EXT) {
            glGenFramebuffersEXT(1, &itsMultisampleFramebuffer);
            glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, itsMultisampleFramebuffer);
            status = AttachRenderbuffers(itsWidth, itsHeight, kSamples, true);
        }
    } else {
        status = AttachRenderbuffers(itsWidth, itsHeight, 1, false);
    }
    if (status != GL_FRAMEBUFFER_COMPLETE_EXT) {
        Release();
        ClearGLErrors(); // as in HandleBeginRender
        throw XException(XException::kIncompleteTarget,
            XString("the driver cannot render into a texture of %1 × %2 texels in this format (framebuffer status "
                    "0x%3); use a BGRA texture of at most %4 texels a side, or a plain offscreen target")
                .Replace(int64_t(itsWidth)).Replace(int64_t(itsHeight)).Replace(Hex(status)).Replace(MaxSide()));
    }
    CheckGLError();
}

void XOpenGLGC::XGLFrameBufferObjectTargetImp::ReadColour(XBGRA32Volume& outVolume) const
{
    const int32_t width = std::min<int32_t>(outVolume.GetWidth(), int32_t(itsWidth));
    const int32_t height = std::min<int32_t>(outVolume.GetHeight(), int32_t(itsHeight));
    if (width <= 0 || height <= 0 || itsFramebuffer == 0)
        return; // nothing drawn yet, or nothing to receive it
    XFramebufferBindingSaver saver;
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, itsFramebuffer);
    glReadBuffer(GL_COLOR_ATTACHMENT0_EXT);
    glPixelStorei(GL_PACK_ROW_LENGTH, GLint(outVolume.GetRowBytes() / 4));
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    {
        XLock lock(outVolume, kLockWrite);
        glReadPixels(0, 0, width, height, GL_BGRA, GL_UNSIGNED_BYTE, outVolume.GetData());
    }
    glPixelStorei(GL_PACK_ROW_LENGTH, 0);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    CheckGLError();
}

std::unique_ptr<XVolume> XOpenGLGC::XGLFrameBufferObjectTargetImp::MakeVolume()
{
    if (itsFramebuffer == 0)
        return std::make_unique<XBGRA32Volume>();
    auto volume = std::make_unique<XBGRA32Volume>(int32_t(itsWidth), int32_t(itsHeight), 1);
    ReadColour(*volume);
    return volume;
}

void XOpenGLGC::XGLFrameBufferObjectTargetImp::CopyOutToBGRA32Volume(XBGRA32Volume& outVolume) const { ReadColour(outVolume); }

void XOpenGLGC::XGLFrameBufferObjectTargetImp::DestroySelf(X3DGC& inGC)
{
    if (itsFramebuffer == 0 && itsMultisampleFramebuffer == 0 && itsColourRenderbuffer == 0 && itsDepthRenderbuffer == 0)
        return;
    X3DGCScopedLock lock(inGC);
    Release();
}

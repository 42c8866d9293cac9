#include "WGLPBufferTargetImp.h"

#include "WEGLDisplay.h"
#include "WOpenGLGC.h"
#include "X3DGC.h"
#include "XException.h"
#include "XLock.h"
#include "XOpenGLUtilities.h"

#include <algorithm>
#include <cstring>

namespace {
WOpenGLGC::WOpenGLGCImp& PlatformOf(X3DGC& inGC) { return dynamic_cast<WOpenGLGC::WOpenGLGCImp&>(inGC.GetImp()); }
} // namespace

WGLPBufferTargetImp::WGLPBufferTargetImp(X3DGCOffscreenTarget& inOwner)
    : itsOwner(inOwner),
      itsVolume(int32_t(std::max(inOwner.GetWidth(), 1u)), int32_t(std::max(inOwner.GetHeight(), 1u)), 1)
{
}

WGLPBufferTargetImp::~WGLPBufferTargetImp() = default;

bool WGLPBufferTargetImp::IsSupported(X3DGC& inGC)
{
    return (WEGLDisplay::GetConfigAttrib(PlatformOf(inGC).GetConfig(), EGL_SURFACE_TYPE) & EGL_PBUFFER_BIT) != 0;
}

void WGLPBufferTargetImp::HandleBeginRender(X3DGC& inGC)
{
    WOpenGLGC::WOpenGLGCImp& platform = PlatformOf(inGC);
    if (itsPBuffer == EGL_NO_SURFACE) {
        const EGLint attributes[] = {EGL_WIDTH, itsVolume.GetWidth(), EGL_HEIGHT, itsVolume.GetHeight(), EGL_NONE};
        itsPBuffer = eglCreatePbufferSurface(WEGLDisplay::Get(), platform.GetConfig(), attributes);
        if (itsPBuffer == EGL_NO_SURFACE)
            throw XException(XException::kNoOffscreen,
                XString("no offscreen surface of %1 × %2 pixels could be made; try a smaller picture")
                    .Replace(int64_t(itsVolume.GetWidth())).Replace(int64_t(itsVolume.GetHeight())));
    }
    platform.MakeCurrentOn(itsPBuffer);
}

void WGLPBufferTargetImp::HandleEndRender(X3DGC& inGC)
{
    glFinish();
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    {
        XLock lock(itsVolume, kLockWrite);
        glReadPixels(0, 0, itsVolume.GetWidth(), itsVolume.GetHeight(), GL_BGRA, GL_UNSIGNED_BYTE, itsVolume.GetData());
    }
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glFinish();
    XOpenGLUtilities::CheckGLError();
    PlatformOf(inGC).MakeCurrentOn(EGL_NO_SURFACE);
}

std::unique_ptr<XVolume> WGLPBufferTargetImp::MakeVolume() { return std::make_unique<XBGRA32Volume>(itsVolume); }

void WGLPBufferTargetImp::CopyOutToBGRA32Volume(XBGRA32Volume& outVolume) const
{
    const int32_t rows = std::min(outVolume.GetHeight(), itsVolume.GetHeight());
    const size_t rowBytes = std::min(outVolume.GetRowBytes(), itsVolume.GetRowBytes());
    if (rows <= 0 || rowBytes == 0)
        return;
    XLock lock(outVolume, kLockWrite);
    for (int32_t y = 0; y < rows; ++y)
        std::memcpy(outVolume.GetData() + size_t(y) * outVolume.GetRowBytes(),
                    itsVolume.GetData() + size_t(y) * itsVolume.GetRowBytes(), rowBytes);
}

void WGLPBufferTargetImp::DestroySelf(X3DGC&)
{
    if (itsPBuffer != EGL_NO_SURFACE) {
        if (eglGetCurrentSurface(EGL_DRAW) == itsPBuffer)
            eglMakeCurrent(WEGLDisplay::Get(), EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        eglDestroySurface(WEGLDisplay::Get(), itsPBuffer);
        itsPBuffer = EGL_NO_SURFACE;
    }
}

#pragma once
// The OpenGL device on EGL: a config plays the pixel format, a private context per
// device shares objects with one context per config, and a pbuffer stands in for
// the hidden window when no window surface is attached.
#include "XOpenGLGC.h"

class WOpenGLGC {
public:
    class WOpenGLGCImp;
};

class WOpenGLGC::WOpenGLGCImp : public XOpenGLGC::XOpenGLGCImp {
public:
    explicit WOpenGLGCImp(X3DGC& inGC);
    ~WOpenGLGCImp() override;

    void Present() override;
    void Lock() override;
    void Unlock() override;

    // Frames then go to inSurface (made with this device's config), and Present swaps
    // it; EGL_NO_SURFACE returns to the private pbuffer.
    void AttachWindowSurface(EGLSurface inSurface);
    // Makes the context current on inSurface, or on the device's own surface for EGL_NO_SURFACE.
    void MakeCurrentOn(EGLSurface inSurface);
    EGLConfig GetConfig() const;

protected:
    uint64_t ChoosePixelFormat(const X3DGC::XCreationParameters& inParameters) override;
    void* CreateShareContext(uint64_t inPixelFormat) override;
    void* CreateContext(uint64_t inPixelFormat, void* inShareContext) override;
    void DestroyContext(void* inContext) override;

private:
    EGLSurface GetDrawSurface() const;

    EGLSurface itsPrivateSurface = EGL_NO_SURFACE;
    EGLSurface itsWindowSurface = EGL_NO_SURFACE;
};

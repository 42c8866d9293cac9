#include "WOpenGLGC.h"

#include "WEGLDisplay.h"
#include "XException.h"
#include "XLock.h"
#include "XMap.h"
#include "XOpenGLUtilities.h"

#include <cstdio>
#include <tuple>
#include <vector>

namespace {
XException EGLFailure(const char* inWhat)
{
    char code[16];
    std::snprintf(code, sizeof code, "0x%04X", unsigned(eglGetError()));
    return XException(XException::kOpenGLError,
        XString(inWhat) + " (EGL error " + code + "); check that the OpenGL and EGL drivers are installed");
}

// The process keeps OpenGL loaded once a device has used it: share contexts and the
// pixel-format cache outlive every single device.
void LoadOpenGLForDevices()
{
    static const int sResult = [] {
        const int result = OpenGLInit();
        if (result != 0)
            OpenGLUnInit();
        return result;
    }();
    if (sResult != 0)
        throw XException(XException::kOpenGLError,
            "OpenGL could not be loaded for the 3D device; check that the OpenGL and EGL drivers are installed");
}

const EGLint kCompatibility[] = {EGL_CONTEXT_OPENGL_PROFILE_MASK, EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT, EGL_NONE};

bool HasContextProfiles(EGLDisplay inDisplay)
{
    EGLint major = 1, minor = 4;
    if (const char* version = eglQueryString(inDisplay, EGL_VERSION))
        std::sscanf(version, "%d.%d", &major, &minor);
    return major > 1 || minor >= 5 || OpenGLCheckWGLExtension(inDisplay, "EGL_KHR_create_context");
}

EGLContext MakeContext(EGLConfig inConfig, EGLContext inShare)
{
    EGLDisplay display = WEGLDisplay::Get();
    eglBindAPI(EGL_OPENGL_API);
    // The device draws with client arrays and fixed function: compatibility profile.
    return eglCreateContext(display, inConfig, inShare, HasContextProfiles(display) ? kCompatibility : nullptr);
}

EGLSurface MakeSurface(EGLConfig inConfig)
{
    const EGLint attributes[] = {EGL_WIDTH, 1, EGL_HEIGHT, 1, EGL_NONE};
    return eglCreatePbufferSurface(WEGLDisplay::Get(), inConfig, attributes);
}

XMutex sPixelFormatMutex{4000, false};
XMap<std::tuple<uint8_t, uint8_t, uint8_t>, uint64_t> sPixelFormats;
} // namespace

WOpenGLGC::WOpenGLGCImp::WOpenGLGCImp(X3DGC& inGC) : XOpenGLGCImp(inGC) {}

WOpenGLGC::WOpenGLGCImp::~WOpenGLGCImp() { ReleaseContext(); }

uint64_t WOpenGLGC::WOpenGLGCImp::ChoosePixelFormat(const X3DGC::XCreationParameters& inParameters)
{
    LoadOpenGLForDevices();
    XLock lock(sPixelFormatMutex);
    const auto key = std::make_tuple(inParameters.wantsStencil, inParameters.wantsStereo, inParameters.wantsGenericFormat);
    if (auto found = sPixelFormats.find(key); found != sPixelFormats.end())
        return found->second;
    // EGL has no stereo configs; the generic format is the driver's slow (unaccelerated) one.
    std::vector<EGLint> attributes = {EGL_SURFACE_TYPE, EGL_PBUFFER_BIT, EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT,
                                      EGL_RED_SIZE, 8, EGL_GREEN_SIZE, 8, EGL_BLUE_SIZE, 8, EGL_ALPHA_SIZE, 8,
                                      EGL_DEPTH_SIZE, 24, EGL_STENCIL_SIZE, inParameters.wantsStencil ? 1 : 0,
                                      EGL_SAMPLE_BUFFERS, 0};
    if (inParameters.wantsGenericFormat)
        attributes.insert(attributes.end(), {EGL_CONFIG_CAVEAT, EGL_SLOW_CONFIG});
    attributes.push_back(EGL_NONE);
    EGLConfig config = nullptr;
    EGLint count = 0;
    if (!eglChooseConfig(WEGLDisplay::Get(), attributes.data(), &config, 1, &count) || count < 1) {
        if (!inParameters.wantsGenericFormat)
            throw EGLFailure("the OpenGL driver offers no pixel format with colour and depth buffers for the 3D device");
        // No unaccelerated config on this driver: the accelerated one draws the same pictures.
        X3DGC::XCreationParameters accelerated = inParameters;
        accelerated.wantsGenericFormat = 0;
        return sPixelFormats[key] = ChoosePixelFormat(accelerated);
    }
    return sPixelFormats[key] = WEGLDisplay::GetConfigID(config);
}

void* WOpenGLGC::WOpenGLGCImp::CreateShareContext(uint64_t inPixelFormat)
{
    EGLContext context = MakeContext(WEGLDisplay::FindConfig(inPixelFormat), EGL_NO_CONTEXT);
    if (context == EGL_NO_CONTEXT)
        throw EGLFailure("no OpenGL context could be created for the 3D device");
    return context;
}

void* WOpenGLGC::WOpenGLGCImp::CreateContext(uint64_t inPixelFormat, void* inShareContext)
{
    EGLConfig config = WEGLDisplay::FindConfig(inPixelFormat);
    EGLContext context = MakeContext(config, inShareContext);
    if (context == EGL_NO_CONTEXT)
        throw EGLFailure("no OpenGL context could be created for the 3D device");
    itsPrivateSurface = MakeSurface(config);
    if (itsPrivateSurface == EGL_NO_SURFACE) {
        const XException failure = EGLFailure("no drawing surface could be created for the 3D device");
        eglDestroyContext(WEGLDisplay::Get(), context);
        throw failure;
    }
    return context;
}

void WOpenGLGC::WOpenGLGCImp::DestroyContext(void* inContext)
{
    EGLDisplay display = WEGLDisplay::Get();
    if (eglGetCurrentContext() == inContext)
        eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    eglDestroyContext(display, inContext);
    if (itsPrivateSurface != EGL_NO_SURFACE)
        eglDestroySurface(display, itsPrivateSurface);
    itsPrivateSurface = EGL_NO_SURFACE;
}

EGLConfig WOpenGLGC::WOpenGLGCImp::GetConfig() const { return WEGLDisplay::FindConfig(GetPixelFormat()); }

EGLSurface WOpenGLGC::WOpenGLGCImp::GetDrawSurface() const
{
    return itsWindowSurface != EGL_NO_SURFACE ? itsWindowSurface : itsPrivateSurface;
}

void WOpenGLGC::WOpenGLGCImp::AttachWindowSurface(EGLSurface inSurface) { itsWindowSurface = inSurface; }

void WOpenGLGC::WOpenGLGCImp::MakeCurrentOn(EGLSurface inSurface)
{
    const EGLSurface surface = inSurface != EGL_NO_SURFACE ? inSurface : GetDrawSurface();
    eglBindAPI(EGL_OPENGL_API); // the bound API is per thread
    if (!eglMakeCurrent(WEGLDisplay::Get(), surface, surface, GetContext()))
        throw EGLFailure("the 3D device's OpenGL context could not be made current");
}

void WOpenGLGC::WOpenGLGCImp::Lock()
{
    XLock lock(GetContextMutex());
    if (GetContext() == nullptr)
        return; // not initialised yet: there is nothing to make current
    MakeCurrentOn(EGL_NO_SURFACE);
    XOpenGLUtilities::ClearGLErrors();
}

void WOpenGLGC::WOpenGLGCImp::Unlock()
{
    if (GetContext() == nullptr)
        return;
    XOpenGLUtilities::ClearGLErrors();
    if (!eglMakeCurrent(WEGLDisplay::Get(), EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT))
        throw EGLFailure("the 3D device's OpenGL context could not be released");
}

void WOpenGLGC::WOpenGLGCImp::Present()
{
    XLock lock(GetContextMutex());
    if (itsWindowSurface != EGL_NO_SURFACE)
        eglSwapBuffers(WEGLDisplay::Get(), itsWindowSurface);
}

#include "WEGLDisplay.h"
#include "XException.h"
#include "XString.h"

#include <mutex>

namespace {
std::mutex sDisplayMutex;
EGLDisplay sDisplay = EGL_NO_DISPLAY;

XException EGLFailure(const char* inWhat)
{
    return XException(XException::kOpenGLError,
                      XString("%1 failed (EGL error %2); check that the OpenGL and EGL drivers are installed")
                          .Replace(XString(inWhat))
                          .Replace(XString::FromSInt64(eglGetError())));
}

EGLDisplay OpenHeadlessDisplay()
{
    auto getPlatformDisplay =
        reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(OpenGLGetExtensionFunction("eglGetPlatformDisplayEXT"));
    if (getPlatformDisplay && OpenGLCheckWGLExtension(EGL_NO_DISPLAY, "EGL_EXT_platform_base")) {
        if (OpenGLCheckWGLExtension(EGL_NO_DISPLAY, "EGL_MESA_platform_surfaceless")) {
            EGLDisplay display = getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
            if (display != EGL_NO_DISPLAY && eglInitialize(display, nullptr, nullptr))
                return display;
        }
        auto queryDevices =
            reinterpret_cast<PFNEGLQUERYDEVICESEXTPROC>(OpenGLGetExtensionFunction("eglQueryDevicesEXT"));
        if (queryDevices && OpenGLCheckWGLExtension(EGL_NO_DISPLAY, "EGL_EXT_platform_device") &&
            OpenGLCheckWGLExtension(EGL_NO_DISPLAY, "EGL_EXT_device_enumeration")) {
            EGLDeviceEXT devices[8];
            EGLint count = 0;
            if (queryDevices(8, devices, &count) && count > 0) {
                EGLDisplay display = getPlatformDisplay(EGL_PLATFORM_DEVICE_EXT, devices[0], nullptr);
                if (display != EGL_NO_DISPLAY && eglInitialize(display, nullptr, nullptr))
                    return display;
            }
        }
    }
    EGLDisplay display = eglGetDisplay(EGL_DEFAULT_DISPLAY);
    if (display != EGL_NO_DISPLAY && eglInitialize(display, nullptr, nullptr))
        return display;
    return EGL_NO_DISPLAY;
}
} // namespace

EGLDisplay WEGLDisplay::Get()
{
    // The loader's lock comes first: unloading terminates the display while holding it,
    // so the display's lock is never held while the loader's is taken.
    if (!OpenGLIsLoaded())
        throw XException(XException::kOpenGLError, "OpenGL is not available");
    OpenGLAddUnloadHook(&WEGLDisplay::Terminate); // added once, however often asked
    std::lock_guard<std::mutex> lock(sDisplayMutex);
    if (sDisplay != EGL_NO_DISPLAY)
        return sDisplay;
    sDisplay = OpenHeadlessDisplay();
    if (sDisplay == EGL_NO_DISPLAY)
        throw EGLFailure("eglInitialize");
    return sDisplay;
}

EGLConfig WEGLDisplay::ChooseConfig()
{
    EGLDisplay display = Get();
    const EGLint attributes[] = {EGL_SURFACE_TYPE, EGL_PBUFFER_BIT, EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT,
                                 EGL_RED_SIZE, 8, EGL_GREEN_SIZE, 8, EGL_BLUE_SIZE, 8, EGL_ALPHA_SIZE, 8,
                                 EGL_DEPTH_SIZE, 24, EGL_STENCIL_SIZE, 8, EGL_SAMPLE_BUFFERS, 0, EGL_NONE};
    EGLConfig config = nullptr;
    EGLint count = 0;
    if (!eglChooseConfig(display, attributes, &config, 1, &count) || count < 1)
        throw XException(XException::kOpenGLError,
                         "the OpenGL driver offers no pixel format with colour, depth and stencil buffers for "
                         "offscreen drawing; update the graphics driver");
    return config;
}

EGLConfig WEGLDisplay::FindConfig(uint64_t inConfigID)
{
    EGLDisplay display = Get();
    const EGLint attributes[] = {EGL_CONFIG_ID, EGLint(inConfigID), EGL_NONE};
    EGLConfig config = nullptr;
    EGLint count = 0;
    if (!eglChooseConfig(display, attributes, &config, 1, &count) || count < 1)
        throw XException(XException::kBadArgument,
                         XString("there is no pixel format %1; choose one the driver offers")
                             .Replace(int64_t(inConfigID)));
    return config;
}

EGLint WEGLDisplay::GetConfigAttrib(EGLConfig inConfig, EGLint inAttribute)
{
    EGLint value = 0;
    eglGetConfigAttrib(Get(), inConfig, inAttribute, &value);
    return value;
}

uint64_t WEGLDisplay::GetConfigID(EGLConfig inConfig)
{
    return uint64_t(GetConfigAttrib(inConfig, EGL_CONFIG_ID));
}

void WEGLDisplay::Terminate()
{
    std::lock_guard<std::mutex> lock(sDisplayMutex);
    if (sDisplay != EGL_NO_DISPLAY && eglTerminate)
        eglTerminate(sDisplay);
    if (eglReleaseThread)
        eglReleaseThread();
    sDisplay = EGL_NO_DISPLAY;
}

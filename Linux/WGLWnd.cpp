#include "WGLWnd.h"
#include "WGLWndHook.h"
#include "XAssert.h"
#include "XGLException.h"
#include "XThread.h"
#include "XTimer.h"

// Xlib has a type XPoint of its own: it is renamed while its headers are read.
#define XPoint WXlibPoint
#include <X11/Xlib.h>
#undef XPoint

#include <algorithm>
#include <map>
#include <mutex>
#include <vector>

namespace {
XException Unavailable(const XString& inWhat)
{
    return XException(XException::kOpenGLError,
                      inWhat + "; check that the OpenGL and EGL drivers are installed");
}

EGLSurface MakePbuffer(EGLDisplay inDisplay, EGLConfig inConfig, int32_t inWidth, int32_t inHeight)
{
    // EGL has no empty surface; an empty window draws nothing into a 1 × 1 one.
    const EGLint attributes[] = {EGL_WIDTH, std::max<EGLint>(inWidth, 1), EGL_HEIGHT, std::max<EGLint>(inHeight, 1),
                                 EGL_NONE};
    return eglCreatePbufferSurface(inDisplay, inConfig, attributes);
}

// Configs of an X11 display number apart from the headless display's: the two
// displays' contexts share no objects, so their windows must not meet in one group.
constexpr uint64_t kX11FormatTag = uint64_t(1) << 32;

std::mutex& X11DisplayUsersMutex()
{
    static std::mutex mutex;
    return mutex;
}

std::map<EGLDisplay, int>& X11DisplayUsers()
{
    static std::map<EGLDisplay, int> users;
    return users;
}

EGLDisplay OpenX11Display(Display* inDisplay)
{
    auto getPlatformDisplay =
        reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(OpenGLGetExtensionFunction("eglGetPlatformDisplayEXT"));
    if (!getPlatformDisplay || (!OpenGLCheckWGLExtension(EGL_NO_DISPLAY, "EGL_KHR_platform_x11") &&
                                !OpenGLCheckWGLExtension(EGL_NO_DISPLAY, "EGL_EXT_platform_x11")))
        throw XException(XException::kOpenGLError, "EGL has no X11 platform (EGL_KHR_platform_x11)");
    EGLDisplay display = getPlatformDisplay(EGL_PLATFORM_X11_KHR, inDisplay, nullptr);
    if (display == EGL_NO_DISPLAY || !eglInitialize(display, nullptr, nullptr))
        throw Unavailable(XString("EGL could not use the X11 display (EGL error %1)").Replace(int64_t(eglGetError())));
    std::lock_guard<std::mutex> lock(X11DisplayUsersMutex());
    ++X11DisplayUsers()[display];
    return display;
}

// EGL gives every window on one X display the same EGL display, and terminating it
// ends them all: the last window to go terminates it.
void CloseX11Display(EGLDisplay inDisplay)
{
    std::lock_guard<std::mutex> lock(X11DisplayUsersMutex());
    auto users = X11DisplayUsers().find(inDisplay);
    if (users != X11DisplayUsers().end() && --users->second > 0)
        return;
    if (users != X11DisplayUsers().end())
        X11DisplayUsers().erase(users);
    eglTerminate(inDisplay);
}

// A config like the headless one's that draws into windows of the window's visual
// (and into pbuffers, for pictures of the window's scene).
EGLConfig ChooseWindowConfig(EGLDisplay inDisplay, Display* inX11Display, Window inWindow)
{
    XWindowAttributes window;
    if (!XGetWindowAttributes(inX11Display, inWindow, &window))
        throw XException(XException::kOpenGLError, "the X11 window to draw into is gone");
    const EGLint attributes[] = {EGL_SURFACE_TYPE, EGL_WINDOW_BIT | EGL_PBUFFER_BIT, EGL_RENDERABLE_TYPE,
                                 EGL_OPENGL_BIT, EGL_RED_SIZE, 8, EGL_GREEN_SIZE, 8, EGL_BLUE_SIZE, 8,
                                 EGL_ALPHA_SIZE, 8, EGL_DEPTH_SIZE, 24, EGL_STENCIL_SIZE, 8,
                                 EGL_SAMPLE_BUFFERS, 0, EGL_NONE};
    EGLint count = 0;
    eglChooseConfig(inDisplay, attributes, nullptr, 0, &count);
    std::vector<EGLConfig> configs(size_t(std::max<EGLint>(count, 0)));
    if (count > 0 && eglChooseConfig(inDisplay, attributes, configs.data(), count, &count))
        for (EGLConfig config : configs) {
            EGLint visual = 0;
            if (eglGetConfigAttrib(inDisplay, config, EGL_NATIVE_VISUAL_ID, &visual) &&
                VisualID(visual) == XVisualIDFromVisual(window.visual))
                return config;
        }
    throw XException(XException::kOpenGLError,
                     "EGL offers no config with colour, depth and stencil buffers for the X11 window's visual");
}
} // namespace

WGLWnd::WGLWnd(int32_t inWidth, int32_t inHeight) : itsWidth(std::max(inWidth, 0)), itsHeight(std::max(inHeight, 0))
{
    Create(WRendererEnclosureWnd::XNativeWindow());
}

WGLWnd::WGLWnd(int32_t inWidth, int32_t inHeight, const WRendererEnclosureWnd::XNativeWindow& inWindow)
    : itsWidth(std::max(inWidth, 0)), itsHeight(std::max(inHeight, 0))
{
    Create(inWindow);
}

void WGLWnd::Create(const WRendererEnclosureWnd::XNativeWindow& inWindow)
{
    if (OpenGLInit() != 0) {
        OpenGLUnInit();
        throw Unavailable("OpenGL is not available");
    }
    itsGLLoaded = true;
    try {
        if (inWindow.window) {
            itsDisplay = OpenX11Display(inWindow.display);
            itsNativeWindow = inWindow.window;
            itsConfig = ChooseWindowConfig(itsDisplay, inWindow.display, Window(inWindow.window));
            itsPixelFormatID = uint64_t(GetConfigAttrib(EGL_CONFIG_ID)) | kX11FormatTag;
        } else {
            itsDisplay = WEGLDisplay::Get();
            itsConfig = WEGLDisplay::ChooseConfig();
            itsPixelFormatID = WEGLDisplay::GetConfigID(itsConfig);
        }
        eglBindAPI(EGL_OPENGL_API);
        // Share objects with the group of this pixel format from the start: EGL
        // fixes the share partner when the context is made.
        EGLContext share = EGL_NO_CONTEXT;
        if (auto* partner = dynamic_cast<WGLWnd*>(FindGroupContext(itsPixelFormatID)); partner && partner->itsDisplay == itsDisplay)
            share = partner->itsContext;
        // The legacy layer draws with the fixed-function pipeline: compatibility profile.
        EGLint major = 1, minor = 4;
        const char* version = eglQueryString(itsDisplay, EGL_VERSION);
        if (version)
            std::sscanf(version, "%d.%d", &major, &minor);
        const bool profiles = major > 1 || minor >= 5 || OpenGLCheckWGLExtension(itsDisplay, "EGL_KHR_create_context");
        const EGLint compatibility[] = {EGL_CONTEXT_OPENGL_PROFILE_MASK, EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT,
                                        EGL_NONE};
        itsContext = eglCreateContext(itsDisplay, itsConfig, share, profiles ? compatibility : nullptr);
        if (itsContext == EGL_NO_CONTEXT)
            throw Unavailable("no OpenGL context could be created");
        if (itsNativeWindow) {
            auto createWindowSurface = reinterpret_cast<PFNEGLCREATEPLATFORMWINDOWSURFACEEXTPROC>(
                OpenGLGetExtensionFunction("eglCreatePlatformWindowSurfaceEXT"));
            Window window = Window(itsNativeWindow);
            itsSurface = createWindowSurface ? createWindowSurface(itsDisplay, itsConfig, &window, nullptr)
                                             : EGL_NO_SURFACE;
            // A swap must not wait for the vertical blank: the host draws over parts
            // of the window right after it.
            if (itsSurface != EGL_NO_SURFACE && eglMakeCurrent(itsDisplay, itsSurface, itsSurface, itsContext)) {
                eglSwapInterval(itsDisplay, 0);
                eglMakeCurrent(itsDisplay, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
            }
        } else {
            itsSurface = MakePbuffer(itsDisplay, itsConfig, itsWidth, itsHeight);
        }
        if (itsSurface == EGL_NO_SURFACE)
            throw Unavailable(XString("no drawing surface of %1 × %2 pixels could be created")
                                  .Replace(int64_t(itsWidth))
                                  .Replace(int64_t(itsHeight)));
        itsDrawSurface = itsSurface;
        XGLContext* groupPartner = ContextChanged(itsPixelFormatID);
        X_ASSERT(groupPartner == nullptr || share != EGL_NO_CONTEXT);
    } catch (...) {
        DestroyNative();
        OpenGLUnInit();
        itsGLLoaded = false;
        throw;
    }
}

WGLWnd::~WGLWnd()
{
    try {
        PreContextDispose();
    } catch (...) {
        // The context could not be made current; listeners lose their objects with it.
    }
    ContextChanged(0);
    DestroyNative();
    if (itsGLLoaded)
        OpenGLUnInit();
}

void WGLWnd::DestroyNative()
{
    if (itsDisplay == EGL_NO_DISPLAY)
        return;
    if (itsContext != EGL_NO_CONTEXT && eglGetCurrentContext() == itsContext)
        eglMakeCurrent(itsDisplay, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    if (itsSurface != EGL_NO_SURFACE)
        eglDestroySurface(itsDisplay, itsSurface);
    if (itsContext != EGL_NO_CONTEXT)
        eglDestroyContext(itsDisplay, itsContext);
    itsSurface = itsDrawSurface = EGL_NO_SURFACE;
    itsContext = EGL_NO_CONTEXT;
    // The X11 display's EGL side goes before the host closes the display it uses.
    if (itsNativeWindow)
        CloseX11Display(itsDisplay);
    itsNativeWindow = 0;
    itsDisplay = EGL_NO_DISPLAY;
}

EGLint WGLWnd::GetConfigAttrib(EGLint inAttribute) const
{
    EGLint value = 0;
    eglGetConfigAttrib(itsDisplay, itsConfig, inAttribute, &value);
    return value;
}

void WGLWnd::LockSelf() const
{
    eglBindAPI(EGL_OPENGL_API); // the bound API is per thread
    if (!eglMakeCurrent(itsDisplay, itsDrawSurface, itsDrawSurface, itsContext))
        throw XGLException(GL_INVALID_OPERATION);
    // The viewport follows the drawing area, as a window's does after a resize.
    if (!itsViewportValid || itsViewportWidth != itsWidth || itsViewportHeight != itsHeight) {
        glViewport(0, 0, itsWidth, itsHeight);
        itsViewportWidth = itsWidth;
        itsViewportHeight = itsHeight;
        itsViewportValid = true;
    }
}

void WGLWnd::UnlockSelf() const
{
    // A window's back buffer is shown only when a frame was drawn into it; a pbuffer's swap shows nothing.
    if (!itsNativeWindow || itsFramePending)
        eglSwapBuffers(itsDisplay, itsDrawSurface);
    itsFramePending = false;
    eglMakeCurrent(itsDisplay, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
}

XRect WGLWnd::GetGlobalContextBounds()
{
    return XRect(itsScreenPosition.x, itsScreenPosition.y, itsScreenPosition.x + itsWidth,
                 itsScreenPosition.y + itsHeight);
}

XGLContext::XPixelFormatInfo WGLWnd::GetPixelFormatInfo() const
{
    XPixelFormatInfo info;
    info.stereo = false; // EGL has no stereo pixel formats
    info.pbuffers = (GetConfigAttrib(EGL_SURFACE_TYPE) & EGL_PBUFFER_BIT) != 0;
    bool software = GetConfigAttrib(EGL_CONFIG_CAVEAT) == EGL_SLOW_CONFIG;
    if (IsCurrent()) {
        const GLubyte* renderer = glGetString(GL_RENDERER);
        software = software ||
                   (renderer && XGLContext::IsSoftwareRendererName(XString(reinterpret_cast<const char*>(renderer))));
    }
    info.generic = software;
    info.genericAccelerated = false;
    return info;
}

void WGLWnd::RefreshScene(bool inRedrawNow)
{
    if (!XThread::IsMainThread())
        return;
    itsNeedsRedraw = true;
    if (inRedrawNow)
        Redraw();
}

void WGLWnd::RenderContext()
{
    itsFramePending = true;
    XGLContext::RenderContext();
}

void WGLWnd::Redraw()
{
    if (!itsNeedsRedraw)
        return;
    itsNeedsRedraw = false;
    ++itsRedrawCount;
    RenderContext();
}

XPoint WGLWnd::LocalToGLPoint(const XPoint& inPoint)
{
    return XPoint(inPoint.x, itsHeight - 1 - inPoint.y);
}

XPoint WGLWnd::GLToLocalPoint(const XPoint& inPoint)
{
    return XPoint(inPoint.x, itsHeight - 1 - inPoint.y);
}

void WGLWnd::SetSize(int32_t inWidth, int32_t inHeight)
{
    inWidth = std::max(inWidth, 0);
    inHeight = std::max(inHeight, 0);
    if (inWidth == itsWidth && inHeight == itsHeight)
        return;
    if (itsNativeWindow) {
        // The window's surface follows the X11 window's size itself.
        itsWidth = inWidth;
        itsHeight = inHeight;
        RefreshScene(false);
        return;
    }
    EGLSurface surface = MakePbuffer(itsDisplay, itsConfig, inWidth, inHeight);
    if (surface == EGL_NO_SURFACE)
        throw Unavailable(XString("no drawing surface of %1 × %2 pixels could be created")
                              .Replace(int64_t(inWidth))
                              .Replace(int64_t(inHeight)));
    const bool drawingIntoWindow = itsDrawSurface == itsSurface;
    const bool locked = GetLockCount() > 0;
    if (locked && drawingIntoWindow)
        eglMakeCurrent(itsDisplay, surface, surface, itsContext);
    eglDestroySurface(itsDisplay, itsSurface);
    itsSurface = surface;
    if (drawingIntoWindow)
        itsDrawSurface = surface;
    itsWidth = inWidth;
    itsHeight = inHeight;
    if (locked && drawingIntoWindow) {
        glViewport(0, 0, itsWidth, itsHeight);
        itsViewportWidth = itsWidth;
        itsViewportHeight = itsHeight;
    }
    RefreshScene(false);
}

void WGLWnd::SetScreenPosition(const XPoint& inTopLeft)
{
    itsScreenPosition = inTopLeft;
}

XVolume* WGLWnd::RenderToVolume(const XRect& inRect)
{
    const int32_t w = inRect.GetWidth();
    const int32_t h = inRect.GetHeight();
    const EGLint maxWidth = GetConfigAttrib(EGL_MAX_PBUFFER_WIDTH);
    const EGLint maxHeight = GetConfigAttrib(EGL_MAX_PBUFFER_HEIGHT);
    if (w <= 0 || h <= 0 || (maxWidth > 0 && w > maxWidth) || (maxHeight > 0 && h > maxHeight))
        throw XException(XException::kExportTooLarge,
                         XString("an image of %1 × %2 pixels cannot be rendered (at most %3 × %4); choose a smaller size")
                             .Replace(int64_t(w))
                             .Replace(int64_t(h))
                             .Replace(int64_t(maxWidth))
                             .Replace(int64_t(maxHeight)));
    XTimer timer;
    EGLSurface target = MakePbuffer(itsDisplay, itsConfig, w, h);
    if (target == EGL_NO_SURFACE)
        throw Unavailable(XString("no drawing surface of %1 × %2 pixels could be created").Replace(int64_t(w)).Replace(int64_t(h)));

    // Draw into the pbuffer as though the window had the rectangle's size.
    const EGLSurface savedSurface = itsDrawSurface;
    const int32_t savedWidth = itsWidth, savedHeight = itsHeight;
    auto bind = [this](EGLSurface inSurface, int32_t inWidth, int32_t inHeight) {
        itsDrawSurface = inSurface;
        itsWidth = inWidth;
        itsHeight = inHeight;
        InvalidateStencil(); // a new surface holds no interlace stencil yet
        if (GetLockCount() > 0 && eglMakeCurrent(itsDisplay, inSurface, inSurface, itsContext)) {
            glViewport(0, 0, inWidth, inHeight);
            itsViewportWidth = inWidth;
            itsViewportHeight = inHeight;
        }
    };
    bind(target, w, h);
    struct Restore {
        WGLWnd& window;
        decltype(bind)& rebind;
        EGLSurface surface, target;
        int32_t width, height;
        XTimer& timer;
        ~Restore()
        {
            rebind(surface, width, height);
            eglDestroySurface(window.itsDisplay, target);
            AccumulateRenderToImageTime(XTime(double(timer.GetElapsedTime()) / 1000.0));
        }
    } restore{*this, bind, savedSurface, target, savedWidth, savedHeight, timer};
    return XGLContext::RenderToVolume();
}

void WGLWnd::AddHook(WGLWndHook* inHook)
{
    if (inHook && !itsHooks.DoesContain(inHook))
        itsHooks.push_back(inHook);
}

void WGLWnd::RemoveHook(WGLWndHook* inHook)
{
    itsHooks.Remove(inHook);
}

bool WGLWnd::HandleEvent(const WGLEvent& inEvent)
{
    if (inEvent.kind == WGLEvent::kSize)
        SetSize(inEvent.width, inEvent.height);
    // A hook may remove itself while handling: walk a copy, newest first.
    XPtrVector<WGLWndHook> hooks = itsHooks;
    for (auto it = hooks.rbegin(); it != hooks.rend(); ++it) {
        if (!itsHooks.DoesContain(*it))
            continue;
        bool used = false;
        switch (inEvent.kind) {
        case WGLEvent::kMouseDown: used = (*it)->HandleMouseDown(*this, inEvent); break;
        case WGLEvent::kMouseMove: used = (*it)->HandleMouseMove(*this, inEvent); break;
        case WGLEvent::kMouseUp: used = (*it)->HandleMouseUp(*this, inEvent); break;
        case WGLEvent::kKeyDown: used = (*it)->HandleKeyDown(*this, inEvent); break;
        case WGLEvent::kSize: used = (*it)->HandleSize(*this, inEvent); break;
        }
        if (used)
            return true;
    }
    return false;
}

XGLContext* WGLWnd::MakeProbeWindow()
{
    return new WGLWnd(16, 16);
}

void WGLWnd::ProbeOpenGL()
{
    XGLContext::ProbeCapabilities(&WGLWnd::MakeProbeWindow);
}

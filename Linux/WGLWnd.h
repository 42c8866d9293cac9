#pragma once
// The platform GL window: an XGLContext drawn into a headless EGL pbuffer of the
// window's size, or into an X11 window through EGL's X11 platform, where each frame
// drawn is presented by a buffer swap. Windows of one pixel format share GL objects
// (their context group). Input arrives as WGLEvents and goes to the hooks, last added first.
#include "WEGLDisplay.h"
#include "WGLEvent.h"
#include "WRendererEnclosureWnd.h"
#include "XGLContext.h"
#include "XPtrVector.h"

class WGLWndHook;

class WGLWnd : public XGLContext {
public:
    // Throws XException when OpenGL is not available or no context can be made.
    WGLWnd(int32_t inWidth, int32_t inHeight);
    // On the X11 window, whose size it follows; throws XException when EGL cannot draw
    // into it (no X11 platform, no config for its visual). Windows on one X display share its EGL display.
    WGLWnd(int32_t inWidth, int32_t inHeight, const WRendererEnclosureWnd::XNativeWindow& inWindow);
    ~WGLWnd() override;
    WGLWnd(const WGLWnd&) = delete;
    WGLWnd& operator=(const WGLWnd&) = delete;

    // Marks the window for redrawing and, with inRedrawNow, redraws at once.
    void RefreshScene(bool inRedrawNow) override;
    XPoint LocalToGLPoint(const XPoint& inPoint) override;
    XPoint GLToLocalPoint(const XPoint& inPoint) override;
    // Renders the scene at the rectangle's size into a pbuffer of that size.
    XVolume* RenderToVolume(const XRect& inRect) override;
    using XGLContext::RenderToVolume;
    // Draws the frame; on an X11 window the swap then presents it.
    void RenderContext() override;
    bool IsOnNativeWindow() const { return itsNativeWindow != 0; }

    void SetSize(int32_t inWidth, int32_t inHeight);
    int32_t GetWidth() const { return itsWidth; }
    int32_t GetHeight() const { return itsHeight; }
    // Where the window's drawing area sits on the screen.
    void SetScreenPosition(const XPoint& inTopLeft);
    bool NeedsRedraw() const { return itsNeedsRedraw; }
    // Draws the frame if it was invalidated.
    void Redraw();
    // Frames drawn so far (at once or later): a host that shows read-back frames
    // knows from it when to take a new one.
    uint64_t GetRedrawCount() const { return itsRedrawCount; }
    uint64_t GetPixelFormatID() const { return itsPixelFormatID; }
    EGLContext GetNativeContext() const { return itsContext; }

    void AddHook(WGLWndHook* inHook);
    void RemoveHook(WGLWndHook* inHook);
    // Passes the event to the hooks; a size event also resizes the window.
    bool HandleEvent(const WGLEvent& inEvent);

    // The hidden window the capability probe draws with.
    static XGLContext* MakeProbeWindow();
    // Runs the capability probe with a hidden window of this kind.
    static void ProbeOpenGL();

protected:
    void LockSelf() const override;
    void UnlockSelf() const override;
    XRect GetGlobalContextBounds() override;
    XPixelFormatInfo GetPixelFormatInfo() const override;

private:
    void Create(const WRendererEnclosureWnd::XNativeWindow& inWindow);
    void DestroyNative();
    EGLint GetConfigAttrib(EGLint inAttribute) const;

    EGLDisplay itsDisplay = EGL_NO_DISPLAY;
    EGLConfig itsConfig = nullptr;
    EGLContext itsContext = EGL_NO_CONTEXT;
    EGLSurface itsSurface = EGL_NO_SURFACE;
    // The surface drawn into: the window's, or a pbuffer while rendering to a volume.
    EGLSurface itsDrawSurface = EGL_NO_SURFACE;
    unsigned long itsNativeWindow = 0; // the X11 window itsSurface draws into; 0 for a pbuffer
    mutable bool itsFramePending = false; // a frame was drawn that the next unlock presents
    uint64_t itsPixelFormatID = 0;
    int32_t itsWidth = 0;
    int32_t itsHeight = 0;
    XPoint itsScreenPosition;
    mutable bool itsViewportValid = false;
    mutable int32_t itsViewportWidth = 0;
    mutable int32_t itsViewportHeight = 0;
    bool itsNeedsRedraw = true;
    uint64_t itsRedrawCount = 0;
    bool itsGLLoaded = false;
    XPtrVector<WGLWndHook> itsHooks;
};

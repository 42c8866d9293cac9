#pragma once
// The host view's frame that a volume renderer puts its GL window in. It does not own
// that window; resizing the frame resizes the window to fill it.
#include "XString.h"

#include <cstdint>

class WGLWnd;
struct _XDisplay;

class WRendererEnclosureWnd {
public:
    WRendererEnclosureWnd(int32_t inWidth, int32_t inHeight);
    WRendererEnclosureWnd(const WRendererEnclosureWnd&) = delete;
    WRendererEnclosureWnd& operator=(const WRendererEnclosureWnd&) = delete;

    // An X11 window the renderer's GL window draws into and presents, set before the
    // renderer is made; without one (or when EGL cannot draw into it) it draws off screen.
    struct XNativeWindow {
        _XDisplay* display = nullptr;
        unsigned long window = 0;
    };
    void SetNativeWindow(const XNativeWindow& inWindow) { itsNativeWindow = inWindow; }
    const XNativeWindow& GetNativeWindow() const { return itsNativeWindow; }
    // Why the GL window draws off screen although a native window was set; empty otherwise.
    const XString& GetNativeWindowError() const { return itsNativeWindowError; }
    void SetNativeWindowError(const XString& inError) { itsNativeWindowError = inError; }

    void SetRendererWnd(WGLWnd* inWnd);
    WGLWnd* GetRendererWnd() const { return itsRendererWnd; }
    // Sizes below one pixel become one pixel.
    void SetSize(int32_t inWidth, int32_t inHeight);
    int32_t GetWidth() const { return itsWidth; }
    int32_t GetHeight() const { return itsHeight; }

private:
    WGLWnd* itsRendererWnd = nullptr;
    int32_t itsWidth = 1;
    int32_t itsHeight = 1;
    XNativeWindow itsNativeWindow;
    XString itsNativeWindowError;
};

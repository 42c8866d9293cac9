#pragma once
// Receives a GL window's input before the window itself; returns whether it used it.
#include "WGLEvent.h"

class WGLWnd;

class WGLWndHook {
public:
    virtual ~WGLWndHook() = default;
    virtual bool HandleMouseDown(WGLWnd&, const WGLEvent&) { return false; }
    virtual bool HandleMouseMove(WGLWnd&, const WGLEvent&) { return false; }
    virtual bool HandleMouseUp(WGLWnd&, const WGLEvent&) { return false; }
    virtual bool HandleKeyDown(WGLWnd&, const WGLEvent&) { return false; }
    virtual bool HandleSize(WGLWnd&, const WGLEvent&) { return false; }
};

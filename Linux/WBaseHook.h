#pragma once
// A tool hook of the legacy volume renderer: follows a left-button drag in the
// renderer's window and hands each step to the tool.
#include "WGLWndHook.h"
#include "XGLWindowFactory.h"
#include "XPoint.h"

class XGLVolumeRenderer;

class WBaseHook : public WGLWndHook, public XGLToolHook {
public:
    explicit WBaseHook(XGLVolumeRenderer& inRenderer) : itsRenderer(inRenderer) {}

    bool HandleMouseDown(WGLWnd& inWnd, const WGLEvent& inEvent) override;
    bool HandleMouseMove(WGLWnd& inWnd, const WGLEvent& inEvent) override;
    bool HandleMouseUp(WGLWnd& inWnd, const WGLEvent& inEvent) override;
    bool IsDragging() const { return itsDragging; }

protected:
    virtual void BeginDrag(WGLWnd&, const XPoint&) {}
    // One step of the drag, from inFrom to inTo (window coordinates, y down).
    virtual void DragStep(WGLWnd& inWnd, const XPoint& inFrom, const XPoint& inTo) = 0;
    virtual void EndDrag(WGLWnd&, const XPoint&) {}

    XGLVolumeRenderer& itsRenderer;

private:
    bool itsDragging = false;
    XPoint itsLastPoint;
};

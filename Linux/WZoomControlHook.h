#pragma once
// Zooms the view while the left button drags: up enlarges, down shrinks, by a
// factor that depends only on the distance dragged.
#include "WBaseHook.h"

class WZoomControlHook : public WBaseHook {
public:
    explicit WZoomControlHook(XGLVolumeRenderer& inRenderer) : WBaseHook(inRenderer) {}
    // Pixels of drag that double (or halve) the size.
    static constexpr double kPixelsPerDoubling = 100.0;
    // The scale never leaves these bounds, so the volume can always be found again.
    static constexpr double kMinScale = 0.01;
    static constexpr double kMaxScale = 100.0;

protected:
    void DragStep(WGLWnd& inWnd, const XPoint& inFrom, const XPoint& inTo) override;
};

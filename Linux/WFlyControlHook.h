#pragma once
// Flies the camera while the left button drags: up moves it forwards, down backwards,
// sideways turns it left or right about its own up vector.
#include "WBaseHook.h"

class WFlyControlHook : public WBaseHook {
public:
    explicit WFlyControlHook(XGLVolumeRenderer& inRenderer) : WBaseHook(inRenderer) {}
    static constexpr double kUnitsPerPixel = 0.02;
    static constexpr double kDegreesPerPixel = 0.25;

protected:
    void DragStep(WGLWnd& inWnd, const XPoint& inFrom, const XPoint& inTo) override;
};

#pragma once
// Moves the volume in the view plane while the left button drags, so the point
// under the cursor stays under it (at the depth of the scene's centre).
#include "WBaseHook.h"

class WPanControlHook : public WBaseHook {
public:
    explicit WPanControlHook(XGLVolumeRenderer& inRenderer) : WBaseHook(inRenderer) {}

protected:
    void DragStep(WGLWnd& inWnd, const XPoint& inFrom, const XPoint& inTo) override;
};

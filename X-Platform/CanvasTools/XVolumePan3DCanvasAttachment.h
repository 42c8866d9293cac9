#pragma once
// The pan tool of the 3D views: a drag moves the volume sideways so that the point
// grabbed under the mouse stays under it; with modifier bit 1 the camera moves instead.
#include "X3DRendererToolBase.h"
#include "XMathVector.h"

class XVolumePan3DCanvasAttachment : public X3DRendererToolBase {
public:
    explicit XVolumePan3DCanvasAttachment(X3DBaseRenderer& inRenderer) : X3DRendererToolBase(inRenderer) {}

    XEventResult HandleMouseEvent(XMouseEvent inEvent, const XPoint& inPoint, uint32_t inFlags) override;
    XEventResult HandleSetCursor(const XPoint& inPoint, uint32_t inFlags) override;

    // Follow the drag that started at inStart until the button is released.
    void HandlePanVolume(const XPoint& inStart, const XPoint& inFirst);
    void HandlePanCamera(const XPoint& inStart, const XPoint& inFirst);
};

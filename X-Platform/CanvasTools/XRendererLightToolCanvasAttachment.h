#pragma once
// The light tool of the 3D views: a drag swings the light about the origin like the
// trackball turns the volume, with modifier bit 0 moves it nearer or further, and
// with modifier bit 1 moves it sideways under the mouse. The light stays within
// distance 5 of the origin and never reaches it.
#include "X3DRendererToolBase.h"
#include "XMathVector.h"

class X3DSceneNode;

class XRendererLightToolCanvasAttachment : public X3DRendererToolBase {
public:
    // inLightNode turns with the light (the renderer's light ball).
    XRendererLightToolCanvasAttachment(X3DBaseRenderer& inRenderer, X3DSceneNode& inLightNode)
        : X3DRendererToolBase(inRenderer), itsLightNode(inLightNode) {}

    XMathVectorF3 LocalToBallPoint(const XPoint& inPoint) const;
    static bool IsLightPositionValid(const XMathVectorF3& inLight);

    XEventResult HandleMouseEvent(XMouseEvent inEvent, const XPoint& inPoint, uint32_t inFlags) override;
    XEventResult HandleSetCursor(const XPoint& inPoint, uint32_t inFlags) override;

    // Follow the drag that started at inStart until the button is released.
    void HandleRotateLight(const XPoint& inStart, const XPoint& inFirst);
    void HandleMoveLight(const XPoint& inStart, const XPoint& inFirst);
    void HandlePanLight(const XPoint& inStart, const XPoint& inFirst);

private:
    // The light position (state 18); false when it is absent or unusable.
    bool GetLight(XMathVectorF3& outLight) const;

    X3DSceneNode& itsLightNode;
};

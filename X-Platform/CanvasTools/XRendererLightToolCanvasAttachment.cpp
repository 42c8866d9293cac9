#include "XRendererLightToolCanvasAttachment.h"
#include "X3DBaseRenderer.h"
#include "X3DCanvasToolMaths.h"
#include "X3DSceneNode.h"
#include "XCanvasPaneBase.h"
#include "XQuaternion.h"

XMathVectorF3 XRendererLightToolCanvasAttachment::LocalToBallPoint(const XPoint& inPoint) const
{
    const XCanvasPaneBase* pane = Get3DCanvasPane();
    return pane ? X3DCanvasToolMaths::LocalToBallPoint(inPoint, pane->GetWidth(), pane->GetHeight())
                : XMathVectorF3(0, 0, 1);
}

bool XRendererLightToolCanvasAttachment::IsLightPositionValid(const XMathVectorF3& inLight)
{
    return X3DCanvasToolMaths::IsLightPositionValid(inLight);
}

bool XRendererLightToolCanvasAttachment::GetLight(XMathVectorF3& outLight) const
{
    return X3DCanvasToolMaths::GetVector(GetSceneState(), kSceneStateLightPosition, outLight) &&
           IsLightPositionValid(outLight);
}

XEventResult XRendererLightToolCanvasAttachment::HandleSetCursor(const XPoint&, uint32_t)
{
    if (XCanvasPaneBase* pane = Get3DCanvasPane())
        pane->SetCursor(kCursorTool);
    return kEventHandled;
}

XEventResult XRendererLightToolCanvasAttachment::HandleMouseEvent(XMouseEvent inEvent, const XPoint& inPoint,
                                                                  uint32_t inFlags)
{
    XCanvasPaneBase* pane = Get3DCanvasPane();
    if (!pane || inEvent != kMouseDown)
        return kEventNotHandled;
    if (!pane->WaitForDrag(inPoint))
        return kEventNotHandled;
    {
        XInteractionScope scope(GetRenderer(), false);
        if (inFlags & 2u)
            HandlePanLight(inPoint, pane->GetMousePosition());
        else if (inFlags & 1u)
            HandleMoveLight(inPoint, pane->GetMousePosition());
        else
            HandleRotateLight(inPoint, pane->GetMousePosition());
    }
    GetRenderer().RefreshRenderer();
    pane->SetCursor(kCursorTool);
    return kEventHandled;
}

void XRendererLightToolCanvasAttachment::HandleRotateLight(const XPoint& inStart, const XPoint&)
{
    XCanvasPaneBase* pane = Get3DCanvasPane();
    XMathVectorF3 light;
    if (!pane || !GetLight(light))
        return;
    XMathVectorF3 p0 = LocalToBallPoint(inStart);
    while (true) {
        const XInputSample sample = pane->PollMouse();
        const XMathVectorF3 p1 = LocalToBallPoint(sample.point);
        XMathVectorF3 axis;
        float angle = 0.0f;
        if (!(p1 == p0) && X3DCanvasToolMaths::GetViewArc(p0, p1, axis, angle)) {
            p0 = p1;
            // The same turn the trackball gives the volume, so the light goes the way
            // the mouse does.
            const XQuaternion turn = XQuaternion::MakeFromAxisAngle(
                X3DCanvasToolMaths::ViewAxisToScene(axis, GetCamera()), -double(angle));
            const XMathVectorF3 turned = turn.Rotate(light);
            if (IsLightPositionValid(turned)) {
                light = turned;
                itsLightNode.SetRotation(turn * itsLightNode.GetRotation());
                WriteState(kSceneStateLightPosition, X3DCanvasToolMaths::MakeVectorValue(light), true);
            }
        }
        if ((sample.buttons & kButtonLeft) == 0)
            break;
    }
}

void XRendererLightToolCanvasAttachment::HandleMoveLight(const XPoint& inStart, const XPoint&)
{
    XCanvasPaneBase* pane = Get3DCanvasPane();
    XMathVectorF3 light;
    if (!pane || !GetLight(light))
        return;
    XPoint previous = inStart;
    while (true) {
        const XInputSample sample = pane->PollMouse();
        const int32_t dy = sample.point.y - previous.y;
        previous = sample.point;
        XMathVectorF3 moved;
        if (dy != 0 && X3DCanvasToolMaths::MoveLight(light, dy, moved)) {
            light = moved;
            WriteState(kSceneStateLightPosition, X3DCanvasToolMaths::MakeVectorValue(light), true);
        }
        if ((sample.buttons & kButtonLeft) == 0)
            break;
    }
}

void XRendererLightToolCanvasAttachment::HandlePanLight(const XPoint& inStart, const XPoint&)
{
    XCanvasPaneBase* pane = Get3DCanvasPane();
    XMathVectorF3 light;
    const X3DCamera camera = GetPickCamera();
    XMathVectorF3 g0;
    if (!pane || !GetLight(light) || !X3DCanvasToolMaths::GetGrabbedPoint(camera, inStart, g0))
        return;
    const XMathVectorF3 start = light;
    while (true) {
        const XInputSample sample = pane->PollMouse();
        XMathVectorF3 g;
        if (X3DCanvasToolMaths::GetGrabbedPoint(camera, sample.point, g)) {
            // The light lives below the scene root, which mirrors z.
            XMathVectorF3 offset = g - g0;
            offset[2] = -offset[2];
            const XMathVectorF3 moved = start + offset;
            if (IsLightPositionValid(moved)) {
                light = moved;
                WriteState(kSceneStateLightPosition, X3DCanvasToolMaths::MakeVectorValue(light), true);
            }
        }
        if ((sample.buttons & kButtonLeft) == 0)
            break;
    }
}

#include "XVolumePan3DCanvasAttachment.h"
#include "X3DBaseRenderer.h"
#include "X3DCanvasToolMaths.h"
#include "XCanvasPaneBase.h"
#include "XQuaternion.h"

XEventResult XVolumePan3DCanvasAttachment::HandleSetCursor(const XPoint&, uint32_t)
{
    if (XCanvasPaneBase* pane = Get3DCanvasPane())
        pane->SetCursor(kCursorTool);
    return kEventHandled;
}

XEventResult XVolumePan3DCanvasAttachment::HandleMouseEvent(XMouseEvent inEvent, const XPoint& inPoint, uint32_t inFlags)
{
    XCanvasPaneBase* pane = Get3DCanvasPane();
    if (!pane || inEvent != kMouseDown)
        return kEventNotHandled;
    pane->SetCursor(kCursorDragging);
    if (!pane->WaitForDrag(inPoint)) {
        pane->SetCursor(kCursorTool);
        return kEventNotHandled;
    }
    {
        XInteractionScope scope(GetRenderer(), true);
        if (inFlags & 2u)
            HandlePanCamera(inPoint, pane->GetMousePosition());
        else
            HandlePanVolume(inPoint, pane->GetMousePosition());
    }
    GetRenderer().RefreshRenderer();
    pane->SetCursor(kCursorTool);
    return kEventHandled;
}

void XVolumePan3DCanvasAttachment::HandlePanVolume(const XPoint& inStart, const XPoint&)
{
    XCanvasPaneBase* pane = Get3DCanvasPane();
    const XRendererSceneState state = GetSceneState();
    const X3DCamera camera = GetPickCamera();
    XMathVectorF3 g0;
    if (!pane || !X3DCanvasToolMaths::GetGrabbedPoint(camera, inStart, g0))
        return;
    XMathVectorF3 t0;
    X3DCanvasToolMaths::GetVector(state, kSceneStateVolumePosition, t0);
    // The volume's position is given in the world node's frame: turned by the volume
    // rotation below the scene root, which mirrors z. A world offset is carried back
    // through both.
    X3DMatrix rotation = X3DMatrix::UnitMatrix(3);
    X3DCanvasToolMaths::GetRotation(state, rotation);
    const XQuaternion inverse = XQuaternion::MakeFromRotationMatrix(rotation).Conjugate();
    while (true) {
        const XInputSample sample = pane->PollMouse();
        XMathVectorF3 g;
        if (X3DCanvasToolMaths::GetGrabbedPoint(camera, sample.point, g)) {
            XMathVectorF3 offset = g - g0;
            offset[2] = -offset[2];
            const XMathVectorF3 t = t0 + inverse.Rotate(offset);
            WriteState(kSceneStateVolumePosition, X3DCanvasToolMaths::MakeVectorValue(t), true);
        }
        if ((sample.buttons & kButtonLeft) == 0)
            break;
    }
}

void XVolumePan3DCanvasAttachment::HandlePanCamera(const XPoint& inStart, const XPoint&)
{
    XCanvasPaneBase* pane = Get3DCanvasPane();
    const X3DCamera camera = GetPickCamera();
    XMathVectorF3 g0;
    if (!pane || !X3DCanvasToolMaths::GetGrabbedPoint(camera, inStart, g0))
        return;
    // Points are picked with the camera of the drag's start: moving the camera back by
    // the grabbed point's offset brings that point under the mouse.
    while (true) {
        const XInputSample sample = pane->PollMouse();
        XMathVectorF3 g;
        if (X3DCanvasToolMaths::GetGrabbedPoint(camera, sample.point, g)) {
            X3DCamera moved = camera;
            moved.SetPosition(camera.GetPosition() - (g - g0));
            if (moved.GetPosition().GetLength() > 0.0f)
                WriteState(kSceneStateCamera, moved.GetMatrix(), true);
        }
        if ((sample.buttons & kButtonLeft) == 0)
            break;
    }
}

#include "XTrackBall3DCanvasAttachment.h"
#include "X3DBaseRenderer.h"
#include "X3DCanvasToolMaths.h"
#include "XAssert.h"
#include "XCanvasPaneBase.h"

XTrackBall3DCanvasAttachment::XTrackBall3DCanvasAttachment(X3DBaseRenderer& inRenderer, XRotateBehavoir inBehaviour)
    : X3DRendererToolBase(inRenderer), XTimerPeriodical(1.0), itsBehaviour(inBehaviour), itsSpinBehaviour(inBehaviour)
{
    SetPeriodicalPeriod(kSpinPeriodSeconds);
}

XTrackBall3DCanvasAttachment::~XTrackBall3DCanvasAttachment() { StopPeriodical(); }

XMathVectorF3 XTrackBall3DCanvasAttachment::LocalToBallPoint(const XPoint& inPoint) const
{
    const XCanvasPaneBase* pane = Get3DCanvasPane();
    return pane ? X3DCanvasToolMaths::LocalToBallPoint(inPoint, pane->GetWidth(), pane->GetHeight())
                : XMathVectorF3(0, 0, 1);
}

void XTrackBall3DCanvasAttachment::StopSpin()
{
    itsSpin = false;
    StopPeriodical();
}

XEventResult XTrackBall3DCanvasAttachment::HandleSetCursor(const XPoint&, uint32_t inFlags)
{
    if (XCanvasPaneBase* pane = Get3DCanvasPane())
        pane->SetCursor(IsDolly(inFlags) ? kCursorZoomIn : kCursorTool);
    return kEventHandled;
}

XEventResult XTrackBall3DCanvasAttachment::HandleMouseEvent(XMouseEvent inEvent, const XPoint& inPoint, uint32_t inFlags)
{
    XCanvasPaneBase* pane = Get3DCanvasPane();
    X_ASSERT(pane);
    if (!pane || inEvent != kMouseDown)
        return kEventHandled;
    StopSpin();
    for (XTrackBall3DCanvasAttachment* sibling : itsSiblings)
        if (sibling && sibling != this)
            sibling->StopSpin();
    pane->SetCursor(IsDolly(inFlags) ? kCursorZoomIn : kCursorDragging);
    if (!pane->WaitForDrag(inPoint)) {
        pane->SetCursor(IsDolly(inFlags) ? kCursorZoomIn : kCursorTool);
        return kEventHandled;
    }
    if (IsDolly(inFlags))
        DragDolly(inPoint);
    else
        DragRotate(inPoint, inFlags);
    return kEventHandled;
}

void XTrackBall3DCanvasAttachment::DragRotate(const XPoint& inStart, uint32_t inFlags)
{
    XCanvasPaneBase* pane = Get3DCanvasPane();
    XInteractionScope scope(GetRenderer(), true);
    XRotateBehavoir behaviour = itsBehaviour;
    if (inFlags & 2u)
        behaviour = behaviour == kRotateCamera ? kRotateVolume : kRotateCamera;

    XMathVectorF3 p0 = LocalToBallPoint(inStart);
    // One pixel off, so that the first sample counts as a movement.
    XPoint previous = pane->GetMousePosition() + XPoint(1, 1);
    bool hasTurn = false;
    XTimer movement;
    while (true) {
        const XInputSample sample = pane->PollMouse();
        if (sample.point != previous) {
            movement.Start();
            previous = sample.point;
            const XMathVectorF3 p1 = LocalToBallPoint(sample.point);
            XMathVectorF3 axis;
            float angle = 0.0f;
            if (!(p1 == p0) && X3DCanvasToolMaths::GetViewArc(p0, p1, axis, angle)) {
                Roll(axis, angle, behaviour, true);
                itsSpinAxis = axis;
                itsSpinAngle = angle;
                itsSpinBehaviour = behaviour;
                hasTurn = true;
                p0 = p1;
            }
        }
        if ((sample.buttons & kButtonLeft) == 0) {
            itsSpin = hasTurn && movement.GetElapsedTime() < kFlickMs;
            break;
        }
    }
    if (!itsSpin)
        GetRenderer().RefreshRenderer();
    if (itsSpin) {
        // The first spin step comes one period after the last drag step.
        itsFrameTimer.Set(0);
        StartPeriodical();
    }
    pane->SetCursor(kCursorTool);
}

void XTrackBall3DCanvasAttachment::DragDolly(const XPoint& inStart)
{
    XCanvasPaneBase* pane = Get3DCanvasPane();
    XInteractionScope scope(GetRenderer(), false);
    XPoint previous = inStart;
    while (true) {
        const XInputSample sample = pane->PollMouse();
        const int32_t dy = sample.point.y - previous.y;
        previous = sample.point;
        X3DCamera camera = GetCamera();
        if (dy != 0 && X3DCanvasToolMaths::DollyCamera(camera, dy))
            WriteState(kSceneStateCamera, camera.GetMatrix(), true);
        if ((sample.buttons & kButtonLeft) == 0)
            break;
    }
    GetRenderer().RefreshRenderer();
    pane->SetCursor(kCursorZoomIn);
}

void XTrackBall3DCanvasAttachment::Roll(const XMathVectorF3& inAxis, float inAngle, XRotateBehavoir inBehaviour,
                                        bool inImmediate)
{
    // While spinning, a step waits for the previous one's frame time; the count-down
    // starts with the step, so a slow frame does not push the next step a period later.
    if (IsPeriodicalRunning() && !itsFrameTimer.HasRunOut())
        return;
    itsFrameTimer.Set(kFrameMs);
    XCanvasPaneBase* pane = Get3DCanvasPane();
    X_ASSERT_TEXT(pane != nullptr, "pane != 0");
    const XRendererSceneState state = GetSceneState();
    X3DCamera camera = X3DCamera::MakeFromRendererSceneState(state);
    if (inBehaviour == kRotateCamera) {
        if (X3DCanvasToolMaths::RevolveCamera(camera, inAxis, inAngle))
            WriteState(kSceneStateCamera, camera.GetMatrix(), false);
    } else {
        X3DMatrix rotation = X3DMatrix::UnitMatrix(3);
        X3DCanvasToolMaths::GetRotation(state, rotation);
        X3DMatrix turned;
        if (X3DCanvasToolMaths::RollVolume(rotation, camera, inAxis, inAngle, turned))
            WriteState(kSceneStateRotation, turned, false);
    }
    if (inImmediate)
        GetRenderer().RefreshRendererWithImmediateRedraw();
    else
        GetRenderer().RefreshRenderer();
}

void XTrackBall3DCanvasAttachment::ExecutePeriodicalSelf()
{
    if (itsSpin)
        Roll(itsSpinAxis, itsSpinAngle, itsSpinBehaviour, false);
}

#include "WBallControlHook.h"

#include "WGLWnd.h"
#include "XException.h"
#include "XGLVolumeRenderer.h"

WBallControlHook::WBallControlHook(XGLVolumeRenderer& inRenderer)
    : WBaseHook(inRenderer), itsBall(&inRenderer.GetVolumeScene().GetVolumeTransform()), itsSpinTimer(*this)
{
}

WBallControlHook::~WBallControlHook() { itsSpinTimer.StopPeriodical(); }

void WBallControlHook::StopSpinning() { itsSpinTimer.StopPeriodical(); }

X3DMatrix WBallControlHook::BallPoint(WGLWnd& inWnd, const XPoint& inPoint) const
{
    // The volume node's last drawing maps its own axes to the window, so the ball of
    // radius 1 about its origin gives points whose arc turns it in those axes.
    const XGLMatrix& toScreen = itsRenderer.GetVolumeScene().GetVolumeTransform().GetLastWorldToScreenMatrix();
    const XPoint gl = inWnd.LocalToGLPoint(inPoint);
    try {
        return XBallMaths::GetPointOnBallFromScreenPoint(XGLMatrix(!static_cast<const X3DMatrix&>(toScreen)), gl.x,
                                                         gl.y);
    } catch (const XException&) {
        // Not drawn yet, or drawn flat: no ball to grab, so no turn.
        return X3DMatrix::ColumnVector(0.0, 0.0, 0.0);
    }
}

void WBallControlHook::BeginDrag(WGLWnd& inWnd, const XPoint&)
{
    itsSpinTimer.StopPeriodical();
    itsWnd = &inWnd;
    itsHasStep = false;
}

void WBallControlHook::DragStep(WGLWnd& inWnd, const XPoint& inFrom, const XPoint& inTo)
{
    // Both ends use the matrix of the latest frame, so steps never mix two rotations.
    const X3DMatrix from = BallPoint(inWnd, inFrom);
    const X3DMatrix to = BallPoint(inWnd, inTo);
    itsBall.SetVectors(from, to);
    itsHasStep = true;
    itsLastStepTime = std::chrono::steady_clock::now();
    inWnd.RefreshScene(true);
}

void WBallControlHook::EndDrag(WGLWnd& inWnd, const XPoint&)
{
    if (itsHasStep && std::chrono::steady_clock::now() - itsLastStepTime <= kFlickTime) {
        itsWnd = &inWnd;
        itsSpinTimer.StartPeriodical();
    }
}

void WBallControlHook::Spin()
{
    itsBall.ContinueRoll();
    if (itsWnd)
        itsWnd->RefreshScene(true);
}

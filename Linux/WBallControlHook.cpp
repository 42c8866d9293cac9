#include "WBallControlHook.h"

#include "WGLWnd.h"
#include "XException.h"
#include "XGLVolumeRenderer.h"
#include "XLock.h"

namespace {
// The upper-left 3 × 3 block of a node's rotation, read under the node's lock.
X3DMatrix RotationBlock(const XGLRenderable& inNode)
{
    XLock lock(inNode.GetMutex());
    return static_cast<const X3DMatrix&>(inNode.GetRotation()).GetSubMatrix(0, 0, 3, 3);
}
} // namespace

WBallControlHook::WBallControlHook(XGLVolumeRenderer& inRenderer)
    : WBaseHook(inRenderer), itsBall(&inRenderer.GetVolumeScene().GetVolumeTransform()), itsMonitor(*this)
{
}

WBallControlHook::~WBallControlHook() { itsMonitor.StopPeriodical(); }

double WBallControlHook::GetMonitorPeriod() const
{
    return itsMonitor.IsPeriodicalRunning() ? itsMonitor.GetPeriodicalPeriod() : 0.0;
}

void WBallControlHook::StopSpinning()
{
    if (itsMode == kSpinning)
        SetMode(kIdle);
}

void WBallControlHook::SetMode(XMode inMode)
{
    itsMode = inMode;
    itsMonitor.SetPeriodicalPeriod(inMode == kPolling ? kPollPeriod : inMode == kSpinning ? kSpinPeriod : kIdlePeriod);
    itsMonitor.StartPeriodical();
}

X3DMatrix WBallControlHook::BallPoint(WGLWnd& inWnd, const XPoint& inPoint) const
{
    XGLVolumeScene& scene = itsRenderer.GetVolumeScene();
    const X3DMatrix onBall = itsRenderer.ScreenToBallPoint(inWnd.LocalToGLPoint(inPoint));
    // The ball hangs under transform 3, beside the volume node rather than inside it:
    // its point is carried through the rotations between the two.
    const X3DMatrix ballToVolume = RotationBlock(scene.GetTransform4()) * RotationBlock(scene.GetVolumeTransform());
    try {
        return !ballToVolume * RotationBlock(scene.GetBall()) * onBall;
    } catch (const XException&) {
        // A flattened transform: no axes to turn in, so no turn.
        return X3DMatrix::ZeroMatrix(3, 1);
    }
}

void WBallControlHook::BeginDrag(WGLWnd& inWnd, const XPoint& inPoint)
{
    itsWnd = &inWnd;
    itsPointer = itsPolledPoint = inPoint;
    itsLastPollMoved = false;
    // The ball is shown while it is dragged; drawing it now also gives it the mapping
    // from window points that the first poll needs.
    itsBallWasVisible = itsRenderer.IsBallVisible();
    itsRenderer.ShowBall(true);
    inWnd.RefreshScene(true);
    SetMode(kPolling);
}

void WBallControlHook::DragStep(WGLWnd&, const XPoint&, const XPoint& inTo)
{
    // Only noted here: the monitor turns the volume at its own pace.
    itsPointer = inTo;
}

void WBallControlHook::EndDrag(WGLWnd& inWnd, const XPoint&)
{
    itsRenderer.ShowBall(itsBallWasVisible);
    inWnd.RefreshScene(true);
    SetMode(itsLastPollMoved ? kSpinning : kIdle);
}

void WBallControlHook::Monitor()
{
    switch (itsMode) {
    case kPolling:
        itsLastPollMoved = itsPointer.x != itsPolledPoint.x || itsPointer.y != itsPolledPoint.y;
        if (itsLastPollMoved && itsWnd) {
            // Both points use the ball's latest drawing, so a step never mixes two views.
            itsBall.SetVectors(BallPoint(*itsWnd, itsPolledPoint), BallPoint(*itsWnd, itsPointer));
            itsPolledPoint = itsPointer;
            itsWnd->RefreshScene(true);
        }
        break;
    case kSpinning:
        itsBall.ContinueRoll();
        if (itsWnd)
            itsWnd->RefreshScene(true);
        break;
    case kIdle:
        break;
    }
}

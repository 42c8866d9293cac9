#pragma once
// Turns the volume like a trackball while the left button drags; a drag that ends
// while still moving (a flick) leaves the volume spinning by its last step until the
// next press.
#include "WBaseHook.h"
#include "XBallMaths.h"
#include "XTimerPeriodical.h"
#include "XTime.h"

#include <chrono>

class WBallControlHook : public WBaseHook {
public:
    explicit WBallControlHook(XGLVolumeRenderer& inRenderer);
    ~WBallControlHook() override;

    bool IsSpinning() const { return itsSpinTimer.IsPeriodicalRunning(); }
    void StopSpinning();
    // A flick is a drag whose last step came within this time of the release.
    static constexpr std::chrono::milliseconds kFlickTime{100};

protected:
    void BeginDrag(WGLWnd& inWnd, const XPoint& inPoint) override;
    void DragStep(WGLWnd& inWnd, const XPoint& inFrom, const XPoint& inTo) override;
    void EndDrag(WGLWnd& inWnd, const XPoint& inPoint) override;

private:
    class XSpinTimer : public XTimerPeriodical {
    public:
        explicit XSpinTimer(WBallControlHook& inOwner) : XTimerPeriodical(0.03), itsOwner(inOwner) {}

    protected:
        void ExecutePeriodicalSelf() override { itsOwner.Spin(); }

    private:
        WBallControlHook& itsOwner;
    };

    // The unit vector on the ball under a window point, in the volume's own axes.
    X3DMatrix BallPoint(WGLWnd& inWnd, const XPoint& inPoint) const;
    void Spin();

    XBallMaths itsBall;
    XSpinTimer itsSpinTimer;
    WGLWnd* itsWnd = nullptr;
    bool itsHasStep = false;
    std::chrono::steady_clock::time_point itsLastStepTime;
};

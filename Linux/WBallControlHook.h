#pragma once
// Turns the volume like a trackball while the left button drags. One monitor timer
// does the work: while the button is down it polls the pointer every kPollPeriod and
// turns the volume by the arc between the last polled point and the new one; after a
// release that the last poll saw moving (a flick) it repeats that last turn every
// kSpinPeriod until the next press; otherwise it idles every kIdlePeriod without turning.
// The timer follows the application message centre's clock.
#include "WBaseHook.h"
#include "XBallMaths.h"
#include "XTimerPeriodical.h"

class WBallControlHook : public WBaseHook {
public:
    enum XMode { kIdle, kPolling, kSpinning };
    static constexpr double kPollPeriod = 0.025; // seconds
    static constexpr double kSpinPeriod = 0.01;
    static constexpr double kIdlePeriod = 0.1;

    explicit WBallControlHook(XGLVolumeRenderer& inRenderer);
    ~WBallControlHook() override;

    XMode GetMode() const { return itsMode; }
    bool IsSpinning() const { return itsMode == kSpinning; }
    // Seconds between runs of the monitor; 0 before the first press.
    double GetMonitorPeriod() const;
    void StopSpinning();

protected:
    void BeginDrag(WGLWnd& inWnd, const XPoint& inPoint) override;
    void DragStep(WGLWnd& inWnd, const XPoint& inFrom, const XPoint& inTo) override;
    void EndDrag(WGLWnd& inWnd, const XPoint& inPoint) override;

private:
    class XMonitor : public XTimerPeriodical {
    public:
        explicit XMonitor(WBallControlHook& inOwner) : XTimerPeriodical(kIdlePeriod), itsOwner(inOwner) {}

    protected:
        void ExecutePeriodicalSelf() override { itsOwner.Monitor(); }

    private:
        WBallControlHook& itsOwner;
    };

    // The unit vector on the ball under a window point, in the axes of the volume node
    // that the ball maths turns.
    X3DMatrix BallPoint(WGLWnd& inWnd, const XPoint& inPoint) const;
    void Monitor();
    void SetMode(XMode inMode);

    XBallMaths itsBall;
    XMonitor itsMonitor;
    XMode itsMode = kIdle;
    WGLWnd* itsWnd = nullptr;
    XPoint itsPointer;     // where the pointer is now, as the last event gave it
    XPoint itsPolledPoint; // where it was at the last poll
    bool itsLastPollMoved = false;
    bool itsBallWasVisible = false;
};

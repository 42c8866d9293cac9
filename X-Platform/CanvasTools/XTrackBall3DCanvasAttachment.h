#pragma once
// The trackball of the 3D views: a drag turns the volume (or swings the camera about
// the origin) the way the mouse moves over a ball centred in the canvas, or, for the
// dolly tool and with modifier bit 0, moves the camera nearer or further. Released
// while still moving, the last turn keeps repeating every 0.02 s until the next press
// on this trackball or on one of its siblings (the trackballs of the other panes).
#include "X3DRendererToolBase.h"
#include "XMathVector.h"
#include "XPtrVector.h"
#include "XTimer.h"
#include "XTimerPeriodical.h"

class XTrackBall3DCanvasAttachment : public X3DRendererToolBase, public XTimerPeriodical {
public:
    // The name keeps the host interface's spelling.
    enum XRotateBehavoir : uint32_t { kRotateDolly = 0, kRotateCamera = 1, kRotateVolume = 2 };
    static constexpr double kSpinPeriodSeconds = 0.02;
    static constexpr int64_t kFrameMs = 20;
    // A release this soon after the last movement is a flick.
    static constexpr int64_t kFlickMs = 150;

    XTrackBall3DCanvasAttachment(X3DBaseRenderer& inRenderer, XRotateBehavoir inBehaviour);
    ~XTrackBall3DCanvasAttachment() override;

    XRotateBehavoir GetRotateBehaviour() const { return itsBehaviour; }
    // The ball point under a canvas point.
    XMathVectorF3 LocalToBallPoint(const XPoint& inPoint) const;
    // One turn by inAngle about inAxis (the camera's own axes) of the volume or, for
    // kRotateCamera, of the camera about the origin.
    void Roll(const XMathVectorF3& inAxis, float inAngle, XRotateBehavoir inBehaviour, bool inImmediate);
    void SetSiblingTrackballs(const XPtrVector<XTrackBall3DCanvasAttachment>& inSiblings) { itsSiblings = inSiblings; }
    bool IsSpinning() const { return IsPeriodicalRunning(); }
    void StopSpin();

    XEventResult HandleMouseEvent(XMouseEvent inEvent, const XPoint& inPoint, uint32_t inFlags) override;
    XEventResult HandleSetCursor(const XPoint& inPoint, uint32_t inFlags) override;

protected:
    void ExecutePeriodicalSelf() override;

private:
    bool IsDolly(uint32_t inFlags) const { return itsBehaviour == kRotateDolly || (inFlags & 1u) != 0; }
    void DragRotate(const XPoint& inStart, uint32_t inFlags);
    void DragDolly(const XPoint& inStart);

    XRotateBehavoir itsBehaviour;
    bool itsSpin = false;
    XMathVectorF3 itsSpinAxis;
    float itsSpinAngle = 0.0f;
    XRotateBehavoir itsSpinBehaviour;
    XPtrVector<XTrackBall3DCanvasAttachment> itsSiblings;
    XTimer itsFrameTimer;
};

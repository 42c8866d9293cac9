#pragma once
// The trackball of the legacy view: the tick ball in white, shown while the user turns
// the scene. Each time it is drawn it remembers how window points map back into its
// own frame, so a mouse position can be turned into a point on the ball.
#include "X3DMatrix.h"
#include "XGLMatrix.h"
#include "XGLTickBall.h"
#include "XPoint.h"

class XGLInteractiveBall : public XGLTickBall {
public:
    XGLInteractiveBall();
    XGLInteractiveBall(const XGLInteractiveBall& inOther);
    XGLInteractiveBall& operator=(const XGLInteractiveBall& inOther);

    // The unit vector (3 × 1) on the ball under a point in GL window coordinates
    // (origin at the bottom left, as XGLContext::LocalToGLPoint gives), as seen when
    // the ball was last drawn. A point beside the ball maps to the ball's rim; a
    // degenerate mapping gives the zero vector, which turns nothing.
    X3DMatrix GetPointOnBallFromScreenPoint(const XPoint& inPoint) const;
    // The screen-to-world matrix stored at the last drawing (identity before).
    XGLMatrix GetStoredScreenToWorldMatrix() const;

protected:
    void RenderSelf(XGLRenderable& inFrom) override;

private:
    void AttachColour();

    XGLMatrix itsScreenToWorld;
};

#pragma once
// Virtual-trackball rotation of one renderable: the arc between two unit vectors on
// the ball (where a drag step started and where it ended) turns the renderable's
// rotation in its own axes, and the last turn can be repeated to keep it spinning.
#include "X3DMatrix.h"
#include "XGLMatrix.h"
#include "XGLRenderable.h"

class XBallMaths {
public:
    // The renderable is not owned; it may stay null until a roll is applied.
    explicit XBallMaths(XGLRenderable* inRenderable = nullptr);
    XBallMaths(const XBallMaths&) = default;
    XBallMaths& operator=(const XBallMaths&) = default;

    void SetRenderable(XGLRenderable* inRenderable) { itsRenderable = inRenderable; }
    XGLRenderable* GetRenderable() const { return itsRenderable; }

    // One drag step: two 3-element column vectors (normalised here). Turns the
    // renderable by the arc from inStart to inEnd and keeps that turn for ContinueRoll.
    void SetVectors(const X3DMatrix& inStart, const X3DMatrix& inEnd);
    // Applies the stored turn once more.
    void ContinueRoll();

    // The unit vector on the ball of radius 1 at the origin under window point
    // (inX, inY) (GL window coordinates), for the screen-to-world matrix of the
    // ball's last drawing: where the view ray first meets the ball, or the ray's
    // point nearest the ball's centre when it misses. The zero vector when the ray
    // cannot be made (a degenerate matrix).
    static X3DMatrix GetPointOnBallFromScreenPoint(const XGLMatrix& inScreenToWorld, double inX, double inY);

private:
    void SetRollAxisAndAngleFromPoints();
    void SetRollToNull();
    XGLMatrix GetRollMatrix() const;
    float GetRollAngle() const { return itsRollAngle; }
    const X3DMatrix& GetRollAxis() const { return itsRollAxis; }
    // The renderable's rotation matrix; the caller holds the renderable's lock.
    XGLMatrix& GetObjectsRotationMatrix() const { return itsRenderable->GetRotation(); }

    X3DMatrix itsRollAxis;
    float itsRollAngle = 0.0f;
    X3DMatrix itsStartVector;
    X3DMatrix itsEndVector;
    XGLRenderable* itsRenderable = nullptr;
};

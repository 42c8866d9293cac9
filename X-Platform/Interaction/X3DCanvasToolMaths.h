#pragma once
// The arithmetic of the 3D canvas tools, apart from the panes and renderers they work
// on: the ball under a pane point, the turn between two ball points, the volume
// rotation and camera revolve a turn makes, the dolly step, the light's move rule, and
// the scene-state values the tools read, taken only when they have the shape and
// finite numbers the tools need.
#include "X3DCamera.h"
#include "X3DMatrix.h"
#include "XMathVector.h"
#include "XPoint.h"
#include "XRendererSceneState.h"

#include <cstdint>

class X3DCanvasToolMaths {
public:
    // Dolly: metres of camera travel per pixel far from the origin.
    static constexpr double kDollyPerPixel = 0.05;
    // The camera keeps at least this distance from the origin however large a step.
    static constexpr double kMinCameraDistance = 0.01;
    // Light move: distance per pixel, at most kMaxLightStep per step, and the light
    // stays strictly inside kMaxLightDistance and outside kMinLightDistance (the
    // marker and the lighting need a direction from the origin).
    static constexpr double kLightStepPerPixel = 0.02;
    static constexpr double kMaxLightStep = 1.0;
    static constexpr double kMaxLightDistance = 5.0;
    static constexpr double kMinLightDistance = 0.01;
    // Pan: the pick ray's clipping planes, and how far short of the camera's distance
    // the grabbed point lies.
    static constexpr float kPanNear = 0.1f;
    static constexpr float kPanFar = 1000.0f;
    static constexpr float kPanGrabInset = 0.1f;

    // The unit vector on the ball centred in a pane of inWidth x inHeight pixels, of
    // radius min(width, height) / 2. Pixel y grows downwards and so does the ball's y.
    static XMathVectorF3 LocalToBallPoint(const XPoint& inPoint, int32_t inWidth, int32_t inHeight);
    // The turn from ball point p0 to p1 as a unit axis in the camera's own axes (x
    // right, y up, z backward) and an angle. False when the points give no axis
    // (equal, opposite or not finite): such a step turns nothing.
    static bool GetViewArc(const XMathVectorF3& inP0, const XMathVectorF3& inP1, XMathVectorF3& outAxis, float& outAngle);
    // A view axis carried into the space of the scene's root, where the volume
    // rotation and the light position live (the root mirrors z).
    static XMathVectorF3 ViewAxisToScene(const XMathVectorF3& inAxis, const X3DCamera& inCamera);

    // The volume rotation (3 x 3) after turning inRotation by inAngle about inViewAxis
    // as the camera sees it; false when the result is not a rotation.
    static bool RollVolume(const X3DMatrix& inRotation, const X3DCamera& inCamera, const XMathVectorF3& inViewAxis,
                           float inAngle, X3DMatrix& outRotation);
    // The camera swung about the origin so that the scene appears turned by inAngle
    // about inViewAxis; false (camera unchanged) when the result is not usable.
    static bool RevolveCamera(X3DCamera& inOutCamera, const XMathVectorF3& inViewAxis, float inAngle);

    // The dolly step for a vertical mouse motion inDY at camera distance inDistance:
    // inDY x 0.05 / (1 + e^(4 - d)), a step forward for a downward motion.
    static double GetDollyStep(int32_t inDY, double inDistance);
    // Moves the camera by the dolly step of inDY; false (unchanged) when nothing moved.
    // A step never carries the camera past the origin.
    static bool DollyCamera(X3DCamera& inOutCamera, int32_t inDY);

    // The light moved along its own direction by the step of inDY; false when the
    // move is refused (out of the allowed shell, crossing the origin, not finite).
    static bool MoveLight(const XMathVectorF3& inLight, int32_t inDY, XMathVectorF3& outLight);
    // No NaN or infinite component, and not at the origin (within kMinLightDistance).
    static bool IsLightPositionValid(const XMathVectorF3& inLight);

    // The point the pan tool grabs under a pane point, for a camera given the pane's
    // viewport: on the pick ray at the camera's distance from the origin less
    // kPanGrabInset. False when the ray cannot be made.
    static bool GetGrabbedPoint(const X3DCamera& inCamera, const XPoint& inPoint, XMathVectorF3& outPoint);

    // Scene-state values as the tools read them; false when absent, disabled, of the
    // wrong shape or not finite.
    static bool GetRotation(const XRendererSceneState& inState, X3DMatrix& outRotation);
    static bool GetVector(const XRendererSceneState& inState, XRendererStateName inName, XMathVectorF3& outVector);
    static X3DMatrix MakeVectorValue(const XMathVectorF3& inVector);
};

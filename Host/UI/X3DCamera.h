#pragma once
// The camera of the scene-graph views: a position and an orientation (the
// rotation from the camera's own axes to the world; the camera looks along its
// own -z with +y up, as the camera scene state stores it), the viewport it draws
// into (which also holds the near and far clipping distances), a field of view
// and an optional stereo eye. View and projection are row-vector matrices.
#include "X3DMatrix.h"
#include "X3DViewport.h"
#include "XFrustum.h"
#include "XMathVector.h"
#include "XMatrix_4x4.h"
#include "XQuaternion.h"

#include <cstdint>

class XRendererSceneState;

class X3DCamera {
public:
    enum XStereoPass : uint32_t { kStereoNone = 0, kStereoLeft = 1, kStereoRight = 2 };
    static constexpr float kDefaultFieldOfView = 0.7f; // radians, across the narrower side
    // Half the distance between the two eyes of a stereo pair, in scene units.
    static constexpr float kStereoHalfSeparation = 0.02f;

    // At (0, 0, 2) looking at the origin, up (0, 1, 0).
    X3DCamera();

    // The camera stored as state 0 of channel 0; the default camera when the state
    // is absent, not 4 x 4 or not a finite transform. A slightly drifted rotation
    // part is orthonormalised.
    static X3DCamera MakeFromRendererSceneState(const XRendererSceneState& inState);
    // The same from a 4 x 4 camera-to-world value; false (camera unchanged) when unusable.
    bool SetFromMatrix(const X3DMatrix& inCameraToWorld);
    // The camera-to-world transform as the camera scene state stores it (column
    // vectors: columns 0-2 right, up and backward axes, column 3 the position).
    X3DMatrix GetMatrix() const;

    // Places the camera at inEye looking at inTarget with inUp as near to up as
    // the view allows. A degenerate set-up (eye on the target, up along the view)
    // keeps the orientation and only moves the eye.
    void LookAt(const XMathVectorF3& inEye, const XMathVectorF3& inTarget, const XMathVectorF3& inUp);
    // Swings the camera by inRadians (right-handed) about the line through inPoint
    // along inAxis, given in the camera's own axes (x right, y up, z backward);
    // the camera turns with it, so a point it looks at stays in view.
    void Revolve(const XMathVectorF3& inPoint, const XMathVectorF3& inAxis, float inRadians);
    // Moves the camera by inOffset given in its own axes ((0, 0, -d) is d forward).
    void Translate(const XMathVectorF3& inOffset);
    void SetPosition(const XMathVectorF3& inPosition) { itsPosition = inPosition; }
    const XMathVectorF3& GetPosition() const { return itsPosition; }
    void SetOrientation(const XQuaternion& inOrientation) { itsOrientation = inOrientation.GetNormalised(); }
    const XQuaternion& GetOrientation() const { return itsOrientation; }

    // Unit world direction of the view.
    XMathVectorF3 GetLookVector() const;
    XMathVectorF3 GetUpVector() const;
    XMathVectorF3 GetRightVector() const;

    void SetViewport(const X3DViewport& inViewport) { itsViewport = inViewport; }
    const X3DViewport& GetViewport() const { return itsViewport; }
    float GetNear() const { return itsViewport.GetNear(); }
    float GetFar() const { return itsViewport.GetFar(); }
    void SetNearFar(float inNear, float inFar)
    {
        itsViewport.SetNear(inNear);
        itsViewport.SetFar(inFar);
    }
    float GetFieldOfView() const { return itsFieldOfView; }
    void SetFieldOfView(float inRadians) { itsFieldOfView = inRadians; }

    // Left and right eyes sit kStereoHalfSeparation to either side and turn in to
    // meet on the view axis at the origin's distance. Only the view matrix depends on it.
    void SetStereoPass(uint32_t inPass) { itsStereoPass = inPass; }
    uint32_t GetStereoPass() const { return itsStereoPass; }

    XMatrix_4x4<float> GetViewMatrix() const;
    XMatrix_4x4<float> GetProjectionMatrix() const;
    // The view volume in world space.
    XFrustum GetViewFrustum() const;

    bool operator==(const X3DCamera& inOther) const = default;

private:
    // Signed sideways offset of the current eye: -h, 0 or +h.
    float GetStereoOffset() const;

    XMathVectorF3 itsPosition;
    XQuaternion itsOrientation;
    X3DViewport itsViewport;
    float itsFieldOfView = kDefaultFieldOfView;
    uint32_t itsStereoPass = kStereoNone;
};

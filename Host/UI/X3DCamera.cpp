#include "X3DCamera.h"

#include "XRendererSceneState.h"

#include <algorithm>
#include <cmath>

X3DCamera::X3DCamera() : itsPosition(0.0f, 0.0f, 2.0f) {}

X3DCamera X3DCamera::MakeFromRendererSceneState(const XRendererSceneState& inState)
{
    X3DCamera camera;
    X3DMatrix value;
    if (inState.GetState(kSceneStateCamera, 0, value))
        camera.SetFromMatrix(value);
    return camera;
}

bool X3DCamera::SetFromMatrix(const X3DMatrix& inCameraToWorld)
{
    if (!inCameraToWorld.IsSquare(4))
        return false;
    for (size_t r = 0; r < 4; ++r)
        for (size_t c = 0; c < 4; ++c)
            if (!std::isfinite(inCameraToWorld(r, c)))
                return false;
    X3DMatrix rotation = inCameraToWorld.GetSubMatrix(0, 0, 3, 3);
    // A stored value may have drifted from a rotation; a collapsed or mirrored one is refused.
    const X3DMatrix& m = rotation;
    const double determinant = m(0, 0) * (m(1, 1) * m(2, 2) - m(1, 2) * m(2, 1)) -
                               m(0, 1) * (m(1, 0) * m(2, 2) - m(1, 2) * m(2, 0)) +
                               m(0, 2) * (m(1, 0) * m(2, 1) - m(1, 1) * m(2, 0));
    if (!(determinant > 1e-6))
        return false;
    rotation.OrthoNormalise();
    itsOrientation = XQuaternion::MakeFromRotationMatrix(rotation);
    itsPosition = XMathVectorF3(float(inCameraToWorld(0, 3)), float(inCameraToWorld(1, 3)), float(inCameraToWorld(2, 3)));
    return true;
}

X3DMatrix X3DCamera::GetMatrix() const
{
    X3DMatrix m = itsOrientation.ToX3DMatrix(4);
    for (size_t r = 0; r < 3; ++r)
        m(r, 3) = itsPosition[r];
    return m;
}

void X3DCamera::LookAt(const XMathVectorF3& inEye, const XMathVectorF3& inTarget, const XMathVectorF3& inUp)
{
    itsPosition = inEye;
    XMathVectorF3 back = inEye - inTarget;
    XMathVectorF3 right = inUp.Cross(back);
    if (!(back.GetLengthSquared() > 0.0f) || !(right.GetLengthSquared() > 0.0f) || !back.IsFinite() || !right.IsFinite())
        return;
    back.Normalise();
    right.Normalise();
    const XMathVectorF3 up = back.Cross(right);
    X3DMatrix rotation(3, 3);
    const XMathVectorF3* axes[3] = {&right, &up, &back};
    for (size_t c = 0; c < 3; ++c)
        for (size_t r = 0; r < 3; ++r)
            rotation(r, c) = (*axes[c])[r];
    itsOrientation = XQuaternion::MakeFromRotationMatrix(rotation);
}

void X3DCamera::Revolve(const XMathVectorF3& inPoint, const XMathVectorF3& inAxis, float inRadians)
{
    const XMathVectorF3 worldAxis = itsOrientation.Rotate(inAxis);
    const XQuaternion turn = XQuaternion::MakeFromAxisAngle(worldAxis, inRadians);
    itsPosition = turn.Rotate(itsPosition - inPoint) + inPoint;
    itsOrientation = (turn * itsOrientation).GetNormalised();
}

void X3DCamera::Translate(const XMathVectorF3& inOffset)
{
    itsPosition += itsOrientation.Rotate(inOffset);
}

XMathVectorF3 X3DCamera::GetLookVector() const
{
    return itsOrientation.Rotate(XMathVectorF3(0.0f, 0.0f, -1.0f));
}

XMathVectorF3 X3DCamera::GetUpVector() const
{
    return itsOrientation.Rotate(XMathVectorF3(0.0f, 1.0f, 0.0f));
}

XMathVectorF3 X3DCamera::GetRightVector() const
{
    return itsOrientation.Rotate(XMathVectorF3(1.0f, 0.0f, 0.0f));
}

float X3DCamera::GetStereoOffset() const
{
    switch (itsStereoPass) {
    case kStereoLeft: return -kStereoHalfSeparation;
    case kStereoRight: return kStereoHalfSeparation;
    default: return 0.0f;
    }
}

XMatrix_4x4<float> X3DCamera::GetViewMatrix() const
{
    const XMathVectorF3 right = GetRightVector();
    const XMathVectorF3 up = GetUpVector();
    const float offset = GetStereoOffset();
    if (offset == 0.0f)
        return XMatrix_4x4<float>::MakeView(itsPosition, right, up, itsOrientation.Rotate(XMathVectorF3(0.0f, 0.0f, 1.0f)));
    // A stereo eye steps sideways and turns in towards the point of the view axis
    // level with the origin, where both eyes then agree (zero parallax). Only the
    // view changes, so a frame may set the projection once for both eyes.
    const float distance = std::max(itsPosition.GetLength(), 10.0f * itsViewport.GetNear());
    const XMathVectorF3 target = itsPosition + GetLookVector() * distance;
    return XMatrix_4x4<float>::MakeLookAt(itsPosition + right * offset, target, up);
}

XMatrix_4x4<float> X3DCamera::GetProjectionMatrix() const
{
    const float nearDistance = itsViewport.GetNear();
    const float farDistance = itsViewport.GetFar();
    const float aspect = itsViewport.GetAspect();
    // The field of view spans the narrower side, so turning a pane on its side keeps the scene's size.
    const float k = std::tan(0.5f * itsFieldOfView) * nearDistance;
    const float halfWidth = aspect >= 1.0f ? k * aspect : k;
    const float halfHeight = aspect >= 1.0f ? k : k / aspect;
    return XMatrix_4x4<float>::MakeFrustum(-halfWidth, halfWidth, -halfHeight, halfHeight,
        nearDistance, farDistance);
}

XFrustum X3DCamera::GetViewFrustum() const
{
    return XFrustum::MakeFromSpacialTransform(GetViewMatrix() * GetProjectionMatrix());
}

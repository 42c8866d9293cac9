#include "XCamera.h"

#include "XQuaternion.h"

#include <numbers>

XCamera::XCamera() : itsEye(0.0f, 0.0f, 7.5f), itsLookAt(0.0f, 0.0f, 0.0f), itsUp(0.0f, 1.0f, 0.0f) {}

XCamera::XCamera(const XMathVectorF3& inEye, const XMathVectorF3& inLookAt, const XMathVectorF3& inUp)
    : itsEye(inEye), itsLookAt(inLookAt), itsUp(inUp)
{
}

XMathVectorF3 XCamera::GetForward() const
{
    XMathVectorF3 forward = itsLookAt - itsEye;
    if (!(forward.GetLengthSquared() > 0.0f))
        return XMathVectorF3(0.0f, 0.0f, -1.0f);
    forward.Normalise();
    return forward;
}

XMathVectorF3 XCamera::GetRight() const
{
    return GetForward().Cross(itsUp).GetNormalised();
}

void XCamera::Strafe(float inDistance)
{
    const XMathVectorF3 offset = GetRight() * inDistance;
    itsEye += offset;
    itsLookAt += offset;
}

void XCamera::Move(float inDistance)
{
    const XMathVectorF3 offset = GetForward() * inDistance;
    itsEye += offset;
    itsLookAt += offset;
}

void XCamera::RotateAroundPoint(const XMathVectorF3& inPoint, float inDegrees, const XMathVectorF3& inAxis)
{
    const XQuaternion turn = XQuaternion::MakeFromAxisAngle(inAxis, double(inDegrees) * std::numbers::pi / 180.0);
    itsEye = turn.Rotate(itsEye - inPoint) + inPoint;
    itsLookAt = turn.Rotate(itsLookAt - inPoint) + inPoint;
    itsUp = turn.Rotate(itsUp);
}

bool operator==(const XCamera& a, const XCamera& b)
{
    return a.GetEye() == b.GetEye() && a.GetLookAt() == b.GetLookAt() && a.GetUp() == b.GetUp();
}

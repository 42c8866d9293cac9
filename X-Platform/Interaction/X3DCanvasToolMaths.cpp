#include "X3DCanvasToolMaths.h"
#include "X3DViewport.h"
#include "XException.h"
#include "XQuaternion.h"

#include <algorithm>
#include <cmath>

namespace {
// Below this the two ball points are (anti)parallel: the cross product is rounding noise.
constexpr double kMinAxisLength = 1e-9;

bool IsFinite(const XMathVectorF3& inVector)
{
    return std::isfinite(inVector[0]) && std::isfinite(inVector[1]) && std::isfinite(inVector[2]);
}

bool IsFinite(const X3DMatrix& inMatrix)
{
    const double* p = inMatrix.GetData();
    return std::all_of(p, p + inMatrix.GetRows() * inMatrix.GetColumns(), [](double v) { return std::isfinite(v); });
}
} // namespace

XMathVectorF3 X3DCanvasToolMaths::LocalToBallPoint(const XPoint& inPoint, int32_t inWidth, int32_t inHeight)
{
    const double r = std::max(1, std::min(inWidth, inHeight));
    const double x = inPoint.x / (r / 2.0) - inWidth / r;
    const double y = inPoint.y / (r / 2.0) - inHeight / r;
    const double zz = 1.0 - x * x - y * y;
    const double z = zz > 0.0 ? std::sqrt(zz) : 0.0;
    const double length = std::sqrt(x * x + y * y + z * z);
    return XMathVectorF3(float(x / length), float(y / length), float(z / length));
}

bool X3DCanvasToolMaths::GetViewArc(const XMathVectorF3& inP0, const XMathVectorF3& inP1, XMathVectorF3& outAxis,
                                    float& outAngle)
{
    // Ball points have y downwards like the pixels; the camera's y is upwards. Turning
    // them up first keeps the turn going the way the mouse went (the bare cross product
    // of the downward points would turn vertical drags against the mouse).
    const XMathVectorD3 p0(inP0[0], -inP0[1], inP0[2]);
    const XMathVectorD3 p1(inP1[0], -inP1[1], inP1[2]);
    const XMathVectorD3 axis = p0.Cross(p1);
    const double length = axis.GetLength();
    const double cosine = p0.Dot(p1) / (p0.GetLength() * p1.GetLength());
    if (!std::isfinite(length) || !std::isfinite(cosine) || !(length > kMinAxisLength))
        return false;
    outAxis = XMathVectorF3(float(axis[0] / length), float(axis[1] / length), float(axis[2] / length));
    // Rounding can push the cosine of unit vectors just past 1, where arccos is NaN.
    outAngle = float(std::acos(std::clamp(cosine, -1.0, 1.0)));
    return true;
}

XMathVectorF3 X3DCanvasToolMaths::ViewAxisToScene(const XMathVectorF3& inAxis, const X3DCamera& inCamera)
{
    const X3DMatrix world = inCamera.GetMatrix().GetSubMatrix(0, 0, 3, 3) * X3DMatrix::ColumnVector(inAxis[0], inAxis[1], inAxis[2]);
    return XMathVectorF3(float(world(0, 0)), float(world(1, 0)), float(-world(2, 0)));
}

bool X3DCanvasToolMaths::RollVolume(const X3DMatrix& inRotation, const X3DCamera& inCamera, const XMathVectorF3& inViewAxis,
                                    float inAngle, X3DMatrix& outRotation)
{
    XQuaternion q = XQuaternion::kIdentity;
    if (inRotation.GetRows() >= 3 && inRotation.GetColumns() >= 3 && IsFinite(inRotation))
        q = XQuaternion::MakeFromRotationMatrix(inRotation);
    q = XQuaternion::MakeFromAxisAngle(ViewAxisToScene(inViewAxis, inCamera), -double(inAngle)) * q;
    if (!q.IsValid())
        return false;
    q.Normalise();
    outRotation = q.ToX3DMatrix(3);
    return IsFinite(outRotation);
}

bool X3DCanvasToolMaths::RevolveCamera(X3DCamera& inOutCamera, const XMathVectorF3& inViewAxis, float inAngle)
{
    X3DCamera camera = inOutCamera;
    camera.Revolve(XMathVectorF3(0, 0, 0), inViewAxis, -inAngle);
    const double length = camera.GetPosition().GetLength();
    if (!camera.GetOrientation().IsValid() || !std::isfinite(length))
        return false;
    inOutCamera = camera;
    return true;
}

double X3DCanvasToolMaths::GetDollyStep(int32_t inDY, double inDistance)
{
    return inDY * kDollyPerPixel / (1.0 + std::exp(4.0 - inDistance));
}

bool X3DCanvasToolMaths::DollyCamera(X3DCamera& inOutCamera, int32_t inDY)
{
    const double distance = inOutCamera.GetPosition().GetLength();
    if (inDY == 0 || !std::isfinite(distance))
        return false;
    // However far a step would go, the camera stops short of the origin.
    const double step = std::min(GetDollyStep(inDY, distance), distance - kMinCameraDistance);
    if (!(step != 0.0))
        return false;
    X3DCamera camera = inOutCamera;
    camera.Translate(XMathVectorF3(0, 0, float(-step)));
    const double moved = camera.GetPosition().GetLength();
    if (!(moved > 0.0) || !std::isfinite(moved))
        return false;
    inOutCamera = camera;
    return true;
}

bool X3DCanvasToolMaths::IsLightPositionValid(const XMathVectorF3& inLight)
{
    return IsFinite(inLight) && inLight.GetLength() >= float(kMinLightDistance);
}

bool X3DCanvasToolMaths::MoveLight(const XMathVectorF3& inLight, int32_t inDY, XMathVectorF3& outLight)
{
    if (inDY == 0 || !IsLightPositionValid(inLight))
        return false;
    const XMathVectorD3 light(inLight[0], inLight[1], inLight[2]);
    const double length = light.GetLength();
    const double step = std::clamp(inDY * kLightStepPerPixel, -kMaxLightStep, kMaxLightStep);
    const XMathVectorD3 moved = light + light * (step / length);
    const double movedLength = moved.GetLength();
    // A step inwards larger than the distance would put the light behind the origin.
    if (!(movedLength < kMaxLightDistance) || !(movedLength >= kMinLightDistance) || moved.Dot(light) <= 0.0)
        return false;
    outLight = XMathVectorF3(float(moved[0]), float(moved[1]), float(moved[2]));
    return IsLightPositionValid(outLight) && outLight.GetLength() < float(kMaxLightDistance);
}

bool X3DCanvasToolMaths::GetGrabbedPoint(const X3DCamera& inCamera, const XPoint& inPoint, XMathVectorF3& outPoint)
{
    X3DCamera camera = inCamera;
    camera.SetNearFar(kPanNear, kPanFar);
    const X3DViewport& viewport = camera.GetViewport();
    // Window y counts upwards from the viewport's bottom.
    const float x = float(inPoint.x) + 0.5f;
    const float y = float(viewport.GetY() + viewport.GetHeight()) - (float(inPoint.y) + 0.5f);
    try {
        const XMatrix_4x4<float> viewProjection = camera.GetViewMatrix() * camera.GetProjectionMatrix();
        const XMathVectorF3 nearPoint = viewport.Unproject(XMathVectorF3(x, y, 0.0f), viewProjection);
        const XMathVectorF3 farPoint = viewport.Unproject(XMathVectorF3(x, y, 1.0f), viewProjection);
        XMathVectorF3 ray = farPoint - nearPoint;
        const float rayLength = ray.GetLength();
        if (!(rayLength > 0.0f) || !std::isfinite(rayLength))
            return false;
        ray /= rayLength;
        const float distance = camera.GetPosition().GetLength() - kPanGrabInset;
        outPoint = nearPoint + ray * distance;
        return IsFinite(outPoint);
    } catch (const XException&) {
        return false;
    }
}

bool X3DCanvasToolMaths::GetRotation(const XRendererSceneState& inState, X3DMatrix& outRotation)
{
    if (!inState.HasStateAndEnabled(kSceneStateRotation))
        return false;
    const X3DMatrix& value = inState.GetState(kSceneStateRotation);
    if (value.GetRows() < 3 || value.GetColumns() < 3 || !IsFinite(value))
        return false;
    outRotation = value.GetSubMatrix(0, 0, 3, 3);
    return true;
}

bool X3DCanvasToolMaths::GetVector(const XRendererSceneState& inState, XRendererStateName inName, XMathVectorF3& outVector)
{
    if (!inState.HasStateAndEnabled(inName))
        return false;
    const X3DMatrix& value = inState.GetState(inName);
    if (value.GetColumns() != 1 || value.GetRows() < 3 || !IsFinite(value))
        return false;
    const XMathVectorF3 v(float(value(0, 0)), float(value(1, 0)), float(value(2, 0)));
    if (!IsFinite(v))
        return false;
    outVector = v;
    return true;
}

X3DMatrix X3DCanvasToolMaths::MakeVectorValue(const XMathVectorF3& inVector)
{
    return X3DMatrix::ColumnVector(inVector[0], inVector[1], inVector[2]);
}

#include "XRenderer.h"

#include "XQuaternion.h"

#include <algorithm>
#include <cmath>

namespace {
bool IsFinite(const X3DMatrix& inValue)
{
    const double* data = inValue.GetData();
    for (size_t i = 0, n = inValue.GetRows() * inValue.GetColumns(); i < n; ++i)
        if (!std::isfinite(data[i]))
            return false;
    return true;
}

// A proper rotation: orthonormal columns within a tolerance that forgives values
// written as floats or built up over many small steps, and determinant +1.
bool IsRotation(const X3DMatrix& inRotation)
{
    if (!inRotation.IsSquare(3) || !IsFinite(inRotation))
        return false;
    const X3DMatrix product = inRotation.GetTranspose() * inRotation;
    if (!product.IsNearlyEqual(X3DMatrix::UnitMatrix(3), 1e-3))
        return false;
    const X3DMatrix& r = inRotation;
    const double det = r(0, 0) * (r(1, 1) * r(2, 2) - r(1, 2) * r(2, 1)) -
                       r(0, 1) * (r(1, 0) * r(2, 2) - r(1, 2) * r(2, 0)) +
                       r(0, 2) * (r(1, 0) * r(2, 1) - r(1, 1) * r(2, 0));
    return det > 0.0;
}

// Spherical interpolation of two rotations along the shorter arc. The result is
// re-orthonormalised so that rounding never lets it drift from a rotation.
X3DMatrix SlerpRotation(const X3DMatrix& inFrom, const X3DMatrix& inTo, double inTime)
{
    XQuaternion from = XQuaternion::MakeFromRotationMatrix(inFrom);
    XQuaternion to = XQuaternion::MakeFromRotationMatrix(inTo);
    X3DMatrix result = XQuaternion::Slerp(from, to, inTime).ToX3DMatrix(3);
    result.OrthoNormalise();
    return result;
}

X3DMatrix MakeVector(double inX, double inY, double inZ)
{
    return X3DMatrix::ColumnVector(inX, inY, inZ);
}
} // namespace

XRendererSceneState XRenderer::GetSceneState() const
{
    std::lock_guard lock(itsSceneStateMutex);
    return itsSceneState;
}

void XRenderer::SetSceneState(const XRendererSceneState& inState)
{
    {
        std::lock_guard lock(itsSceneStateMutex);
        itsSceneState.Merge(inState);
    }
    SetSceneStateSelf(inState);
}

X3DMatrix XRenderer::GetSceneStateValue(XRendererStateName inName, uint32_t inChannel) const
{
    {
        std::lock_guard lock(itsSceneStateMutex);
        if (itsSceneState.HasStateAndEnabled(inName, inChannel))
            return itsSceneState.GetState(inName, inChannel);
    }
    return GetDefaultSceneStateValue(inName, inChannel);
}

X3DMatrix XRenderer::GetDefaultSceneStateValue(XRendererStateName inName, uint32_t inChannel) const
{
    return GetDefaultSceneStateValueSelf(inName, inChannel);
}

X3DMatrix XRenderer::GetStateValueAtTime(XRendererStateName inName, uint32_t inChannel,
                                         const XRendererSceneState& inFrom, const XRendererSceneState& inTo,
                                         float inTime) const
{
    const bool inFromScene = inFrom.HasStateAndEnabled(inName, inChannel);
    const bool inToScene = inTo.HasStateAndEnabled(inName, inChannel);
    if (inFromScene && !inToScene)
        return inFrom.GetState(inName, inChannel);
    if (!inFromScene && inToScene)
        return inTo.GetState(inName, inChannel);
    if (!inFromScene && !inToScene)
        return GetDefaultSceneStateValue(inName, inChannel);
    const float time = std::isnan(inTime) ? 0.0f : std::clamp(inTime, 0.0f, 1.0f);
    return GetStateValueAtTimeSelf(inName, inChannel, inFrom, inTo, time);
}

void XRenderer::SetSceneStateSelf(const XRendererSceneState&) {}

bool XRenderer::IsSceneStateSupportedSelf(XRendererStateName) const
{
    return false;
}

X3DMatrix XRenderer::GetDefaultSceneStateValueSelf(XRendererStateName inName, uint32_t) const
{
    switch (inName) {
    case kSceneStateCamera:
        return MakeCameraStateValue(MakeVector(0, 0, 2), MakeVector(0, 0, 0), MakeVector(0, 1, 0));
    case kSceneStateRotation:
        return X3DMatrix::UnitMatrix(3);
    case kSceneStateVolumePosition:
        return MakeVector(0, 0, 0);
    case kSceneStateLightPosition:
        return MakeVector(1, 1, 2);
    case kSceneStateFloorColour:
        return MakeColourStateValue(XARGB32Colour(255, 128, 128, 128));
    case kSceneStateFloorHeight:
        return MakeScalarStateValue(-0.75);
    case kSceneStateBackgroundColour:
        return MakeColourStateValue(XARGB32Colour::kBlack);
    case kSceneStateOverlayColour:
    case kSceneStateTimestampColour:
    case kSceneStateCalibrationLineColour:
        return MakeColourStateValue(XARGB32Colour::kWhite);
    case kSceneStateCrossHairsColour:
        return MakeColourStateValue(XARGB32Colour(255, 255, 255, 0));
    case kSceneStateSpotColour:
        return MakeColourStateValue(XARGB32Colour::kRed);
    case kSceneStateBleachingLimitsColour:
        return MakeColourStateValue(XARGB32Colour::kGreen);
    case kSceneStateShadedRegionColour:
        return MakeColourStateValue(XARGB32Colour(128, 0, 0, 255));
    case kSceneStateYZPlane:
    case kSceneStateXZPlane:
    case kSceneStateXYPlane:
        return MakeScalarStateValue(0.5);
    case kSceneStatePlanes:
    case kSceneStateMergeWeight:
    case kSceneStateReferencePlaneOpacity:
    case kSceneStateChannelVisible:
        return MakeScalarStateValue(1.0);
    default:
        return MakeScalarStateValue(0.0);
    }
}

X3DMatrix XRenderer::GetStateValueAtTimeSelf(XRendererStateName inName, uint32_t inChannel,
                                             const XRendererSceneState& inFrom, const XRendererSceneState& inTo,
                                             float inTime) const
{
    const X3DMatrix& from = inFrom.GetState(inName, inChannel);
    const X3DMatrix& to = inTo.GetState(inName, inChannel);
    switch (GetStateInterpolation(inName)) {
    case XStateInterpolation::kCamera:
        return InterpolateCamera(from, to, inTime);
    case XStateInterpolation::kRotation:
        return InterpolateRotation(from, to, inTime);
    case XStateInterpolation::kLinear:
        return InterpolateLinear(from, to, inTime);
    case XStateInterpolation::kHold:
        break;
    }
    return InterpolateHold(from, to, inTime);
}

XRenderer::XStateInterpolation XRenderer::GetStateInterpolation(XRendererStateName inName)
{
    switch (inName) {
    case kSceneStateCamera:
        return XStateInterpolation::kCamera;
    case kSceneStateRotation:
        return XStateInterpolation::kRotation;
    case kSceneStateVolumePosition:
    case kSceneStateLightPosition:
    case kSceneStateFloorColour:
    case kSceneStateFloorHeight:
    case kSceneStateBackgroundColour:
    case kSceneStateOverlayColour:
    case kSceneStateTimestampColour:
    case kSceneStateYZPlane:
    case kSceneStateXZPlane:
    case kSceneStateXYPlane:
    case kSceneStateCalibrationLineColour:
    case kSceneStateCrossHairsColour:
    case kSceneStateSpotColour:
    case kSceneStateBleachingLimitsColour:
    case kSceneStateShadedRegionColour:
    case kSceneStateMergeWeight:
    case kSceneStateReferencePlaneOpacity:
        return XStateInterpolation::kLinear;
    default:
        // Flags and modes, and names whose meaning this base does not know: a blend
        // of two modes is no mode at all.
        return XStateInterpolation::kHold;
    }
}

X3DMatrix XRenderer::MakeCameraStateValue(const X3DMatrix& inEye, const X3DMatrix& inLookAt, const X3DMatrix& inUp)
{
    X3DMatrix backward = (inEye - inLookAt).GetL2Norm();
    X3DMatrix right = X3DMatrix::CrossProduct(inUp, backward).GetL2Norm();
    if (right.L2Length() == 0.0) {
        // Up parallel to the view direction: any perpendicular right axis will do.
        right = X3DMatrix::CrossProduct(MakeVector(0, 0, 1), backward).GetL2Norm();
        if (right.L2Length() == 0.0)
            right = MakeVector(1, 0, 0);
    }
    if (backward.L2Length() == 0.0)
        backward = MakeVector(0, 0, 1);
    const X3DMatrix up = X3DMatrix::CrossProduct(backward, right).GetL2Norm();
    X3DMatrix camera = X3DMatrix::UnitMatrix(4);
    camera.SetSubMatrix(0, 0, right);
    camera.SetSubMatrix(0, 1, up);
    camera.SetSubMatrix(0, 2, backward);
    camera.SetSubMatrix(0, 3, inEye);
    return camera;
}

X3DMatrix XRenderer::MakeColourStateValue(const XARGB32Colour& inColour)
{
    return X3DMatrix::ColumnVector({double(inColour.alpha), double(inColour.red), double(inColour.green),
                                    double(inColour.blue)});
}

XARGB32Colour XRenderer::GetColourFromStateValue(const X3DMatrix& inValue, const XARGB32Colour& inDefault)
{
    if (inValue.GetRows() < 4 || inValue.GetColumns() < 1)
        return inDefault;
    uint8_t bytes[4];
    for (size_t row = 0; row < 4; ++row) {
        const double value = inValue(row, 0);
        if (!std::isfinite(value))
            return inDefault;
        bytes[row] = uint8_t(std::lround(std::clamp(value, 0.0, 255.0)));
    }
    return XARGB32Colour(bytes[0], bytes[1], bytes[2], bytes[3]);
}

X3DMatrix XRenderer::InterpolateHold(const X3DMatrix& inFrom, const X3DMatrix& inTo, double inTime)
{
    return inTime >= 1.0 ? inTo : inFrom;
}

X3DMatrix XRenderer::InterpolateLinear(const X3DMatrix& inFrom, const X3DMatrix& inTo, double inTime)
{
    if (inFrom.GetRows() != inTo.GetRows() || inFrom.GetColumns() != inTo.GetColumns())
        return InterpolateHold(inFrom, inTo, inTime);
    if (inTime <= 0.0)
        return inFrom;
    if (inTime >= 1.0)
        return inTo;
    return inFrom * (1.0 - inTime) + inTo * inTime;
}

X3DMatrix XRenderer::InterpolateRotation(const X3DMatrix& inFrom, const X3DMatrix& inTo, double inTime)
{
    if (!IsRotation(inFrom) || !IsRotation(inTo))
        return InterpolateHold(inFrom, inTo, inTime);
    if (inTime <= 0.0)
        return inFrom;
    if (inTime >= 1.0)
        return inTo;
    return SlerpRotation(inFrom, inTo, inTime);
}

X3DMatrix XRenderer::InterpolateCamera(const X3DMatrix& inFrom, const X3DMatrix& inTo, double inTime)
{
    if (!inFrom.IsSquare(4) || !inTo.IsSquare(4) || !IsFinite(inFrom) || !IsFinite(inTo))
        return InterpolateHold(inFrom, inTo, inTime);
    const X3DMatrix fromOrientation = inFrom.GetSubMatrix(0, 0, 3, 3);
    const X3DMatrix toOrientation = inTo.GetSubMatrix(0, 0, 3, 3);
    if (!IsRotation(fromOrientation) || !IsRotation(toOrientation))
        return InterpolateHold(inFrom, inTo, inTime);
    if (inTime <= 0.0)
        return inFrom;
    if (inTime >= 1.0)
        return inTo;
    const X3DMatrix eye = inFrom.GetSubMatrix(0, 3, 3, 1) * (1.0 - inTime) + inTo.GetSubMatrix(0, 3, 3, 1) * inTime;
    X3DMatrix camera = X3DMatrix::UnitMatrix(4);
    camera.SetSubMatrix(0, 0, SlerpRotation(fromOrientation, toOrientation, inTime));
    camera.SetSubMatrix(0, 3, eye);
    return camera;
}

// How a renderer moves scene-state values between two scenes.
#include "XRenderer.h"

#include "XQuaternion.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace {
constexpr double kPi = std::numbers::pi;

X3DMatrix Vec(double inX, double inY, double inZ)
{
    return X3DMatrix::ColumnVector(inX, inY, inZ);
}

X3DMatrix Rotation(const X3DMatrix& inAxis, double inRadians)
{
    return X3DMatrix::RotationMatrix(inAxis, inRadians, 3);
}

XRendererSceneState SceneWith(XRendererStateName inName, const X3DMatrix& inValue)
{
    XRendererSceneState state;
    state.SetStateAndEnable(inName, inValue);
    return state;
}

// The orientation block is orthonormal and right-handed, the last row (0, 0, 0, 1).
void ExpectRigidCamera(const X3DMatrix& inCamera)
{
    ASSERT_TRUE(inCamera.IsSquare(4));
    const X3DMatrix r = inCamera.GetSubMatrix(0, 0, 3, 3);
    EXPECT_TRUE((r.GetTranspose() * r).IsNearlyEqual(X3DMatrix::UnitMatrix(3), 1e-9));
    const X3DMatrix right = r.GetSubMatrix(0, 0, 3, 1), up = r.GetSubMatrix(0, 1, 3, 1), back = r.GetSubMatrix(0, 2, 3, 1);
    EXPECT_NEAR(up.L2Length(), 1.0, 1e-9);
    EXPECT_TRUE(X3DMatrix::CrossProduct(right, up).IsNearlyEqual(back, 1e-9)) << "orientation must stay right-handed";
    EXPECT_TRUE(inCamera.GetSubMatrix(3, 0, 1, 4).IsNearlyEqual(X3DMatrix::ColumnVector({0, 0, 0, 1}).GetTranspose()));
}

// Angle between two rotations.
double AngleBetween(const X3DMatrix& inA, const X3DMatrix& inB)
{
    const X3DMatrix relative = inA.GetTranspose() * inB;
    const double trace = relative(0, 0) + relative(1, 1) + relative(2, 2);
    return std::acos(std::clamp((trace - 1.0) / 2.0, -1.0, 1.0));
}
} // namespace

TEST(XRendererInterpolation, CameraStateFollowsTheDocumentedLayout)
{
    const X3DMatrix camera = XRenderer::MakeCameraStateValue(Vec(0, 0, 5), Vec(0, 0, 0), Vec(0, 1, 0));
    EXPECT_TRUE(camera.IsNearlyEqual(
        [] {
            X3DMatrix m = X3DMatrix::UnitMatrix(4);
            m(2, 3) = 5;
            return m;
        }(),
        1e-12));
    // Looking from +x at the origin: backward is +x, right is -z.
    const X3DMatrix side = XRenderer::MakeCameraStateValue(Vec(3, 0, 0), Vec(0, 0, 0), Vec(0, 1, 0));
    ExpectRigidCamera(side);
    EXPECT_TRUE(side.GetSubMatrix(0, 2, 3, 1).IsNearlyEqual(Vec(1, 0, 0), 1e-12));
    EXPECT_TRUE(side.GetSubMatrix(0, 0, 3, 1).IsNearlyEqual(Vec(0, 0, -1), 1e-12));
    EXPECT_TRUE(side.GetSubMatrix(0, 3, 3, 1).IsNearlyEqual(Vec(3, 0, 0), 1e-12));
    // Up parallel to the view direction still gives a rigid camera.
    ExpectRigidCamera(XRenderer::MakeCameraStateValue(Vec(0, 4, 0), Vec(0, 0, 0), Vec(0, 1, 0)));
}

TEST(XRendererInterpolation, CamerasStayRigidAndMoveTheirEyeLinearly)
{
    XRenderer renderer;
    const X3DMatrix from = XRenderer::MakeCameraStateValue(Vec(0, 0, 4), Vec(0, 0, 0), Vec(0, 1, 0));
    const X3DMatrix to = XRenderer::MakeCameraStateValue(Vec(4, 2, 0), Vec(1, 0, 1), Vec(0.3, 1, 0.2));
    const XRendererSceneState a = SceneWith(kSceneStateCamera, from), b = SceneWith(kSceneStateCamera, to);
    const double total = AngleBetween(from.GetSubMatrix(0, 0, 3, 3), to.GetSubMatrix(0, 0, 3, 3));
    for (float t : {0.0f, 0.1f, 0.25f, 0.5f, 0.75f, 0.9f, 1.0f}) {
        SCOPED_TRACE(t);
        const X3DMatrix camera = renderer.GetStateValueAtTime(kSceneStateCamera, 0, a, b, t);
        ExpectRigidCamera(camera);
        EXPECT_TRUE(camera.GetSubMatrix(0, 3, 3, 1).IsNearlyEqual(Vec(4 * t, 2 * t, 4 - 4 * t), 1e-6));
        // Spherical: the orientation turns at a constant rate (an element-wise blend
        // would shear the axes).
        EXPECT_NEAR(AngleBetween(from.GetSubMatrix(0, 0, 3, 3), camera.GetSubMatrix(0, 0, 3, 3)), total * t, 1e-6);
    }
    EXPECT_EQ(renderer.GetStateValueAtTime(kSceneStateCamera, 0, a, b, 1.0f), to);
    EXPECT_EQ(renderer.GetStateValueAtTime(kSceneStateCamera, 0, a, b, 0.0f), from);
}

TEST(XRendererInterpolation, RotationsTakeTheShorterArc)
{
    XRenderer renderer;
    const X3DMatrix axis = Vec(0, 0, 1);
    // 170 degrees to -170 degrees: the short way passes through 180 (20 degrees), not 0 (340).
    const X3DMatrix from = Rotation(axis, 170.0 * kPi / 180.0), to = Rotation(axis, -170.0 * kPi / 180.0);
    const X3DMatrix half =
        renderer.GetStateValueAtTime(kSceneStateRotation, 0, SceneWith(1, from), SceneWith(1, to), 0.5f);
    EXPECT_TRUE(half.IsNearlyEqual(Rotation(axis, kPi), 1e-6));
    EXPECT_NEAR(AngleBetween(from, half), 10.0 * kPi / 180.0, 1e-6);

    // A quarter of the way on a general axis is a quarter of the angle.
    const X3DMatrix general = Rotation(Vec(1, 2, 3), 2.0);
    const X3DMatrix quarter = renderer.GetStateValueAtTime(kSceneStateRotation, 0, SceneWith(1, X3DMatrix::UnitMatrix(3)),
                                                           SceneWith(1, general), 0.25f);
    EXPECT_TRUE(quarter.IsNearlyEqual(Rotation(Vec(1, 2, 3), 0.5), 1e-6));
}

TEST(XRendererInterpolation, ValuesAreLinearAndModesHold)
{
    XRenderer renderer;
    const auto at = [&](XRendererStateName inName, const X3DMatrix& inFrom, const X3DMatrix& inTo, float inT) {
        return renderer.GetStateValueAtTime(inName, 0, SceneWith(inName, inFrom), SceneWith(inName, inTo), inT);
    };
    EXPECT_TRUE(at(kSceneStateVolumePosition, Vec(0, 0, 0), Vec(2, 4, -6), 0.25f).IsNearlyEqual(Vec(0.5, 1, -1.5)));
    EXPECT_TRUE(at(kSceneStateBackgroundColour, XRenderer::MakeColourStateValue(XARGB32Colour(255, 0, 0, 0)),
                   XRenderer::MakeColourStateValue(XARGB32Colour(255, 200, 100, 0)), 0.5f)
                    .IsNearlyEqual(X3DMatrix::ColumnVector({255, 100, 50, 0})));
    EXPECT_NEAR(at(kSceneStateFloorHeight, X3DMatrix(1, 1, -1.0), X3DMatrix(1, 1, 1.0), 0.75f)(0, 0), 0.5, 1e-6);

    // On/off and mode states keep the earlier value until the end.
    for (XRendererStateName name : std::initializer_list<XRendererStateName>{kSceneStateFloor, kSceneStateOrientator, kSceneStatePlanes,
                                    kSceneStateStereoMode, kSceneStateChannelMergeMode, 777}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(at(name, X3DMatrix(1, 1, 0.0), X3DMatrix(1, 1, 2.0), 0.99f)(0, 0), 0.0);
        EXPECT_EQ(at(name, X3DMatrix(1, 1, 0.0), X3DMatrix(1, 1, 2.0), 1.0f)(0, 0), 2.0);
    }
    // Values of different sizes cannot be blended: held.
    EXPECT_EQ(at(kSceneStateLightPosition, Vec(1, 1, 1), X3DMatrix(1, 1, 5.0), 0.5f), Vec(1, 1, 1));
    // A rotation that is not one (a reflection) is held, not turned into garbage.
    X3DMatrix mirror = X3DMatrix::UnitMatrix(3);
    mirror(0, 0) = -1;
    EXPECT_EQ(at(kSceneStateRotation, mirror, X3DMatrix::UnitMatrix(3), 0.5f), mirror);
}

TEST(XRendererInterpolation, TimeIsClampedAndMissingStatesFallBack)
{
    XRenderer renderer;
    const XRendererSceneState a = SceneWith(kSceneStateFloorHeight, X3DMatrix(1, 1, 0.0));
    const XRendererSceneState b = SceneWith(kSceneStateFloorHeight, X3DMatrix(1, 1, 10.0));
    EXPECT_EQ(renderer.GetStateValueAtTime(kSceneStateFloorHeight, 0, a, b, 3.0f)(0, 0), 10.0);
    EXPECT_EQ(renderer.GetStateValueAtTime(kSceneStateFloorHeight, 0, a, b, -1.0f)(0, 0), 0.0);
    EXPECT_EQ(renderer.GetStateValueAtTime(kSceneStateFloorHeight, 0, a, b, std::numeric_limits<float>::quiet_NaN())(0, 0), 0.0);

    const XRendererSceneState empty;
    XRendererSceneState disabled;
    disabled.SetState(kSceneStateFloorHeight, X3DMatrix(1, 1, 99.0));
    EXPECT_EQ(renderer.GetStateValueAtTime(kSceneStateFloorHeight, 0, empty, b, 0.0f)(0, 0), 10.0);
    EXPECT_EQ(renderer.GetStateValueAtTime(kSceneStateFloorHeight, 0, a, disabled, 1.0f)(0, 0), 0.0)
        << "a disabled state is not part of the scene";
    EXPECT_EQ(renderer.GetStateValueAtTime(kSceneStateFloorHeight, 0, empty, empty, 0.5f),
              renderer.GetDefaultSceneStateValue(kSceneStateFloorHeight));
}

namespace {
class XRecordingRenderer : public XRenderer {
public:
    XRendererSceneState itsApplied;
    int itsCalls = 0;

protected:
    void SetSceneStateSelf(const XRendererSceneState& inState) override
    {
        ++itsCalls;
        itsApplied = inState;
        // The renderer's own state is already up to date when the hook runs.
        EXPECT_TRUE(GetSceneState().HasState(inState.GetStates().front()));
    }
    bool IsSceneStateSupportedSelf(XRendererStateName inName) const override { return inName == kSceneStateFloor; }
};
} // namespace

TEST(XRenderer, SetSceneStateKeepsEarlierStatesAndCallsTheHook)
{
    XRecordingRenderer renderer;
    renderer.SetSceneState(SceneWith(kSceneStateFloor, X3DMatrix(1, 1, 1.0)));
    XRendererSceneState second;
    second.SetState(kSceneStateOrientator, X3DMatrix(1, 1, 1.0));
    renderer.SetSceneState(second);
    EXPECT_EQ(renderer.itsCalls, 2);
    EXPECT_EQ(renderer.itsApplied, second);
    const XRendererSceneState state = renderer.GetSceneState();
    EXPECT_TRUE(state.HasStateAndEnabled(kSceneStateFloor));
    EXPECT_TRUE(state.HasState(kSceneStateOrientator));

    EXPECT_EQ(renderer.GetSceneStateValue(kSceneStateFloor)(0, 0), 1.0);
    EXPECT_EQ(renderer.GetSceneStateValue(kSceneStateOrientator), renderer.GetDefaultSceneStateValue(kSceneStateOrientator))
        << "a disabled state reads as the default";
    EXPECT_TRUE(renderer.IsSceneStateSupported(kSceneStateFloor));
    EXPECT_FALSE(renderer.IsSceneStateSupported(kSceneStateCamera));
}

TEST(XRenderer, ColourValuesConvertBothWays)
{
    const XARGB32Colour colour(10, 20, 30, 40);
    EXPECT_EQ(XRenderer::GetColourFromStateValue(XRenderer::MakeColourStateValue(colour), XARGB32Colour::kWhite), colour);
    EXPECT_EQ(XRenderer::GetColourFromStateValue(X3DMatrix::ColumnVector({300, -5, 127.6, 0}), XARGB32Colour::kWhite),
              XARGB32Colour(255, 0, 128, 0));
    EXPECT_EQ(XRenderer::GetColourFromStateValue(X3DMatrix(1, 1, 1.0), XARGB32Colour::kRed), XARGB32Colour::kRed);
    EXPECT_EQ(XRenderer::GetColourFromStateValue(X3DMatrix::ColumnVector({NAN, 0, 0, 0}), XARGB32Colour::kRed),
              XARGB32Colour::kRed);
}

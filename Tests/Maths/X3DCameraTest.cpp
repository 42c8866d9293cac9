#include "X3DCamera.h"
#include "XRendererSceneState.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace {
X3DCamera MakeCamera()
{
    X3DCamera camera;
    camera.SetViewport(X3DViewport(XRect(0, 0, 400, 300)));
    camera.LookAt(XMathVectorF3(1, 2, 3), XMathVectorF3(0, 0.5f, 0), XMathVectorF3(0, 1, 0));
    return camera;
}
} // namespace

TEST(X3DCamera, LookAtPointsTheViewAtTheTarget)
{
    const X3DCamera camera = MakeCamera();
    const XMathVectorF3 target(0, 0.5f, 0);
    EXPECT_TRUE(camera.GetLookVector().IsNearlyEqual((target - camera.GetPosition()).GetNormalised(), 1e-6f));
    EXPECT_NEAR(camera.GetUpVector().Dot(camera.GetLookVector()), 0.0f, 1e-6f);
    EXPECT_GT(camera.GetUpVector()[1], 0.0f);
    // The target projects into the viewport's centre, and the frustum holds it.
    const XMathVectorF3 window = camera.GetViewport().Project(target, camera.GetViewMatrix() * camera.GetProjectionMatrix());
    EXPECT_NEAR(window[0], 200.0f, 1e-3f);
    EXPECT_NEAR(window[1], 150.0f, 1e-3f);
    EXPECT_TRUE(camera.GetViewFrustum().Contains(target));
    EXPECT_FALSE(camera.GetViewFrustum().Contains(camera.GetPosition() - camera.GetLookVector()));

    // A degenerate request moves the eye and keeps the orientation.
    X3DCamera degenerate = camera;
    degenerate.LookAt(XMathVectorF3(0, 5, 0), XMathVectorF3(0, 0, 0), XMathVectorF3(0, 1, 0));
    EXPECT_TRUE(degenerate.GetPosition() == XMathVectorF3(0, 5, 0));
    EXPECT_TRUE(degenerate.GetOrientation() == camera.GetOrientation());
}

TEST(X3DCamera, FieldOfViewSpansTheNarrowerSide)
{
    X3DCamera camera;
    for (const XRect& rect : {XRect(0, 0, 400, 200), XRect(0, 0, 200, 400)}) {
        camera.SetViewport(X3DViewport(rect));
        const float edge = 2.0f * std::tan(0.5f * X3DCamera::kDefaultFieldOfView);
        const XMathVectorF3 onNarrowEdge = rect.GetWidth() < rect.GetHeight() ? XMathVectorF3(edge / 2, 0, 0) : XMathVectorF3(0, edge / 2, 0);
        const XMathVectorF3 clip = (camera.GetViewMatrix() * camera.GetProjectionMatrix()).TransformCoord(onNarrowEdge + XMathVectorF3(0, 0, 1));
        EXPECT_NEAR(std::max(clip[0], clip[1]), 1.0f, 1e-5f);
    }
}

TEST(X3DCamera, SceneStateRoundTrip)
{
    const X3DCamera camera = MakeCamera();
    const X3DMatrix m = camera.GetMatrix();
    ASSERT_TRUE(m.IsSquare(4));
    // Columns 0-2 are the right, up and backward axes, column 3 the position.
    EXPECT_NEAR(m(0, 2), -camera.GetLookVector()[0], 1e-6);
    EXPECT_NEAR(m(1, 3), 2.0, 1e-6);

    XRendererSceneState state;
    state.SetStateAndEnable(kSceneStateCamera, m);
    const X3DCamera back = X3DCamera::MakeFromRendererSceneState(state);
    EXPECT_TRUE(back.GetPosition().IsNearlyEqual(camera.GetPosition(), 1e-6f));
    EXPECT_TRUE(back.GetOrientation().IsSameRotation(camera.GetOrientation(), 1e-6));

    // Missing, malformed or mirrored values give the default camera.
    EXPECT_TRUE(X3DCamera::MakeFromRendererSceneState(XRendererSceneState()) == X3DCamera());
    XRendererSceneState bad;
    bad.SetStateAndEnable(kSceneStateCamera, X3DMatrix(3, 3));
    EXPECT_TRUE(X3DCamera::MakeFromRendererSceneState(bad) == X3DCamera());
    X3DMatrix mirrored = X3DMatrix::UnitMatrix(4);
    mirrored(0, 0) = -1.0;
    bad.SetStateAndEnable(kSceneStateCamera, mirrored);
    EXPECT_TRUE(X3DCamera::MakeFromRendererSceneState(bad) == X3DCamera());
    X3DMatrix notFinite = m;
    notFinite(2, 3) = std::nan("");
    X3DCamera kept = camera;
    EXPECT_FALSE(kept.SetFromMatrix(notFinite));
    EXPECT_TRUE(kept == camera);
}

TEST(X3DCamera, RevolveKeepsTheDistanceAndTheCentreInView)
{
    X3DCamera camera;
    camera.SetViewport(X3DViewport(XRect(0, 0, 300, 300)));
    const XMathVectorF3 centre(0, 0, 0);
    // Revolving about the camera's own up axis by +90 degrees swings it from +z to +x.
    camera.Revolve(centre, XMathVectorF3(0, 1, 0), std::numbers::pi_v<float> / 2);
    EXPECT_TRUE(camera.GetPosition().IsNearlyEqual(XMathVectorF3(2, 0, 0), 1e-6f));
    EXPECT_TRUE(camera.GetLookVector().IsNearlyEqual(XMathVectorF3(-1, 0, 0), 1e-6f));
    for (int i = 0; i < 20; ++i) {
        camera.Revolve(centre, XMathVectorF3(0.3f, 1.0f, -0.2f * i), 0.37f);
        ASSERT_NEAR((camera.GetPosition() - centre).GetLength(), 2.0f, 1e-4f);
        const XMathVectorF3 w = camera.GetViewport().Project(centre, camera.GetViewMatrix() * camera.GetProjectionMatrix());
        ASSERT_NEAR(w[0], 150.0f, 0.01f);
        ASSERT_NEAR(w[1], 150.0f, 0.01f);
    }
    EXPECT_NEAR(camera.GetOrientation().GetLengthSquared(), 1.0, 1e-9);

    // Translate works in the camera's own axes: -z is forwards.
    X3DCamera dolly;
    dolly.Translate(XMathVectorF3(0, 0, -0.5f));
    EXPECT_TRUE(dolly.GetPosition().IsNearlyEqual(XMathVectorF3(0, 0, 1.5f), 1e-6f));
    dolly.Revolve(centre, XMathVectorF3(1, 0, 0), std::numbers::pi_v<float> / 2);
    dolly.Translate(XMathVectorF3(0, 0, 0.5f));
    EXPECT_TRUE(dolly.GetPosition().IsNearlyEqual(XMathVectorF3(0, -2, 0), 1e-5f));
}

TEST(X3DCamera, StereoEyesConvergeOnTheOrigin)
{
    X3DCamera camera;
    camera.SetViewport(X3DViewport(XRect(0, 0, 200, 200)));
    camera.LookAt(XMathVectorF3(0, 0, 4), XMathVectorF3(0, 0, 0), XMathVectorF3(0, 1, 0));
    const auto project = [&](uint32_t inPass, const XMathVectorF3& p) {
        camera.SetStereoPass(inPass);
        return camera.GetViewport().Project(p, camera.GetViewMatrix() * camera.GetProjectionMatrix());
    };
    const XMathVectorF3 origin(0, 0, 0), nearer(0, 0, 2);
    EXPECT_TRUE(project(X3DCamera::kStereoLeft, origin).IsNearlyEqual(project(X3DCamera::kStereoRight, origin), 1e-3f));
    // A point in front of the origin is seen further right by the left eye (crossed parallax).
    EXPECT_GT(project(X3DCamera::kStereoLeft, nearer)[0], project(X3DCamera::kStereoRight, nearer)[0] + 0.5f);
    EXPECT_TRUE(project(X3DCamera::kStereoNone, nearer).IsNearlyEqual(XMathVectorF3(100, 100, project(0, nearer)[2]), 1e-3f));
}

// The canvas tools' arithmetic with the numbers the tools are known by: ball points,
// dolly steps, light moves, turns between ball points, and unusable scene-state values.
// (Rolls and the light's outer limit are tested through the tools, in CanvasTools.)
#include "X3DCanvasToolMaths.h"
#include "XRenderer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>

namespace {
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

void ExpectVector(const XMathVectorF3& inActual, double inX, double inY, double inZ, double inTolerance = 1e-6)
{
    EXPECT_NEAR(inActual[0], inX, inTolerance);
    EXPECT_NEAR(inActual[1], inY, inTolerance);
    EXPECT_NEAR(inActual[2], inZ, inTolerance);
}
} // namespace

TEST(X3DCanvasToolMaths, BallPointsOfA400By300Pane)
{
    struct Case {
        XPoint point;
        double x, y, z;
    };
    const double s = std::sqrt(0.75);
    const Case cases[] = {
        {{200, 150}, 0, 0, 1},           // centre
        {{0, 0}, -0.8, -0.6, 0},         // corner, off the ball: on its rim
        {{275, 150}, 0.5, 0, s},         // half way to the right edge of the ball
        {{200, 225}, 0, 0.5, s},         // below the centre: y grows downwards
        {{400, 150}, 1, 0, 0},           // right edge of the pane, beyond the ball
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.point.x << ", " << c.point.y);
        ExpectVector(X3DCanvasToolMaths::LocalToBallPoint(c.point, 400, 300), c.x, c.y, c.z);
    }
}

TEST(X3DCanvasToolMaths, ArcsBetweenBallPoints)
{
    XMathVectorF3 axis;
    float angle = 0.0f;
    // A drag to the right turns about the view's up axis, a drag down about its right axis
    // the way that carries the front of the ball downwards (ball y is the pixels' y).
    ASSERT_TRUE(X3DCanvasToolMaths::GetViewArc({0, 0, 1}, {0.5f, 0, float(std::sqrt(0.75))}, axis, angle));
    ExpectVector(axis, 0, 1, 0);
    EXPECT_NEAR(angle, std::numbers::pi / 6, 1e-6);
    ASSERT_TRUE(X3DCanvasToolMaths::GetViewArc({0, 0, 1}, {0, 0.5f, float(std::sqrt(0.75))}, axis, angle));
    ExpectVector(axis, 1, 0, 0);
    // Equal, opposite and broken points turn nothing.
    EXPECT_FALSE(X3DCanvasToolMaths::GetViewArc({0, 0, 1}, {0, 0, 1}, axis, angle));
    EXPECT_FALSE(X3DCanvasToolMaths::GetViewArc({0, 0, 1}, {0, 0, -1}, axis, angle));
    EXPECT_FALSE(X3DCanvasToolMaths::GetViewArc({0, 0, 1}, {float(kNaN), 0, 1}, axis, angle));
    // Nearly equal points whose dot product rounds past 1 still give a finite angle.
    ASSERT_TRUE(X3DCanvasToolMaths::GetViewArc({0.6f, 0.8f, 0}, {0.6000001f, 0.7999999f, 0.0000001f}, axis, angle));
    EXPECT_TRUE(std::isfinite(angle));
}

TEST(X3DCanvasToolMaths, DollySteps)
{
    struct Case {
        int32_t dy;
        double distance, expected;
    };
    const Case cases[] = {
        {10, 4.0, 3.75},                                  // 0.025 per pixel at distance 4
        {-10, 4.0, 4.25},                                 // upwards moves away
        {1, 100.0, 100.0 - 0.05},                         // tends to 0.05 per pixel far away
        {1000, 4.0, X3DCanvasToolMaths::kMinCameraDistance}, // never past the origin
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.dy << " at " << c.distance);
        X3DCamera camera;
        camera.LookAt({0, 0, float(c.distance)}, {0, 0, 0}, {0, 1, 0});
        ASSERT_TRUE(X3DCanvasToolMaths::DollyCamera(camera, c.dy));
        EXPECT_NEAR(camera.GetPosition().GetLength(), c.expected, 1e-4);
        EXPECT_NEAR(camera.GetPosition()[2], c.expected, 1e-4);
    }
    X3DCamera camera;
    EXPECT_FALSE(X3DCanvasToolMaths::DollyCamera(camera, 0));
}

TEST(X3DCanvasToolMaths, LightMovesStayInsideTheShell)
{
    XMathVectorF3 moved;
    struct Case {
        XMathVectorF3 light;
        int32_t dy;
        bool accepted;
        float length;
    };
    const Case cases[] = {
        {{0, 3, 0}, 1000, true, 4.0f},   // at most one unit per step
        {{0, 0.5f, 0}, -1000, false, 0}, // would cross the origin
        {{0, 4.5f, 0}, 50, false, 0},    // would reach 5
        {{0, 0, 0}, 1, false, 0},        // no direction to move along
        {{float(kInf), 0, 0}, 1, false, 0},
        {{float(kNaN), 1, 0}, 1, false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.light[0] << ", " << c.light[1] << " by " << c.dy);
        EXPECT_EQ(X3DCanvasToolMaths::MoveLight(c.light, c.dy, moved), c.accepted);
        if (c.accepted) {
            EXPECT_NEAR(moved.GetLength(), c.length, 1e-5);
        }
    }
}

TEST(X3DCanvasToolMaths, UnusableStateValuesCountAsAbsent)
{
    struct Case {
        const char* name;
        XRendererStateName state;
        X3DMatrix value;
        bool usable;
    };
    const Case cases[] = {
        {"rotation", kSceneStateRotation, X3DMatrix::UnitMatrix(3), true},
        {"rotation 4 x 4", kSceneStateRotation, X3DMatrix::UnitMatrix(4), true},
        {"rotation 2 x 2", kSceneStateRotation, X3DMatrix::UnitMatrix(2), false},
        {"position", kSceneStateVolumePosition, X3DMatrix::ColumnVector(1, 2, 3), true},
        {"position 2-vector", kSceneStateVolumePosition, X3DMatrix::ColumnVector({1, 2}), false},
        {"position row", kSceneStateVolumePosition, X3DMatrix(1, 3, 1.0), false},
        {"light empty", kSceneStateLightPosition, X3DMatrix(), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        XRendererSceneState state;
        state.SetStateAndEnable(c.state, c.value);
        X3DMatrix rotation;
        XMathVectorF3 vector;
        const bool got = c.state == kSceneStateRotation ? X3DCanvasToolMaths::GetRotation(state, rotation)
                                                        : X3DCanvasToolMaths::GetVector(state, c.state, vector);
        EXPECT_EQ(got, c.usable);
    }
}

// Trackball rolls of a renderable and the mapping of window points onto the ball.
#include "XAssertRecorder.h"
#include "XBallMaths.h"
#include "XGLRenderable.h"

#include <cmath>
#include <gtest/gtest.h>
#include <atomic>
#include <numbers>
#include <thread>

namespace {
X3DMatrix Vec(double inX, double inY, double inZ)
{
    return X3DMatrix::ColumnVector(inX, inY, inZ);
}

bool AllFinite(const X3DMatrix& inMatrix)
{
    for (size_t r = 0; r < inMatrix.GetRows(); ++r)
        for (size_t c = 0; c < inMatrix.GetColumns(); ++c)
            if (!std::isfinite(inMatrix(r, c)))
                return false;
    return true;
}

// The 3 × 3 block times its transpose is the identity.
void ExpectOrthonormal(const X3DMatrix& inMatrix, double inTolerance)
{
    const X3DMatrix block = inMatrix.GetSubMatrix(0, 0, 3, 3);
    EXPECT_TRUE((block.GetTranspose() * block).IsNearlyEqual(X3DMatrix::UnitMatrix(3), inTolerance));
}
} // namespace

TEST(XBallMaths, QuarterTurnAboutYAndThreeMoreCloseTheCircle)
{
    XGLRenderable renderable;
    XBallMaths ball(&renderable);
    ball.SetVectors(Vec(0, 0, 1), Vec(2, 0, 0)); // lengths do not matter
    const X3DMatrix quarter = X3DMatrix::RotationMatrix(Vec(0, 1, 0), std::numbers::pi / 2);
    EXPECT_TRUE(renderable.GetRotation().IsNearlyEqual(quarter, 1e-6));
    // The object's z axis now points along x.
    const X3DMatrix z = renderable.GetRotation() * X3DMatrix::ColumnVector({0, 0, 1, 0});
    EXPECT_NEAR(z(0, 0), 1.0, 1e-6);
    for (int i = 0; i < 3; ++i)
        ball.ContinueRoll();
    EXPECT_TRUE(renderable.GetRotation().IsNearlyEqual(X3DMatrix::UnitMatrix(4), 1e-6));
    EXPECT_EQ(renderable.GetRotation()(3, 3), 1.0);
    // A long spin of small steps stays a rotation.
    ball.SetVectors(Vec(0.2, 0.1, 1), Vec(0.21, 0.12, 1));
    for (int i = 0; i < 20000; ++i)
        ball.ContinueRoll();
    ExpectOrthonormal(renderable.GetRotation(), 1e-12);
}

TEST(XBallMaths, TurnsHappenInTheObjectsOwnAxes)
{
    XGLRenderable renderable;
    renderable.GetRotation().RotateX(90); // the object's y axis now points along world z
    XBallMaths ball(&renderable);
    ball.SetVectors(Vec(0, 0, 1), Vec(1, 0, 0));
    const X3DMatrix expected = X3DMatrix::RotationMatrix(Vec(1, 0, 0), std::numbers::pi / 2) *
                               X3DMatrix::RotationMatrix(Vec(0, 1, 0), std::numbers::pi / 2);
    EXPECT_TRUE(renderable.GetRotation().IsNearlyEqual(expected, 1e-6));
}

TEST(XBallMaths, DegenerateDragsChangeNothing)
{
    XGLRenderable renderable;
    renderable.GetRotation().RotateZ(30);
    const XGLMatrix before = renderable.GetRotation();
    XBallMaths ball(&renderable);
    XAssertRecorder recorder;
    const X3DMatrix cases[][2] = {
        {Vec(0.3, 0.4, 0.5), Vec(0.3, 0.4, 0.5)},  // start = end
        {Vec(0, 0, 1), Vec(0, 0, -1)},             // opposite: no defined axis
        {Vec(0, 0, 0), Vec(1, 0, 0)},              // a zero vector
        {Vec(NAN, 0, 1), Vec(1, 0, 0)},            // not a number
        {X3DMatrix::ColumnVector({0, 0, 1, 0}), Vec(1, 0, 0)}, // four elements: reported
        {Vec(1, 0, 0), X3DMatrix(1, 3)},                        // a row: reported
    };
    for (const auto& c : cases) {
        ball.SetVectors(c[0], c[1]);
        ball.ContinueRoll();
        EXPECT_EQ(renderable.GetRotation(), before);
    }
    EXPECT_TRUE(recorder.Has("start.IsColumnVector( 3 )", "X-Platform/XBallMaths"));
    EXPECT_TRUE(recorder.Has("end.IsColumnVector( 3 )", "X-Platform/XBallMaths"));
}

TEST(XBallMaths, NearlyParallelVectorsNeverProduceNaN)
{
    XGLRenderable renderable;
    XBallMaths ball(&renderable);
    // Normalised copies of these differ by rounding only; their dot product can come
    // out just above 1, where an unclamped arccos is NaN.
    for (int i = 1; i < 2000; ++i) {
        const double a = 0.001 * i;
        const X3DMatrix v = Vec(std::sin(a), std::cos(3 * a), 0.5 + a);
        ball.SetVectors(v, v * (1.0 + 1e-15));
        ball.SetVectors(v, v + Vec(1e-7, 0, 0));
        ASSERT_TRUE(AllFinite(renderable.GetRotation())) << i;
    }
    ball.ContinueRoll();
    EXPECT_TRUE(AllFinite(renderable.GetRotation()));
    ExpectOrthonormal(renderable.GetRotation(), 1e-9);
    // A small but real turn still happens.
    XGLRenderable fresh;
    XBallMaths small(&fresh);
    small.SetVectors(Vec(0, 0, 1), Vec(1e-6, 0, 1));
    EXPECT_NEAR(fresh.GetRotation()(0, 2), 1e-6, 1e-9);
}

TEST(XBallMaths, TurnsFromAnotherThreadAreNeverLost)
{
    XGLRenderable renderable;
    XBallMaths ball(&renderable);
    // The ball keeps its angle as a float; the other thread turns by the same amount.
    const double angle = double(float(std::numbers::pi / 2));
    const X3DMatrix quarter = X3DMatrix::RotationMatrix(Vec(0, 1, 0), angle);
    constexpr int kTurns = 20000;
    std::atomic<bool> done = false;
    int otherTurns = 0;
    // Turns for as long as the ball does, so that the two overlap throughout.
    std::thread other([&] {
        while (!done) {
            renderable.MulRotation(quarter);
            ++otherTurns;
        }
    });
    ball.SetVectors(Vec(0, 0, 1), Vec(1, 0, 0)); // the first of kTurns quarter turns about y
    for (int i = 1; i < kTurns; ++i)
        ball.ContinueRoll();
    done = true;
    other.join();
    // Every turn counts unless one thread overwrote a turn of the other.
    const double total = double(kTurns + otherTurns) * angle;
    EXPECT_TRUE(renderable.GetRotation().IsNearlyEqual(X3DMatrix::RotationMatrix(Vec(0, 1, 0), total), 1e-6));
}

TEST(XBallMaths, RenderableMayBeSetAfterTheDrag)
{
    XBallMaths ball;
    EXPECT_EQ(ball.GetRenderable(), nullptr);
    ball.SetVectors(Vec(0, 0, 1), Vec(1, 0, 0));
    ball.ContinueRoll();
    XGLRenderable renderable;
    XBallMaths copy = ball;
    copy.SetRenderable(&renderable);
    copy.ContinueRoll(); // the stored quarter turn
    EXPECT_TRUE(renderable.GetRotation().IsNearlyEqual(
        X3DMatrix::RotationMatrix(Vec(0, 1, 0), std::numbers::pi / 2), 1e-6));
    EXPECT_EQ(ball.GetRenderable(), nullptr);
}

TEST(XBallMaths, WindowPointsMeetTheBallOrTheNearestPointOfTheRay)
{
    // With the identity as screen-to-world the view ray of (x, y) runs along +z.
    const XGLMatrix identity;
    auto point = [&](double x, double y) { return XBallMaths::GetPointOnBallFromScreenPoint(identity, x, y); };
    EXPECT_TRUE(point(0, 0).IsNearlyEqual(Vec(0, 0, -1)));           // straight at the centre: the near side
    EXPECT_TRUE(point(0.6, 0).IsNearlyEqual(Vec(0.6, 0, -0.8)));     // the nearer of two hits
    EXPECT_TRUE(point(0, -0.8).IsNearlyEqual(Vec(0, -0.8, -0.6)));
    EXPECT_TRUE(point(2, 0).IsNearlyEqual(Vec(1, 0, 0)));            // a miss: the rim point towards it
    EXPECT_TRUE(point(3, 4).IsNearlyEqual(Vec(0.6, 0.8, 0)));

    // A screen-to-world matrix that scales window pixels down to the unit ball.
    XGLMatrix pixels;
    pixels.Scale(0.01, 0.01, 1);
    pixels.TranslateInParent(-1, -1, 0);
    EXPECT_TRUE(XBallMaths::GetPointOnBallFromScreenPoint(pixels, 160, 100).IsNearlyEqual(Vec(0.6, 0, -0.8)));

    // A matrix that maps every point to infinity gives no point rather than NaN.
    const X3DMatrix none = XBallMaths::GetPointOnBallFromScreenPoint(XGLMatrix(X3DMatrix::ZeroMatrix(4, 4)), 1, 1);
    EXPECT_TRUE(AllFinite(none));
    EXPECT_EQ(none.L2Length(), 0.0);
}

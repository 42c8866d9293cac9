// The tick ball's geometry, its client state, and the trackball's point mapping.
#include "DecorationTestSupport.h"
#include "XGLContextLock.h"
#include "XGLInteractiveBall.h"
#include "XGLTickBall.h"

#include <cmath>
#include <gtest/gtest.h>

using namespace DecorationTest;

namespace {
double Length(const XGLTickBall::XPoint3f& p)
{
    return std::sqrt(double(p[0]) * p[0] + double(p[1]) * p[1] + double(p[2]) * p[2]);
}
} // namespace

TEST(XGLTickBall, TicksStartOrEndOnTheUnitSphereAndAreATenthOfAChord)
{
    const auto& vertices = XGLTickBall::GetVertices();
    const auto& normals = XGLTickBall::GetNormals();
    ASSERT_FALSE(vertices.empty());
    ASSERT_EQ(normals.size(), vertices.size());
    for (size_t i = 0; i < vertices.size(); i += 2) {
        const double a = Length(vertices[i]), b = Length(vertices[i + 1]);
        const bool firstOnSphere = std::fabs(a - 1.0) < 1e-6, secondOnSphere = std::fabs(b - 1.0) < 1e-6;
        EXPECT_TRUE(firstOnSphere != secondOnSphere) << "tick " << i / 2 << " has " << a << " and " << b;
        // The inner end lies on the chord, so slightly inside the sphere.
        EXPECT_GT(std::min(a, b), 0.99);
        EXPECT_EQ(vertices[i], normals[i]);
        EXPECT_EQ(vertices[i + 1], normals[i + 1]);
    }
}

TEST(XGLTickBall, TicksReachTheRimAndDraftQualitySkipsThem)
{
    WGLWnd window(100, 100);
    window.SetProjectionMode(XGLContext::kOrthographic);
    XGLInteractiveBall ball; // white
    ball.SetScale(0.8);
    XGLContextLock lock(window);
    window.SetUpProjection();
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glDisable(GL_LIGHTING);
    window.SetQualityMode(2);
    ball.Render(ball);
    std::vector<uint8_t> pixels(100 * 100 * 4);
    glReadPixels(0, 0, 100, 100, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    EXPECT_EQ(std::count(pixels.begin(), pixels.end(), 255), 0) << "drawn in draft quality";
    window.SetQualityMode(0);
    ball.Render(ball);
    glReadPixels(0, 0, 100, 100, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    // Ticks reach out to the rim: radius 0.8 of the half-width, 40 pixels from the centre.
    double farthest = 0.0;
    int lit = 0;
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 100; ++x)
            if (pixels[size_t(y * 100 + x) * 4] > 128) {
                ++lit;
                farthest = std::max(farthest, std::hypot(x + 0.5 - 50.0, y + 0.5 - 50.0));
            }
    EXPECT_GT(lit, 200);
    EXPECT_NEAR(farthest, 40.0, 1.5);
}

TEST(XGLInteractiveBall, WindowPointsMapOntoTheNearSideOfTheBall)
{
    // 200 × 200 orthographic: the ball of scale 0.5 is 50 pixels in radius around (100, 100).
    WGLWnd window(200, 200);
    window.SetProjectionMode(XGLContext::kOrthographic);
    XGLInteractiveBall ball;
    ball.SetScale(0.5);
    std::unique_ptr<XVolume> picture = Picture(window, ball);
    SavePNG(*picture, "interactive-ball");

    const XGLMatrix toScreen(!ball.GetStoredScreenToWorldMatrix());
    auto depthOf = [&toScreen](const X3DMatrix& p) {
        const X3DMatrix s = toScreen * X3DMatrix::ColumnVector({p(0, 0), p(1, 0), p(2, 0), 1.0});
        return s(2, 0) / s(3, 0);
    };
    const double centreDepth = depthOf(X3DMatrix::ColumnVector(0, 0, 0));

    const X3DMatrix centre = ball.GetPointOnBallFromScreenPoint(XPoint(100, 100));
    EXPECT_NEAR(std::fabs(centre(2, 0)), 1.0, 1e-6);
    EXPECT_LT(depthOf(centre), centreDepth) << "the far side of the ball was picked";

    // Half the radius to the right: x = ±0.5, z = ±√0.75, on the near side.
    const X3DMatrix half = ball.GetPointOnBallFromScreenPoint(XPoint(125, 100));
    EXPECT_NEAR(std::fabs(half(0, 0)), 0.5, 1e-6);
    EXPECT_NEAR(half(1, 0), 0.0, 1e-6);
    EXPECT_NEAR(std::fabs(half(2, 0)), std::sqrt(0.75), 1e-6);
    EXPECT_LT(depthOf(half), centreDepth);
    EXPECT_NEAR(half.L2Length(), 1.0, 1e-9);

    // Beside the ball: the rim, in the same direction.
    const X3DMatrix rightRim = ball.GetPointOnBallFromScreenPoint(XPoint(190, 100));
    EXPECT_NEAR(std::fabs(rightRim(0, 0)), 1.0, 1e-6);
    EXPECT_NEAR(rightRim(2, 0), 0.0, 1e-6);
    EXPECT_NEAR(rightRim(0, 0) * half(0, 0), 1.0 * std::fabs(half(0, 0)), 1e-6) << "the rim point is on the wrong side";
}

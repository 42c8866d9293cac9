// The tick ball: its shared ticks, the radius it takes in a view, and how it draws.
#include "X3DTickBall.h"
#include "XSceneFurnitureFixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <thread>
#include <vector>

namespace {
TEST(X3DTickBall, TicksAreATenthOfAChordEndingOnTheSphere)
{
    const auto& vertices = X3DTickBall::GetSharedVertices();
    ASSERT_EQ(vertices.size(), 2u * X3DTickBall::kTickCount);
    int ending = 0, starting = 0;
    for (size_t i = 0; i < vertices.size(); i += 2) {
        SCOPED_TRACE(i / 2);
        EXPECT_EQ(vertices[i].normal, vertices[i].position);
        EXPECT_EQ(vertices[i + 1].normal, vertices[i + 1].position);
        const bool startsOn = std::abs(vertices[i].position.GetLength() - 1.0f) < 1e-6f;
        const bool endsOn = std::abs(vertices[i + 1].position.GetLength() - 1.0f) < 1e-6f;
        ASSERT_NE(startsOn, endsOn) << "one end on the sphere, the other just inside";
        (startsOn ? starting : ending) += 1;
        const XMathVectorF3 corner = startsOn ? vertices[i].position : vertices[i + 1].position;
        const XMathVectorF3 inner = startsOn ? vertices[i + 1].position : vertices[i].position;
        // inner = 0.9 corner + 0.1 neighbour, and the neighbour is a corner on the sphere too.
        const XMathVectorF3 neighbour = (inner - corner * 0.9f) / 0.1f;
        EXPECT_NEAR(neighbour.GetLength(), 1.0f, 1e-4f);
        EXPECT_NEAR((inner - corner).GetLength(), 0.1f * (neighbour - corner).GetLength(), 1e-5f);
    }
    // Four of the eight ticks of each square start at a corner and four end at one.
    EXPECT_EQ(starting, ending);
}

TEST(X3DTickBall, SharedTicksAreMadeOnceForEveryThread)
{
    std::vector<const void*> seen(8, nullptr);
    std::vector<std::thread> threads;
    for (size_t i = 0; i < seen.size(); ++i)
        threads.emplace_back([&seen, i] { seen[i] = X3DTickBall::GetSharedVertices().data(); });
    for (auto& t : threads)
        t.join();
    for (const void* p : seen)
        EXPECT_EQ(p, X3DTickBall::GetSharedVertices().data());
}

TEST(X3DTickBall, RadiusIsTheNearestSideOfTheViewAtMostAHalf)
{
    using M = XMatrix_4x4<float>;
    struct XCase {
        const char* name;
        M transform;
        float radius;
    };
    const XCase cases[] = {
        {"sides 0.3 and 1 away", M::MakeOrthographic(-0.3f, 0.3f, -1, 1, -10, 10), 0.3f},
        {"top nearest", M::MakeOrthographic(-2, 2, -0.4f, 0.4f, -10, 10), 0.4f},
        {"all sides far", M::MakeOrthographic(-2, 2, -2, 2, -10, 10), 0.5f},
        {"moved towards the right side", M::MakeTranslation(1.7f, 0, 0) * M::MakeOrthographic(-2, 2, -2, 2, -10, 10), 0.3f},
        {"centre outside the view", M::MakeTranslation(5, 0, 0) * M::MakeOrthographic(-2, 2, -2, 2, -10, 10), 0.0f},
        {"perspective, 2 away", M::MakeLookAt({0, 0, 2}, {0, 0, 0}, {0, 1, 0}) * M::MakePerspective(0.4f, 1, 0.1f, 100),
            float(2.0 * std::sin(0.2))},
    };
    for (const XCase& c : cases)
        EXPECT_NEAR(X3DTickBall::GetRadiusFor(c.transform), c.radius, 1e-5f) << c.name;
}

class TickBallPictureTest : public SceneFurnitureTest {
protected:
    TickBallPictureTest() { furniture = {&ball}; }
    X3DTickBall ball;
};

TEST_F(TickBallPictureTest, FitsTheViewWithTheRadiusOfItsNearestSide)
{
    struct XCase {
        const char* name;
        float halfWidth, halfHeight, radius;
    };
    // 256 x 128 pixels: 1 unit is 128 / (2 halfHeight) pixels tall and as wide.
    const XCase cases[] = {{"radius 0.3", 0.6f, 0.3f, 0.3f}, {"radius 0.5", 2.0f, 1.0f, 0.5f}};
    for (const XCase& c : cases) {
        SCOPED_TRACE(c.name);
        const XBGRA32Volume picture = DrawOrthographic(ball, 256, 128, c.halfWidth, c.halfHeight, std::string("_") + c.name);
        const float pixelsPerUnit = 128.0f / (2.0f * c.halfHeight);
        const TestPicture::XSpread lit = LitSpread(picture, 10);
        // Ticks reach the silhouette only at their corners, where multisampling leaves
        // the last pixel or two dim: within four pixels of it.
        EXPECT_NEAR(lit.right - lit.left + 1, 2.0f * c.radius * pixelsPerUnit, 4.0f);
        EXPECT_NEAR(lit.bottom - lit.top + 1, 2.0f * c.radius * pixelsPerUnit, 4.0f);
        EXPECT_NEAR((lit.left + lit.right) / 2.0f, 127.5f, 1.5f);
    }
}

TEST_F(TickBallPictureTest, FacingTicksAreWhiteAndTheOthersAQuarter)
{
    // The centre shows the ticks around (0, 0, 1), drawn last; the state's camera says
    // whether they face the viewer. Multisampled lines cover part of a pixel, the same
    // part in both pictures, so the two compare as white to a quarter of white.
    XARGB32Colour centres[2];
    const XMathVectorF3 eyes[2] = {{0, 0, 2}, {0, 0, -2}};
    for (int i = 0; i < 2; ++i) {
        X3DCamera camera;
        camera.LookAt(eyes[i], XMathVectorF3(), XMathVectorF3(0, 1, 0));
        state.SetCamera(camera);
        const XBGRA32Volume picture = DrawOrthographic(ball, 256, 256, 0.6f, 0.6f, i == 0 ? "_facing" : "_away");
        centres[i] = BrightestNear(picture, 128, 128, 2);
        EXPECT_EQ(centres[i].red, centres[i].green);
        EXPECT_EQ(centres[i].red, centres[i].blue);
    }
    EXPECT_GE(centres[0].red, 128) << "white, at least half covered";
    EXPECT_NEAR(double(centres[0].red) / centres[1].red, 4.0, 0.25);
}

TEST_F(TickBallPictureTest, DrawsNothingInFinalRenders)
{
    state.SetFinalRender(true);
    EXPECT_EQ(LitSpread(DrawOrthographic(ball, 64, 64, 1, 1, "_final")).count, 0);
}
} // namespace

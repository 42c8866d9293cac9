#include "X3DViewport.h"

#include <gtest/gtest.h>

#include <numbers>
#include <random>

namespace {
XMatrix_4x4<float> MakeTransform()
{
    return XMatrix_4x4<float>::MakeRotationY(0.3f) *
           XMatrix_4x4<float>::MakeLookAt(XMathVectorF3(1, 2, 6), XMathVectorF3(0, 0, 0), XMathVectorF3(0, 1, 0)) *
           XMatrix_4x4<float>::MakePerspective(0.8f, 4.0f / 3.0f, 0.1f, 100.0f);
}
} // namespace

TEST(X3DViewport, ProjectMapsTheViewVolumeOntoTheRectangle)
{
    X3DViewport viewport(XRect(10, 20, 650, 500));
    const auto view = XMatrix_4x4<float>::MakeLookAt(XMathVectorF3(0, 0, 5), XMathVectorF3(0, 0, 0), XMathVectorF3(0, 1, 0));
    const auto projection = XMatrix_4x4<float>::MakePerspective(std::numbers::pi_v<float> / 2, 4.0f / 3.0f, 1.0f, 9.0f);
    const XMatrix_4x4<float> world;
    // The view's centre lands in the rectangle's centre; y counts upwards from its origin.
    EXPECT_TRUE(viewport.Project(XMathVectorF3(0, 0, 0), projection, view, world).IsNearlyEqual(XMathVectorF3(330, 260, 0.9f), 1e-3f));
    EXPECT_TRUE(viewport.Project(XMathVectorF3(0, 4, 1), view * projection).IsNearlyEqual(XMathVectorF3(330, 500, 0.84375f), 1e-3f));
    EXPECT_NEAR(viewport.Project(XMathVectorF3(0, 0, -4), view * projection)[2], 1.0f, 1e-5f);
    viewport.SetDepthRange(0.5f, 1.0f);
    EXPECT_NEAR(viewport.Project(XMathVectorF3(0, 0, 4), view * projection)[2], 0.5f, 1e-5f);
    EXPECT_THROW(viewport.Project(XMathVectorF3(3, 0, 5), view * projection), XException); // in the eye's plane
}

TEST(X3DViewport, UnprojectUndoesProject)
{
    const X3DViewport viewport(XRect(0, 0, 800, 600));
    const XMatrix_4x4<float> transform = MakeTransform();
    std::mt19937 random(9);
    std::uniform_real_distribution<float> coordinate(-2.0f, 2.0f);
    for (int i = 0; i < 100; ++i) {
        const XMathVectorF3 p(coordinate(random), coordinate(random), coordinate(random));
        const XMathVectorF3 window = viewport.Project(p, transform);
        ASSERT_TRUE(viewport.Unproject(window, transform).IsNearlyEqual(p, 2e-3f)) << "point " << i;
    }
    // Window points at depths 0 and 1 lie on the near and far planes of one ray through the eye.
    const XMathVectorF3 nearPoint = viewport.Unproject(XMathVectorF3(123, 456, 0), transform);
    const XMathVectorF3 farPoint = viewport.Unproject(XMathVectorF3(123, 456, 1), transform);
    const XMathVectorF3 back = viewport.Project(nearPoint + (farPoint - nearPoint) * 0.25f, transform);
    EXPECT_NEAR(back[0], 123.0f, 1e-2f);
    EXPECT_NEAR(back[1], 456.0f, 1e-2f);

    EXPECT_THROW(viewport.Unproject(XMathVectorF3(0, 0, 0), XMatrix_4x4<float>::MakeScale(1, 1, 0)), XException);
    EXPECT_THROW(X3DViewport().Unproject(XMathVectorF3(0, 0, 0), transform), XException);
}

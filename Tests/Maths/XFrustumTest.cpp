#include "XFrustum.h"

#include <gtest/gtest.h>

#include <numbers>
#include <utility>

namespace {
// An eye at (0, 0, 5) looking at the origin: 90 degrees high, square, near 1, far 10.
XFrustum MakeTestFrustum(XMatrix_4x4<float>* outTransform = nullptr)
{
    const auto view = XMatrix_4x4<float>::MakeLookAt(XMathVectorF3(0, 0, 5), XMathVectorF3(0, 0, 0), XMathVectorF3(0, 1, 0));
    const auto projection = XMatrix_4x4<float>::MakePerspective(std::numbers::pi_v<float> / 2, 1.0f, 1.0f, 10.0f);
    if (outTransform)
        *outTransform = view * projection;
    return XFrustum::MakeFromSpacialTransform(view * projection);
}

XBoundingBox Cube(const XMathVectorF3& inCentre, float inHalf)
{
    const XMathVectorF3 h(inHalf, inHalf, inHalf);
    return XBoundingBox(inCentre - h, inCentre + h);
}
} // namespace

TEST(XFrustum, PlanesAreUnitAndFaceInwards)
{
    const XFrustum f = MakeTestFrustum();
    for (size_t i = 0; i < XFrustum::kPlaneCount; ++i)
        EXPECT_NEAR(f[i].GetXYZ().GetLength(), 1.0f, 1e-5f) << "plane " << i;
    // Distances of the origin, 5 in front of the eye: near 4, far 5, sides 5 / sqrt(2).
    const XMathVectorF3 origin(0, 0, 0);
    EXPECT_NEAR(f.GetDistance(XFrustum::kNear, origin), 4.0f, 1e-4f);
    EXPECT_NEAR(f.GetDistance(XFrustum::kFar, origin), 5.0f, 1e-3f);
    for (size_t side : {XFrustum::kLeft, XFrustum::kRight, XFrustum::kBottom, XFrustum::kTop})
        EXPECT_NEAR(f.GetPlane(side)[3], 5.0f / std::sqrt(2.0f), 1e-4f) << "plane " << side;
    // The left plane's normal points to +x.
    EXPECT_GT(f[XFrustum::kLeft][0], 0.5f);
    EXPECT_LT(f[XFrustum::kTop][1], -0.5f);
}

TEST(XFrustum, ContainsPoints)
{
    const XFrustum f = MakeTestFrustum();
    // Near a corner 4 in front, just right of it, between eye and near plane, behind the eye, beyond the far plane.
    for (auto [point, inside] : {std::pair{XMathVectorF3(0, 0, 0), true}, {XMathVectorF3(3.9f, -3.9f, 1), true},
                                 {XMathVectorF3(4.1f, 0, 1), false}, {XMathVectorF3(0, 0, 4.5f), false},
                                 {XMathVectorF3(0, 0, 6), false}, {XMathVectorF3(0, 0, -5.5f), false},
                                 {XMathVectorF3(std::nanf(""), 0, 0), false}})
        EXPECT_EQ(f.Contains(point), inside) << point[0] << ", " << point[1] << ", " << point[2];
    EXPECT_TRUE(XFrustum().Contains(XMathVectorF3(1e30f, -1e30f, 0)));
}

TEST(XFrustum, ClassifiesBoxes)
{
    const XFrustum f = MakeTestFrustum();
    EXPECT_EQ(f.Classify(Cube(XMathVectorF3(0, 0, 0), 0.5f)), XFrustum::kInside);
    EXPECT_EQ(f.Classify(Cube(XMathVectorF3(0, 0, 4), 1.0f)), XFrustum::kIntersecting);  // across the near plane
    EXPECT_EQ(f.Classify(Cube(XMathVectorF3(5, 0, 0), 0.5f)), XFrustum::kIntersecting);  // across the right side
    EXPECT_EQ(f.Classify(Cube(XMathVectorF3(7, 0, 0), 0.5f)), XFrustum::kOutside);
    EXPECT_EQ(f.Classify(Cube(XMathVectorF3(0, 0, 8), 1.0f)), XFrustum::kOutside);       // behind the eye
    EXPECT_EQ(f.Classify(Cube(XMathVectorF3(0, 0, -20), 1.0f)), XFrustum::kOutside);
    EXPECT_EQ(f.Classify(XBoundingBox()), XFrustum::kOutside);
    // A box larger than the whole volume still intersects it.
    EXPECT_TRUE(f.Contains(Cube(XMathVectorF3(0, 0, 0), 100.0f)));
    EXPECT_FALSE(f.Contains(Cube(XMathVectorF3(0, -9, 0), 1.0f)));

    // In a model's own space: world in front of view x projection moves the volume with the model.
    XMatrix_4x4<float> viewProjection;
    MakeTestFrustum(&viewProjection);
    const XFrustum local = XFrustum::MakeFromSpacialTransform(XMatrix_4x4<float>::MakeTranslation(7, 0, 0) * viewProjection);
    EXPECT_TRUE(local.Contains(XMathVectorF3(-7, 0, 0)));
    EXPECT_FALSE(local.Contains(XMathVectorF3(0, 0, 0)));
}

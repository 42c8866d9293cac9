// The numbers behind the planes view: which plane a fraction selects, which values
// are read, and where the volume node puts the voxels.
#include "XPlanesFixture.h"

#include "X3DPlaneImages.h"
#include "X3DVolumeNode.h"

#include <cmath>
#include <limits>

namespace {
TEST(PlaneSelectionTest, AFractionSelectsAPlaneInsideTheExtent)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct XCase {
        int32_t extent;
        double fraction;
        uint64_t plane;
    };
    for (const XCase& c : {XCase{10, 1.0, 9}, XCase{10, 0.0, 0}, XCase{10, 0.5, 4}, XCase{10, 0.99, 8},
             XCase{10, 1e300, 9}, XCase{10, -1e300, 0}, XCase{10, nan, 0}, XCase{1, 0.7, 0}, XCase{0, 1.0, 0},
             XCase{2, 1.0, 1}}) {
        EXPECT_EQ(X3DPlaneImages::SelectPlane(c.extent, c.fraction), c.plane) << c.extent << " at " << c.fraction;
    }
}

TEST(PlaneSelectionTest, OnlyFiniteOneByOneValuesAreRead)
{
    double value = 7.0;
    EXPECT_TRUE(X3DPlaneSettings::ReadScalar(X3DMatrix(1, 1, 0.25), value));
    EXPECT_EQ(value, 0.25);
    for (const X3DMatrix& bad : {X3DMatrix(), X3DMatrix(2, 1, 0.5), X3DMatrix(1, 3, 0.5),
             X3DMatrix(1, 1, std::numeric_limits<double>::infinity())})
        EXPECT_FALSE(X3DPlaneSettings::ReadScalar(bad, value));
    EXPECT_EQ(value, 0.25);
}

TEST_F(PlanesPictureTest, TheVolumeNodeIsCentredWithAPhysicalDiagonalOfOne)
{
    struct XCase {
        X3DRect bounds;
        double cx, cy, cz;
    };
    for (const XCase& c : {XCase{X3DRect(0, 0, 0, 3, 4, 12), 1, 1, 1}, XCase{X3DRect(5, -2, 1, 25, 8, 9), 0.2, 0.2, 0.5},
             XCase{X3DRect(0, 0, 0, 2, 2, 2), 1e-3, 1, 1}}) {
        auto sequence = std::make_shared<XDataVolumeSequence>(1, 1);
        sequence->SetVolume(1, 1, std::make_shared<XGrey8Volume>(c.bounds));
        sequence->SetCalibration(c.cx, c.cy, c.cz);
        XImageDataSource source{std::shared_ptr<const XDataVolumeSequence>(sequence)};
        X3DVolumeNode volumeNode;
        volumeNode.SetDataSource(source, *gc);
        volumeNode.SetPosition(XMathVectorF3(1, 2, 3));
        volumeNode.UpdateGeometry(XMatrix_4x4<float>(), XSceneRenderState());
        const XMatrix_4x4<float> world = volumeNode.GetWorldTransform();
        const XMathVectorF3 low = world.TransformPoint(XMathVectorF3(float(c.bounds.GetLeft()), float(c.bounds.GetTop()),
            float(c.bounds.GetFront())));
        const XMathVectorF3 high = world.TransformPoint(XMathVectorF3(float(c.bounds.GetRight()),
            float(c.bounds.GetBottom()), float(c.bounds.GetBack())));
        const XMathVectorF3 diagonal = high - low;
        EXPECT_NEAR(std::sqrt(diagonal[0] * diagonal[0] + diagonal[1] * diagonal[1] + diagonal[2] * diagonal[2]), 1.0, 1e-5);
        // The centre sits at the node's position; each axis keeps its physical share.
        const XMathVectorF3 centre = (low + high) * 0.5f;
        EXPECT_NEAR(centre[0], 1.0, 1e-5);
        EXPECT_NEAR(centre[1], 2.0, 1e-5);
        EXPECT_NEAR(centre[2], 3.0, 1e-5);
        EXPECT_NEAR(diagonal[0] / diagonal[2], c.bounds.GetWidth() * c.cx / (c.bounds.GetDepth() * c.cz), 1e-4);
        // World bounds hold the volume.
        EXPECT_NEAR(volumeNode.GetWorldBounds().GetMin()[0], low[0], 1e-5);
    }
}
} // namespace

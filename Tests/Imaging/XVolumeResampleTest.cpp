#include "XException.h"
#include "XFloat32Volume.h"
#include "XGrey16Volume.h"
#include "XGrey8Volume.h"
#include "XMaskVolume.h"
#include "XARGB32Volume.h"
#include "XVolumeResampleTool.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {
XGrey8Volume MakeRamp(int32_t inWidth, int32_t inHeight, int32_t inDepth)
{
    XGrey8Volume v(inWidth, inHeight, inDepth);
    for (int32_t z = 0; z < inDepth; ++z)
        for (int32_t y = 0; y < inHeight; ++y)
            for (int32_t x = 0; x < inWidth; ++x)
                v.SetVoxel(x, y, z, uint8_t(x + 10 * y + 60 * z));
    return v;
}
} // namespace

TEST(XVolumeResample, SameSizeCopyIsExact)
{
    XGrey8Volume source = MakeRamp(7, 5, 3);
    for (XResampleMode mode : {XResampleMode::kNearest, XResampleMode::kLinear}) {
        XGrey8Volume target(7, 5, 3);
        source.CopyInto(target, mode);
        EXPECT_EQ(std::memcmp(target.GetData(), source.GetData(), source.GetDataSize()), 0);
    }
}

TEST(XVolumeResample, NearestTakesTheClosestCentre)
{
    XGrey8Volume source = MakeRamp(7, 5, 3);
    XGrey8Volume target(3, 2, 1);
    XVolumeResampleTool::Resample(source, target, XResampleMode::kNearest);
    // Target centre t maps to source (t + 0.5) × 7 / 3 - 0.5 = 0.67, 3, 5.33 → 1, 3, 5;
    // y: (t + 0.5) × 2.5 - 0.5 = 0.75, 3.25 → 1, 3; z: 1.
    const int32_t xs[3] = {1, 3, 5}, ys[2] = {1, 3};
    for (int32_t y = 0; y < 2; ++y)
        for (int32_t x = 0; x < 3; ++x)
            EXPECT_EQ(target.GetVoxel(x, y, 0), source.GetVoxel(xs[x], ys[y], 1)) << x << "," << y;

    // Upsampling repeats voxels: the six centres fall at -0.25, 0.25 ... 2.25 of the three.
    XGrey16Volume row(3, 1, 1), wide(6, 1, 1);
    for (int32_t x = 0; x < 3; ++x)
        row.SetVoxel(x, 0, 0, uint16_t(10 * (x + 1)));
    row.CopyInto(wide, XResampleMode::kNearest);
    for (int32_t x = 0; x < 6; ++x)
        EXPECT_EQ(wide.GetVoxel(x, 0), 10 * (x / 2 + 1)) << x;
}

TEST(XVolumeResample, LinearInterpolatesBetweenCentresAndClampsAtEdges)
{
    XFloat32Volume source(2, 1, 1);
    source.SetVoxel(0, 0, 0.0f);
    source.SetVoxel(1, 0, 1.0f);
    XFloat32Volume target(4, 1, 1);
    source.CopyInto(target, XResampleMode::kLinear);
    // Centres at -0.25, 0.25, 0.75, 1.25 in source voxels; outside clamps to the edge.
    const float expected[] = {0.0f, 0.25f, 0.75f, 1.0f};
    for (int32_t x = 0; x < 4; ++x)
        EXPECT_FLOAT_EQ(target.GetVoxel(x, 0), expected[x]) << x;

    // In z as well as in the plane: 1 × 1 × 2 → 1 × 1 × 3 has its middle voxel halfway.
    XGrey8Volume column(1, 1, 2);
    column.SetVoxel(0, 0, 0, 0);
    column.SetVoxel(0, 0, 1, 200);
    XGrey8Volume deeper(1, 1, 3);
    column.CopyInto(deeper, XResampleMode::kLinear);
    EXPECT_EQ(deeper.GetVoxel(0, 0, 1), 100);
}

TEST(XVolumeResample, SubRectangleLandsInPlace)
{
    XGrey8Volume source = MakeRamp(7, 5, 1);
    source.SetOrigin(X3DPoint(100, 200, 0));
    XGrey8Volume target(X3DRect(0, 0, 0, 10, 10, 1));
    target.Fill(9);
    // Source voxels x 102..104, y 201..202 into target x 5..7, y 6..7, same size.
    source.CopyInto(target, X3DRect(102, 201, 0, 105, 203, 1), X3DRect(5, 6, 0, 8, 8, 1));
    for (int32_t y = 0; y < 10; ++y)
        for (int32_t x = 0; x < 10; ++x) {
            bool inside = x >= 5 && x < 8 && y >= 6 && y < 8;
            uint8_t expected = inside ? source.GetVoxel(x - 5 + 2, y - 6 + 1, 0) : 9;
            ASSERT_EQ(target.GetVoxel(x, y, 0), expected) << x << "," << y;
        }
    // Target box partly outside the target: the part inside is written, nothing else.
    XGrey8Volume small(2, 2, 1);
    source.CopyInto(small, X3DRect(100, 200, 0, 103, 203, 1), X3DRect(-1, -1, 0, 2, 2, 1));
    EXPECT_EQ(small.GetVoxel(0, 0, 0), source.GetVoxel(1, 1, 0));
    EXPECT_EQ(small.GetVoxel(1, 1, 0), source.GetVoxel(2, 2, 0));
}

TEST(XVolumeResample, ConvertsLayoutsWhileResampling)
{
    XGrey8Volume source(2, 2, 1);
    source.Fill(200);
    XARGB32Volume target(4, 4, 1);
    source.CopyInto(target, XResampleMode::kLinear);
    EXPECT_EQ(target.GetVoxel(3, 3), XARGB32Colour(255, 200, 200, 200));
    XMaskVolume mask(4, 4, 1);
    source.CopyInto(mask);
    EXPECT_EQ(mask.GetVoxel(0, 0), 200);
}

TEST(XVolumeResample, BadBoxesAreRefused)
{
    XGrey8Volume source(4, 4, 1), target(4, 4, 1);
    EXPECT_THROW(source.CopyInto(target, X3DRect(10, 10, 0, 12, 12, 1), target.GetBounds()), XException);
    EXPECT_THROW(source.CopyInto(target, X3DRect(), target.GetBounds()), XException);
    EXPECT_THROW(source.CopyInto(target, source.GetBounds(), X3DRect(0, 0, 0, 0, 4, 1)), XException);
    // Into itself reads a snapshot: shifting right by one repeats the first column.
    XGrey8Volume row = MakeRamp(4, 1, 1);
    row.CopyInto(row, X3DRect(0, 0, 0, 3, 1, 1), X3DRect(1, 0, 0, 4, 1, 1));
    EXPECT_EQ(std::vector<uint8_t>(row.GetData(), row.GetData() + 4), (std::vector<uint8_t>{0, 0, 1, 2}));
}

TEST(XVolumeResample, MakeResampledAndScaledBounds)
{
    XGrey8Volume source = MakeRamp(8, 4, 2);
    source.SetCalibration(0.1, 0.2, 1.0);
    auto half = XVolumeResampleTool::MakeResampled(source, X3DRect(0, 0, 0, 4, 2, 1), XResampleMode::kLinear);
    EXPECT_EQ(half->GetVoxelType(), XVoxelType::kGrey8);
    EXPECT_DOUBLE_EQ(half->GetCalibrationX(), 0.2);
    EXPECT_DOUBLE_EQ(half->GetCalibrationZ(), 2.0);
    // Each target voxel is the mean of a 2 × 2 × 2 block for a halving.
    auto& h = static_cast<XGrey8Volume&>(*half);
    EXPECT_NEAR(h.GetVoxel(0, 0, 0), (0 + 1 + 10 + 11 + 60 + 61 + 70 + 71) / 8.0, 0.5);

    EXPECT_EQ(XVolumeResampleTool::ScaleBounds(X3DRect(5, 5, 5, 12, 10, 8), 0.5, 0.5, 0.1), X3DRect(5, 5, 5, 8, 7, 6));
    EXPECT_THROW(XVolumeResampleTool::ScaleBounds(X3DRect(0, 0, 0, 1, 1, 1), 0.0, 1.0, 1.0), XException);
}

#include "XARGB32Volume.h"
#include "XException.h"
#include "XFloat32Volume.h"
#include "XGrey16Volume.h"
#include "XGrey8Volume.h"
#include "XVolumeLevelScalingHelper.h"

#include <gtest/gtest.h>

#include <cmath>
#include <utility>

TEST(XVolumeLevelScalingHelper, EdgesOfTheDisplayRange)
{
    XVolumeLevelScalingHelper h(100.0, 355.0);
    // 100.4 rounds down, 100.5 up at the half.
    for (auto [value, level] : {std::pair{99.0, 0}, {100.0, 0}, {100.4, 0}, {100.5, 1}, {354.4, 254}, {354.6, 255},
                                {355.0, 255}, {1e30, 255}, {-1e30, 0}, {double(NAN), 0}})
        EXPECT_EQ(h.MapValue(value), level) << value;
}

TEST(XVolumeLevelScalingHelper, InvertedAndZeroWidthRanges)
{
    XVolumeLevelScalingHelper inverted(255.0, 0.0);
    EXPECT_EQ(inverted.MapValue(0.0), 255);
    EXPECT_EQ(inverted.MapValue(255.0), 0);
    EXPECT_EQ(inverted.MapValue(55.0), 200);
    XVolumeLevelScalingHelper threshold(10.0, 10.0);
    EXPECT_EQ(threshold.MapValue(9.99), 0);
    EXPECT_EQ(threshold.MapValue(10.0), 255);
    EXPECT_THROW(XVolumeLevelScalingHelper(0.0, INFINITY), XException);
}

TEST(XVolumeLevelScalingHelper, LookupTablesCoverTheVoxelRange)
{
    XVolumeLevelScalingHelper h(1000.0, 3000.0);
    EXPECT_EQ(h.MakeLookupTable(XVoxelType::kGrey16).size(), 65536u);
    EXPECT_EQ(h.MakeLookupTable(XVoxelType::kGrey8).size(), 256u);

    XGrey16Volume v(3, 1, 1);
    v.SetVoxel(0, 0, 0, 500);
    v.SetVoxel(1, 0, 0, 2000);
    v.SetVoxel(2, 0, 0, 4000);
    XGrey8Volume levels;
    h.MapVolume(v, levels);
    EXPECT_EQ(levels.GetVoxel(0, 0), 0);
    EXPECT_EQ(levels.GetVoxel(1, 0), 128);
    EXPECT_EQ(levels.GetVoxel(2, 0), 255);
}

TEST(XVolumeLevelScalingHelper, DataRangeOfAVolume)
{
    XGrey16Volume v(4, 2, 2);
    v.Fill(300);
    v.SetVoxel(1, 1, 1, 7);
    v.SetVoxel(3, 0, 1, 4000);
    XVolumeLevelScalingHelper h(v);
    ASSERT_TRUE(h.HasDataRange());
    EXPECT_DOUBLE_EQ(h.GetDataMinimum(), 7.0);
    EXPECT_DOUBLE_EQ(h.GetDataMaximum(), 4000.0);
    EXPECT_DOUBLE_EQ(h.GetBlackLevel(), 7.0);
    EXPECT_DOUBLE_EQ(h.GetWhiteLevel(), 4000.0);

    XFloat32Volume f(3, 1, 1);
    f.SetVoxel(0, 0, NAN);
    f.SetVoxel(1, 0, -2.5f);
    f.SetVoxel(2, 0, 8.0f);
    double lo = 0, hi = 0;
    ASSERT_TRUE(XVolumeLevelScalingHelper::GetDataRange(f, lo, hi));
    EXPECT_DOUBLE_EQ(lo, -2.5);
    EXPECT_DOUBLE_EQ(hi, 8.0);
    XFloat32Volume allNaN(2, 1, 1);
    allNaN.Fill(NAN);
    EXPECT_FALSE(XVolumeLevelScalingHelper::GetDataRange(allNaN, lo, hi));
    EXPECT_FALSE(XVolumeLevelScalingHelper(allNaN).HasDataRange());
    EXPECT_FALSE(XVolumeLevelScalingHelper::GetDataRange(XGrey8Volume(), lo, hi));

    XARGB32Volume colour(1, 1, 1);
    colour.SetVoxel(0, 0, XARGB32Colour(255, 3, 90, 40)); // alpha is not data
    ASSERT_TRUE(XVolumeLevelScalingHelper::GetDataRange(colour, lo, hi));
    EXPECT_DOUBLE_EQ(lo, 3.0);
    EXPECT_DOUBLE_EQ(hi, 90.0);
}

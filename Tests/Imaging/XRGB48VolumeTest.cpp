#include "XBGRA32Volume.h"
#include "XChannelMerger.h"
#include "XExtendedFocusTool.h"
#include "XGrey16Volume.h"
#include "XRGB48Volume.h"
#include "XVolumeLevelScalingHelper.h"

#include <gtest/gtest.h>

#include <memory>

namespace {
// Each voxel's components say where it is: red = 1000 x, green = 1000 y, blue = 1000 z + 7.
XRGB48Volume MakeCoded(const X3DRect& inBounds)
{
    XRGB48Volume volume(inBounds);
    for (int32_t z = 0; z < volume.GetDepth(); ++z)
        for (int32_t y = 0; y < volume.GetHeight(); ++y)
            for (int32_t x = 0; x < volume.GetWidth(); ++x)
                volume.SetVoxel(x, y, z,
                                XRGB48Colour(uint16_t(1000 * (x + inBounds.left)), uint16_t(1000 * (y + inBounds.top)),
                                             uint16_t(1000 * (z + inBounds.front) + 7)));
    return volume;
}
} // namespace

TEST(XRGB48Volume, PlaneCopiesKeepEverySixByteVoxel)
{
    const XRGB48Volume volume = MakeCoded(X3DRect(2, 3, 4, 6, 8, 9));
    struct Case {
        std::unique_ptr<XVolume> plane;
        int32_t across, down;
        XRGB48Colour expected;
    };
    Case cases[] = {
        {volume.CopyXYPlane(6), 1, 2, XRGB48Colour(3000, 5000, 6007)},
        {volume.CopyXZPlane(5), 3, 4, XRGB48Colour(5000, 5000, 8007)},
        {volume.CopyYZPlane(4), 2, 1, XRGB48Colour(4000, 4000, 6007)}, // z across, y down
    };
    for (Case& c : cases) {
        ASSERT_EQ(c.plane->GetVoxelType(), XVoxelType::kRGB48);
        EXPECT_EQ(static_cast<const XRGB48Volume&>(*c.plane).GetVoxel(c.across, c.down), c.expected);
    }
    std::unique_ptr<XVolume> resampled = XVolume::Make(XVoxelType::kRGB48, X3DRect(0, 0, 0, 2, 5, 5));
    volume.CopyInto(*resampled, X3DRect(3, 3, 4, 5, 8, 9), resampled->GetBounds());
    EXPECT_EQ(static_cast<const XRGB48Volume&>(*resampled).GetVoxel(1, 4, 2), XRGB48Colour(4000, 7000, 6007));
}

TEST(XRGB48Volume, ConvertsThroughTheSixteenBitRange)
{
    XRGB48Volume volume(X3DRect(0, 0, 0, 3, 1, 1));
    volume.SetVoxel(0, 0, XRGB48Colour(65535, 0, 32896));
    volume.SetVoxel(1, 0, XRGB48Colour(257, 514, 771));
    volume.SetVoxel(2, 0, XRGB48Colour(65535, 65535, 65535));
    XBGRA32Volume colour;
    volume.DrawIntoBGRA32Volume(colour);
    EXPECT_EQ(colour.GetVoxel(0, 0), XBGRA32Colour(128, 0, 255, 255));
    EXPECT_EQ(colour.GetVoxel(1, 0), XBGRA32Colour(3, 2, 1, 255));
    XGrey16Volume grey;
    volume.CopyOutTo(grey);
    EXPECT_EQ(grey.GetVoxel(2, 0), 65535);

    XRGB48Volume back;
    colour.CopyOutTo(back);
    EXPECT_EQ(back.GetVoxel(1, 0), XRGB48Colour(257, 514, 771)) << "8-bit colour widens exactly";

    double low = 0, high = 0;
    ASSERT_TRUE(XVolumeLevelScalingHelper::GetDataRange(volume, low, high));
    EXPECT_EQ(low, 0.0);
    EXPECT_EQ(high, 65535.0);
}

TEST(XRGB48Volume, ProjectsAndMerges)
{
    const XRGB48Volume volume = MakeCoded(X3DRect(0, 0, 0, 4, 3, 5));
    XGrey16Volume where;
    std::unique_ptr<XVolume> projection = XExtendedFocusTool::MakeExtendedFocusImage(volume, &where);
    ASSERT_EQ(projection->GetVoxelType(), XVoxelType::kRGB48);
    EXPECT_EQ(static_cast<XRGB48Volume&>(*projection).GetVoxel(2, 1), XRGB48Colour(2000, 1000, 4007));
    EXPECT_EQ(where.GetVoxel(2, 1), 4) << "the brightest plane is the deepest";

    XRGB48Volume red(X3DRect(0, 0, 0, 1, 1, 1));
    red.SetVoxel(0, 0, XRGB48Colour(65535, 0, 0));
    XRGB48Volume blue(X3DRect(0, 0, 0, 1, 1, 1));
    blue.SetVoxel(0, 0, XRGB48Colour(0, 0, 65535));
    std::unique_ptr<XVolume> merged =
        XChannelMerger::Merge(std::vector<const XVolume*>{&red, &blue}, {1.0, 1.0}, XChannelMerger::XMode::kCombine);
    XBGRA32Volume shown;
    merged->CopyOutTo(shown);
    EXPECT_EQ(shown.GetVoxel(0, 0), XBGRA32Colour(255, 0, 255, 255));
}

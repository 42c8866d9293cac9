#include "XARGB32Volume.h"
#include "XAssertRecorder.h"
#include "XAverageMergeTool.h"
#include "XBPMergeTool.h"
#include "XCombineMergeTool.h"
#include "XFloat32Volume.h"
#include "XGrey16Volume.h"
#include "XGrey8Volume.h"

#include <gtest/gtest.h>

namespace {
// One row of grey values shown in a colour over the range 0..255.
XGrey8Volume MakeChannel(std::initializer_list<uint8_t> inValues, XARGB32Colour inColour)
{
    XGrey8Volume v(int32_t(inValues.size()), 1, 1);
    int32_t x = 0;
    for (uint8_t value : inValues)
        v.SetVoxel(x++, 0, value);
    v.SetImageRenderer(XImageRenderer(inColour, 0, 255));
    return v;
}

XARGB32Colour At(const std::unique_ptr<XVolume>& inImage, int32_t inX, int32_t inY = 0)
{
    return static_cast<const XARGB32Volume&>(*inImage).GetVoxel(inX, inY);
}
} // namespace

TEST(XMergeTools, RedAndGreenChannels)
{
    XGrey8Volume red = MakeChannel({255, 0, 200, 100}, XARGB32Colour::kRed);
    XGrey8Volume green = MakeChannel({255, 255, 100, 0}, XARGB32Colour::kGreen);
    std::vector<const XVolume*> images = {&red, &green};
    std::vector<double> weights = {1.0, 1.0};

    auto bp = XBPMergeTool::MergeVolumesToVolume(images, weights);
    ASSERT_NE(bp, nullptr);
    EXPECT_EQ(bp->GetVoxelType(), XVoxelType::kARGB32);
    EXPECT_EQ(At(bp, 0), XARGB32Colour(255, 255, 255, 0));
    EXPECT_EQ(At(bp, 1), XARGB32Colour(255, 0, 255, 0));
    EXPECT_EQ(At(bp, 2), XARGB32Colour(255, 200, 100, 0));

    // Different colours never share a component, so the sum equals the maximum here.
    auto sum = XCombineMergeTool::CombineVolumesToVolume(images, weights);
    EXPECT_EQ(At(sum, 2), XARGB32Colour(255, 200, 100, 0));

    // The average divides by the total weight: each colour at half strength.
    auto avg = XAverageMergeTool::AverageVolumesToVolume(images, weights);
    EXPECT_EQ(At(avg, 0), XARGB32Colour(255, 128, 128, 0));
    EXPECT_EQ(At(avg, 2), XARGB32Colour(255, 100, 50, 0));
    EXPECT_EQ(At(avg, 3), XARGB32Colour(255, 50, 0, 0));
}

TEST(XMergeTools, SameColourShowsHowEachModeCombines)
{
    XGrey8Volume a = MakeChannel({200, 100, 0}, XARGB32Colour::kWhite);
    XGrey8Volume b = MakeChannel({100, 100, 60}, XARGB32Colour::kWhite);
    std::vector<const XVolume*> images = {&a, &b};
    std::vector<double> weights = {1.0, 1.0};
    EXPECT_EQ(At(XBPMergeTool::MergeVolumesToVolume(images, weights), 0).red, 200);
    EXPECT_EQ(At(XCombineMergeTool::CombineVolumesToVolume(images, weights), 0).red, 255); // 300 clamps
    EXPECT_EQ(At(XCombineMergeTool::CombineVolumesToVolume(images, weights), 1).red, 200);
    EXPECT_EQ(At(XAverageMergeTool::AverageVolumesToVolume(images, weights), 0).red, 150);
    EXPECT_EQ(At(XAverageMergeTool::AverageVolumesToVolume(images, weights), 2).red, 30);
}

TEST(XMergeTools, WeightsScaleEachChannel)
{
    XGrey8Volume a = MakeChannel({200}, XARGB32Colour::kWhite);
    XGrey8Volume b = MakeChannel({100}, XARGB32Colour::kWhite);
    std::vector<const XVolume*> images = {&a, &b};
    EXPECT_EQ(At(XBPMergeTool::MergeVolumesToVolume(images, {0.25, 1.0}), 0).red, 100); // 50 against 100
    EXPECT_EQ(At(XCombineMergeTool::CombineVolumesToVolume(images, {0.5, 0.5}), 0).red, 150);
    EXPECT_EQ(At(XCombineMergeTool::CombineVolumesToVolume(images, {3.0, 0.0}), 0).red, 255);
    // Weighted average: (3 × 200 + 1 × 100) / 4.
    EXPECT_EQ(At(XAverageMergeTool::AverageVolumesToVolume(images, {3.0, 1.0}), 0).red, 175);
    // A hidden channel (weight 0) drops out of the average entirely.
    EXPECT_EQ(At(XAverageMergeTool::AverageVolumesToVolume(images, {0.0, 2.0}), 0).red, 100);
    // All weights 0: black, not a division by zero.
    EXPECT_EQ(At(XAverageMergeTool::AverageVolumesToVolume(images, {0.0, 0.0}), 0), XARGB32Colour(255, 0, 0, 0));
    // Weights that are not usable numbers count as 0.
    EXPECT_EQ(At(XCombineMergeTool::CombineVolumesToVolume(images, {-1.0, NAN}), 0).red, 0);
}

TEST(XMergeTools, DisplayRangeOfSixteenBitAndFloatChannels)
{
    XGrey16Volume deep(3, 1, 1);
    deep.SetVoxel(0, 0, 0, 999);
    deep.SetVoxel(1, 0, 0, 1500);
    deep.SetVoxel(2, 0, 0, 60000);
    deep.SetImageRenderer(XImageRenderer(XARGB32Colour::kBlue, 1000, 2000));
    XFloat32Volume f(3, 1, 1);
    f.SetVoxel(0, 0, 0.0f);
    f.SetVoxel(1, 0, 0.5f);
    f.SetVoxel(2, 0, NAN);
    f.SetImageRenderer(XImageRenderer(XARGB32Colour::kRed, 0.0, 1.0));
    std::vector<const XVolume*> images = {&deep, &f};
    auto bp = XBPMergeTool::MergeVolumesToVolume(images, {1.0, 1.0});
    EXPECT_EQ(At(bp, 0), XARGB32Colour(255, 0, 0, 0));
    EXPECT_EQ(At(bp, 1), XARGB32Colour(255, 128, 0, 128));
    EXPECT_EQ(At(bp, 2), XARGB32Colour(255, 0, 0, 255));
}

TEST(XMergeTools, ImagesOfDifferentBoundsAndNulls)
{
    XGrey8Volume wide = MakeChannel({100, 100, 100}, XARGB32Colour::kRed);
    XGrey8Volume narrow = MakeChannel({200}, XARGB32Colour::kGreen);
    narrow.SetOrigin(X3DPoint(4, 0, 0));
    std::vector<const XVolume*> images = {&wide, nullptr, &narrow};
    auto merged = XCombineMergeTool::CombineVolumesToVolume(images, {1.0, 1.0, 1.0});
    ASSERT_NE(merged, nullptr);
    EXPECT_EQ(merged->GetBounds(), X3DRect(0, 0, 0, 5, 1, 1)); // the union
    EXPECT_EQ(At(merged, 2), XARGB32Colour(255, 100, 0, 0));
    EXPECT_EQ(At(merged, 3), XARGB32Colour(255, 0, 0, 0)); // covered by neither
    EXPECT_EQ(At(merged, 4), XARGB32Colour(255, 0, 200, 0));

    EXPECT_EQ(XBPMergeTool::MergeVolumesToVolume(std::vector<const XVolume*>{nullptr, nullptr}, {1.0, 1.0}), nullptr);
    EXPECT_EQ(XBPMergeTool::MergeVolumesToVolume(std::vector<const XVolume*>{}, {}), nullptr);
}

TEST(XMergeTools, MissingWeightIsReportedAndCountsAsOne)
{
    XAssertRecorder recorder;
    XGrey8Volume a = MakeChannel({80}, XARGB32Colour::kWhite);
    XPtrVector<XVolume> images;
    images.push_back(&a);
    auto merged = XCombineMergeTool::CombineVolumesToVolume(images, XVector<double>());
    EXPECT_EQ(At(merged, 0).green, 80);
    EXPECT_TRUE(recorder.Has("inWeights.size() >= inImages.size()"));
}

TEST(XMergeTools, ColourImagesMergeWithTheirOwnColours)
{
    XARGB32Volume colour(1, 1, 1);
    colour.SetVoxel(0, 0, XARGB32Colour(0, 10, 20, 30)); // alpha plays no part
    XGrey8Volume grey = MakeChannel({100}, XARGB32Colour::kBlue);
    auto merged = XCombineMergeTool::CombineVolumesToVolume(std::vector<const XVolume*>{&colour, &grey}, {2.0, 1.0});
    EXPECT_EQ(At(merged, 0), XARGB32Colour(255, 20, 40, 160));
}

TEST(XMergeTools, PlanesOfAStackMergeEveryPlane)
{
    XGrey16Volume a(4, 3, 2), b(4, 3, 2);
    a.Fill(65535);
    b.Fill(0);
    b.SetVoxel(3, 2, 1, 65535);
    a.SetImageRenderer(XImageRenderer(XARGB32Colour::kRed, 0, 65535));
    b.SetImageRenderer(XImageRenderer(XARGB32Colour::kGreen, 0, 65535));
    auto merged = XBPMergeTool::MergeVolumesToVolume(std::vector<const XVolume*>{&a, &b}, {1.0, 1.0});
    const auto& m = static_cast<const XARGB32Volume&>(*merged);
    EXPECT_EQ(m.GetVoxel(3, 2, 1), XARGB32Colour(255, 255, 255, 0));
    EXPECT_EQ(m.GetVoxel(3, 2, 0), XARGB32Colour(255, 255, 0, 0));
    EXPECT_EQ(m.GetVoxel(0, 0, 1), XARGB32Colour(255, 255, 0, 0));
}

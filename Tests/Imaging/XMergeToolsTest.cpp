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
}

TEST(XMergeTools, EachModeCombinesTheWeightedChannels)
{
    // Two white channels: the brighter, the sum (clamped) and the weighted average.
    using XMerge = std::unique_ptr<XVolume> (*)(const std::vector<const XVolume*>&, const std::vector<double>&);
    const XMerge brightest = &XBPMergeTool::MergeVolumesToVolume, sum = &XCombineMergeTool::CombineVolumesToVolume,
                 average = &XAverageMergeTool::AverageVolumesToVolume;
    struct XCase {
        XMerge merge;
        uint8_t a, b;
        double weightA, weightB;
        uint8_t red;
    };
    const XCase cases[] = {
        {brightest, 200, 100, 1.0, 1.0, 200}, {brightest, 200, 100, 0.25, 1.0, 100}, // 50 against 100
        {sum, 200, 100, 1.0, 1.0, 255},       {sum, 100, 100, 1.0, 1.0, 200},
        {sum, 200, 100, 0.5, 0.5, 150},       {sum, 200, 100, 3.0, 0.0, 255},
        {sum, 200, 100, -1.0, NAN, 0},        // weights that are not usable numbers count as 0
        {average, 200, 100, 1.0, 1.0, 150},   {average, 0, 60, 1.0, 1.0, 30},
        {average, 200, 100, 3.0, 1.0, 175},   // (3 x 200 + 1 x 100) / 4
        {average, 200, 100, 0.0, 2.0, 100},   // a hidden channel drops out of the average
        {average, 200, 100, 0.0, 0.0, 0},     // all hidden: black, not a division by zero
    };
    for (const XCase& c : cases) {
        SCOPED_TRACE(testing::Message() << int(c.a) << " x " << c.weightA << ", " << int(c.b) << " x " << c.weightB);
        XGrey8Volume a = MakeChannel({c.a}, XARGB32Colour::kWhite), b = MakeChannel({c.b}, XARGB32Colour::kWhite);
        EXPECT_EQ(At(c.merge({&a, &b}, {c.weightA, c.weightB}), 0), XARGB32Colour(255, c.red, c.red, c.red));
    }
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

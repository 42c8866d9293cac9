#include "XException.h"
#include "XGrey16Volume.h"
#include "XSyntheticSample.h"
#include "XVolumeLevelScalingHelper.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {
XSyntheticSample::Settings SmallSettings()
{
    XSyntheticSample::Settings s;
    s.width = 96;
    s.height = 80;
    s.depth = 24;
    s.timepoints = 3;
    s.cells = 3;
    return s;
}

const XGrey16Volume& Channel(const XDataVolumeSequence& inSeq, uint32_t c, uint32_t t)
{
    return dynamic_cast<const XGrey16Volume&>(*inSeq.GetVolume(c, t));
}
} // namespace

TEST(SyntheticSample, SameSpecGivesSameVoxelsOtherSeedDiffersAndCellsMove)
{
    auto a = XSyntheticSample::Make(SmallSettings());
    auto b = XSyntheticSample::Make(SmallSettings());
    XSyntheticSample::Settings other = SmallSettings();
    other.seed = 2;
    auto c = XSyntheticSample::Make(other);
    const XGrey16Volume& va = Channel(*a, 2, 3);
    const XGrey16Volume& vb = Channel(*b, 2, 3);
    const XGrey16Volume& vc = Channel(*c, 2, 3);
    ASSERT_EQ(va.GetDataSize(), vb.GetDataSize());
    EXPECT_EQ(0, std::memcmp(va.GetData(), vb.GetData(), va.GetDataSize()));
    EXPECT_NE(0, std::memcmp(va.GetData(), vc.GetData(), va.GetDataSize()));
    const XGrey16Volume& first = Channel(*a, 2, 1);
    EXPECT_NE(0, std::memcmp(first.GetData(), va.GetData(), va.GetDataSize())) << "the cells move between timepoints";
}

TEST(SyntheticSample, HasThreeNamedCalibratedChannelsWithSignalAboveBackground)
{
    auto s = XSyntheticSample::Make(SmallSettings());
    ASSERT_EQ(s->GetChannelCount(), 3u);
    EXPECT_EQ(s->GetTimepointCount(), 3u);
    const XSyntheticSample::Settings settings = SmallSettings();
    EXPECT_DOUBLE_EQ(s->GetCalibrationZ(), settings.calibrationZ);
    EXPECT_DOUBLE_EQ(s->GetTimepointTimeFromStart(3).GetSeconds(), 2 * settings.interval);
    for (uint32_t c = 1; c <= 3; ++c) {
        const XGrey16Volume& v = Channel(*s, c, 1);
        EXPECT_EQ(v.GetBounds(), X3DRect(0, 0, 0, 96, 80, 24));
        // Noise stays near the offset of 100; cells reach well above it.
        double low = 0, high = 0;
        ASSERT_TRUE(XVolumeLevelScalingHelper::GetDataRange(v, low, high));
        EXPECT_GT(high, 1500) << "channel " << c;
        EXPECT_LT(v.GetVoxel(0, 0, 0), 200) << "channel " << c;
    }
}

TEST(SyntheticSample, RefusesSizesThatCannotBeMade)
{
    for (auto [width, depth] : {std::pair{96, 0}, {100000, 24}}) {
        XSyntheticSample::Settings s = SmallSettings();
        s.width = width;
        s.depth = depth;
        EXPECT_THROW(XSyntheticSample::Make(s), XException) << width << " x " << depth;
    }
}

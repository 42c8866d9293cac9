#include "XARGB32Volume.h"
#include "XException.h"
#include "XFloat32Volume.h"
#include "XGrey16Volume.h"
#include "XGrey8Volume.h"
#include "XVolumeLevelScalingHelper.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <type_traits>
#include <utility>
#include <vector>

TEST(XVolumeLevelScalingHelper, MapsTheDisplayRangeOntoLevels)
{
    // 100.4 rounds down, 100.5 up at the half; an inverted range runs backwards, a zero-width one is a threshold.
    const struct {
        double black, white, value;
        int level;
    } cases[] = {{100, 355, 99, 0},      {100, 355, 100, 0},     {100, 355, 100.4, 0},   {100, 355, 100.5, 1},
                 {100, 355, 354.4, 254}, {100, 355, 354.6, 255}, {100, 355, 355, 255},   {100, 355, 1e30, 255},
                 {100, 355, -1e30, 0},   {100, 355, NAN, 0},     {255, 0, 0, 255},       {255, 0, 255, 0},
                 {255, 0, 55, 200},      {10, 10, 9.99, 0},      {10, 10, 10, 255}};
    for (const auto& c : cases)
        EXPECT_EQ(XVolumeLevelScalingHelper(c.black, c.white).MapValue(c.value), c.level)
            << c.value << " in " << c.black << " to " << c.white;
    EXPECT_THROW(XVolumeLevelScalingHelper(0.0, INFINITY), XException);
}

TEST(XVolumeLevelScalingHelper, LookupTablesCoverTheVoxelRange)
{
    XVolumeLevelScalingHelper h(1000.0, 3000.0);
    EXPECT_EQ(h.MakeLookupTable(XVoxelType::kGrey16).size(), 65536u);
    EXPECT_EQ(h.MakeLookupTable(XVoxelType::kGrey8).size(), 256u);

    XGrey16Volume v(3, 1, 1);
    const uint16_t values[] = {500, 2000, 4000};
    const uint8_t expected[] = {0, 128, 255};
    for (int32_t x = 0; x < 3; ++x)
        v.SetVoxel(x, 0, 0, values[x]);
    XGrey8Volume levels;
    h.MapVolume(v, levels);
    for (int32_t x = 0; x < 3; ++x)
        EXPECT_EQ(levels.GetVoxel(x, 0), expected[x]) << values[x];
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
    EXPECT_FALSE(XVolumeLevelScalingHelper::GetDataRange(XGrey8Volume(), lo, hi));

    XARGB32Volume colour(1, 1, 1);
    colour.SetVoxel(0, 0, XARGB32Colour(255, 3, 90, 40)); // alpha is not data
    ASSERT_TRUE(XVolumeLevelScalingHelper::GetDataRange(colour, lo, hi));
    EXPECT_DOUBLE_EQ(lo, 3.0);
    EXPECT_DOUBLE_EQ(hi, 90.0);
}

namespace {
// A volume of one row holding each (value, count) run in turn.
template <class V>
std::unique_ptr<XVolume> MakeRuns(const std::vector<std::pair<double, int>>& inRuns)
{
    int32_t n = 0;
    for (const auto& run : inRuns)
        n += run.second;
    auto volume = std::make_unique<V>(std::max(n, 1), 1, 1);
    auto* p = volume->GetVoxelLayer(0);
    for (const auto& [value, count] : inRuns)
        for (int i = 0; i < count; ++i)
            *p++ = static_cast<std::remove_reference_t<decltype(*p)>>(value);
    return volume;
}
} // namespace

TEST(XVolumeLevelScalingHelper, AutoDisplayRangeSaturatesAFewVoxelsAtEachEnd)
{
    using Runs = std::vector<std::pair<double, int>>;
    // 9930 voxels between 100 and 199: 99 of each value and 30 more of 150.
    Runs body;
    for (int v = 100; v < 200; ++v)
        body.push_back({double(v), v == 150 ? 129 : 99});
    auto with = [&](Runs inExtra) {
        inExtra.insert(inExtra.end(), body.begin(), body.end());
        return inExtra;
    };
    struct XCase {
        const char* what;
        XVoxelType type;
        std::vector<Runs> volumes;
        bool found;
        double black, white;
    } cases[] = {
        // 10000 counted voxels: 35 may saturate at each end, so the outliers go.
        {"outliers clipped, background ignored", XVoxelType::kGrey16, {with({{0, 5000}, {5, 35}, {60000, 35}})}, true, 100, 199},
        // 10002 counted: still 35, so 36 outliers are one too many to clip.
        {"one outlier too many", XVoxelType::kGrey16, {with({{5, 36}, {60000, 36}})}, true, 5, 60000},
        {"timepoints pooled", XVoxelType::kGrey16, {with({{5, 20}}), {{{5, 15}, {60000, 35}, {0, 900}}}}, true, 100, 199},
        // Sparse 8-bit data: 1000 counted voxels, 3 may saturate.
        {"sparse 8-bit", XVoxelType::kGrey8, {{{0, 100000}, {40, 800}, {255, 197}, {7, 3}}}, true, 40, 255},
        {"a single value shows over black", XVoxelType::kGrey16, {{{0, 10}, {1000, 50}}}, true, 0, 1000},
        {"all background", XVoxelType::kGrey16, {{{0, 500}}}, false, 0, 0},
        {"float extremes", XVoxelType::kFloat32, {{{1.0, 1000}, {3.0, 1000}, {0.0, 50}}}, true, 1.0, 3.0},
        {"float only NaN", XVoxelType::kFloat32, {{{double(NAN), 10}}}, false, 0, 0},
    };
    for (const XCase& c : cases) {
        std::vector<std::unique_ptr<XVolume>> held;
        std::vector<const XVolume*> volumes;
        for (const Runs& runs : c.volumes) {
            held.push_back(c.type == XVoxelType::kGrey8    ? MakeRuns<XGrey8Volume>(runs)
                           : c.type == XVoxelType::kGrey16 ? MakeRuns<XGrey16Volume>(runs)
                                                           : MakeRuns<XFloat32Volume>(runs));
            volumes.push_back(held.back().get());
        }
        double black = -1, white = -1;
        ASSERT_EQ(XVolumeLevelScalingHelper::GetAutoDisplayRange(volumes, black, white), c.found) << c.what;
        if (c.found) {
            EXPECT_DOUBLE_EQ(black, c.black) << c.what;
            EXPECT_DOUBLE_EQ(white, c.white) << c.what;
        }
    }
    // Colour volumes have no single value to count.
    XARGB32Volume colour(4, 4, 1);
    double black = 0, white = 0;
    EXPECT_FALSE(XVolumeLevelScalingHelper::GetAutoDisplayRange({&colour}, black, white));
}

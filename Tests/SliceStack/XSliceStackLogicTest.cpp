// The module's arithmetic without OpenGL: which stack a view draws and in which
// order, the slices' weight, channel levels and the models' properties.
#include "XGrey16Volume.h"
#include "XGrey8Volume.h"
#include "XSliceStackLevels.h"
#include "XSliceStackModels.h"
#include "XSliceStackView.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {
const X3DRect kBox(0, 0, 0, 10, 10, 10);

// Column-major model-view: rotation by inDegrees about axis inAxis, then scale per
// voxel axis, then a step of inDistance away from the viewer.
struct XModelView {
    double m[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    XModelView(int inAxis, double inDegrees, double inDistance, double sx = 1, double sy = 1, double sz = 1)
    {
        const double c = std::cos(inDegrees * M_PI / 180), s = std::sin(inDegrees * M_PI / 180);
        double r[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
        const int a = (inAxis + 1) % 3, b = (inAxis + 2) % 3;
        r[a][a] = c, r[a][b] = -s, r[b][a] = s, r[b][b] = c;
        const double scale[3] = {sx, sy, sz};
        for (int row = 0; row < 3; ++row)
            for (int col = 0; col < 3; ++col)
                m[col * 4 + row] = r[row][col] * scale[col];
        // The box's centre (5, 5, 5) lands at (0, 0, -distance).
        for (int row = 0; row < 3; ++row)
            m[12 + row] = -(m[row] * 5 + m[4 + row] * 5 + m[8 + row] * 5) - (row == 2 ? inDistance : 0.0);
    }
};
} // namespace

TEST(XSliceStackView, DrawsTheStackFacingTheViewerFarSlicesFirstFromOutsideOrInside)
{
    const XSliceStackView front(XModelView(0, 0, 30).m, false, kBox);
    EXPECT_EQ(front.GetAxis(), 2);
    // The viewer looks down −z from +z: slice 9 is nearest.
    EXPECT_EQ(front.GetBackToFrontOrder(10, 0), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
    EXPECT_EQ(XSliceStackView(XModelView(1, 60, 30).m, false, kBox).GetAxis(), 0);
    EXPECT_EQ(XSliceStackView(XModelView(1, 30, 30).m, false, kBox).GetAxis(), 2);
    EXPECT_EQ(XSliceStackView(XModelView(0, -80, 30).m, false, kBox).GetAxis(), 1);
    // Turned half round, the order reverses.
    const XSliceStackView back(XModelView(1, 180, 30).m, false, kBox);
    EXPECT_EQ(back.GetAxis(), 2);
    EXPECT_EQ(back.GetBackToFrontOrder(3, 0), (std::vector<int>{2, 1, 0}));
    // Parallel projection: the same by direction alone.
    EXPECT_EQ(XSliceStackView(XModelView(1, 180, 30).m, true, kBox).GetBackToFrontOrder(3, 0),
              (std::vector<int>{2, 1, 0}));

    // A viewer inside the stack sees both ends first.
    // 2 units in front of the centre (z = 5 + 2 = 7 in voxels), inside 0..10.
    const XSliceStackView view(XModelView(0, 0, 2).m, false, kBox);
    const std::vector<int> order = view.GetBackToFrontOrder(10, 0);
    ASSERT_EQ(order.size(), 10u);
    EXPECT_EQ(order.front(), 0);
    EXPECT_EQ(order.back() == 6 || order.back() == 7, true);
    // Distances from the viewer never grow along the order.
    for (size_t i = 1; i < order.size(); ++i)
        EXPECT_GE(std::fabs(order[i - 1] + 0.5 - 7.0), std::fabs(order[i] + 0.5 - 7.0));
}

TEST(XSliceStackView, CalibrationDecidesTheFacingStackAndTheSliceWeight)
{
    // z voxels three times deeper: the box is 30 units deep, and a slice stands for its
    // spacing in sixteenths of that.
    const double sixteenth = 30.0 / XSliceStackView::kSlicesPerLongestSide;
    EXPECT_NEAR(XSliceStackView(XModelView(0, 0, 30, 1, 1, 3).m, true, kBox).GetSliceWeight(), 3.0 / sixteenth, 1e-9);
    EXPECT_NEAR(XSliceStackView(XModelView(1, 90, 30, 1, 1, 3).m, true, kBox).GetSliceWeight(), 1.0 / sixteenth, 1e-9);
    // Seen at 40° from z, each z slice stands for 1/cos 40° of the ray.
    const XSliceStackView oblique(XModelView(1, 40, 30).m, true, kBox);
    EXPECT_EQ(oblique.GetAxis(), 2);
    EXPECT_NEAR(oblique.GetSliceWeight() * 10.0 / XSliceStackView::kSlicesPerLongestSide,
                1.0 / std::cos(40 * M_PI / 180), 1e-9);
    // Resolution does not matter: twice the voxels at half the size weigh half each.
    const X3DRect fine(0, 0, 0, 20, 20, 20);
    EXPECT_NEAR(XSliceStackView(XModelView(0, 0, 30, 0.5, 0.5, 0.5).m, true, fine).GetSliceWeight(),
                0.5 * XSliceStackView(XModelView(0, 0, 30).m, true, kBox).GetSliceWeight(), 1e-9);
    // A box stretched 4× in z is turned 30° about y: in eye space the z planes' normal
    // is 30° from the line of sight, x planes' 60°, whatever the stretch.
    EXPECT_EQ(XSliceStackView(XModelView(1, 30, 30, 1, 1, 4).m, true, kBox).GetAxis(), 2);
    // A degenerate matrix keeps the z stack at weight 1 rather than failing.
    const double zero[16] = {};
    const XSliceStackView degenerate(zero, false, kBox);
    EXPECT_EQ(degenerate.GetAxis(), 2);
    EXPECT_EQ(degenerate.GetSliceWeight(), 1.0);
}

TEST(XSliceStackLevels, MapsThroughTheDisplayRangeAndLaysOutEachStack)
{
    XGrey16Volume volume(X3DRect(0, 0, 0, 3, 2, 4));
    for (int z = 0; z < 4; ++z)
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 3; ++x)
                volume.SetVoxel(x, y, z, uint16_t(1000 + 100 * x + 10 * y + z));
    // 1000 → 0, 1255 → 255.
    const XSliceStackLevels levels(volume, XImageRenderer(XARGB32Colour::kWhite, 1000.0, 1255.0));
    EXPECT_EQ(levels.GetLevel(0, 0, 0), 0);
    EXPECT_EQ(levels.GetLevel(2, 1, 3), 213);
    EXPECT_EQ(levels.GetLevel(1, 1, 2), 112);

    // Each stack's slice layout: the slice, its size, and a texel (across, up) that
    // must hold voxel (x, y, z).
    struct XCase {
        XSliceStackLevels::XAxis axis;
        int32_t slice, across, up;
        int32_t u, v, x, y, z;
    } cases[] = {
        {XSliceStackLevels::kAxisZ, 3, 3, 2, 2, 1, 2, 1, 3},
        {XSliceStackLevels::kAxisY, 1, 3, 4, 1, 2, 1, 1, 2}, // x across, z up, a slice per y
        {XSliceStackLevels::kAxisX, 1, 2, 4, 1, 2, 1, 1, 2}, // y across, z up, a slice per x
        {XSliceStackLevels::kAxisX, 2, 2, 4, 0, 3, 2, 0, 3},
    };
    for (const XCase& c : cases) {
        int32_t across = 0, up = 0, slices = 0;
        XSliceStackLevels::GetSliceVolumeSize(c.axis, 3, 2, 4, across, up, slices);
        EXPECT_EQ(across, c.across);
        EXPECT_EQ(up, c.up);
        std::vector<uint8_t> slice(size_t(across * up) + 1, 77); // one guard byte
        levels.FillSlice(c.axis, c.slice, slice.data());
        EXPECT_EQ(slice[size_t(c.v * across + c.u)], levels.GetLevel(c.x, c.y, c.z)) << "axis " << c.axis;
        EXPECT_EQ(slice.back(), 77) << "axis " << c.axis << " wrote past its slice";
    }

    // Gamma and inverted ranges come from the image renderer.
    XGrey8Volume grey(X3DRect(0, 0, 0, 2, 1, 1));
    grey.SetVoxel(0, 0, 0, uint8_t(64));
    grey.SetVoxel(1, 0, 0, uint8_t(200));
    const XImageRenderer inverted(XARGB32Colour::kWhite, 255.0, 0.0);
    EXPECT_EQ(XSliceStackLevels(grey, inverted).GetLevel(0, 0, 0), inverted.MapValue(64));
    EXPECT_EQ(XSliceStackLevels(grey, inverted).GetLevel(1, 0, 0), inverted.MapValue(200));
    const XImageRenderer gamma(XARGB32Colour::kWhite, 0.0, 255.0, 2.0);
    EXPECT_EQ(XSliceStackLevels(grey, gamma).GetLevel(0, 0, 0), gamma.MapValue(64));
    EXPECT_GT(gamma.MapValue(64), 64);
}

TEST(XSliceStackModels, CompletesASpecificationForDrawing)
{
    using XShading = XChannelShadeSpecification;
    XShading shading;
    shading.SetShaderModel(XShading::kIsosurface);
    shading.SetProperty(XShading::kBrightness, 25.0f);
    XShading done = XSliceStackModels::Completed(shading);
    EXPECT_EQ(done.GetShaderModel(), XShading::kFluorescence);
    EXPECT_EQ(done.GetProperty(XShading::kBrightness), 10.0f);
    EXPECT_EQ(done.GetProperty(XShading::kOpacity), 0.5f);
    shading.SetShaderModel(XShading::kMaximumIP);
    shading.SetProperty(XShading::kBrightness, -1.0f);
    done = XSliceStackModels::Completed(shading);
    EXPECT_EQ(done.GetProperty(XShading::kBrightness), 0.0f);
    EXPECT_EQ(done.GetProperty(XShading::kOpacity), 1.0f);
}

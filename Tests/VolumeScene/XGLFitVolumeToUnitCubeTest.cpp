// The unit-cube fit, read back as the model-view matrix its children are drawn with.
#include "VolumeSceneTestSupport.h"
#include "WGLWnd.h"
#include "XGLContextLock.h"
#include "XAssertRecorder.h"
#include "XGLFitVolumeToUnitCube.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace VolumeSceneTest;

namespace {
// Draws a fit node in a window and returns the fit's own matrix: the probe's
// model-view with the window's model-view taken out.
struct XFitFixture {
    WGLWnd window{64, 64};
    XMatrixProbe outside;
    XGLFitVolumeToUnitCube cube;
    XMatrixProbe inside;

    XFitFixture(const X3DRect& inRect, uint32_t inStyle) : cube(inRect, inStyle)
    {
        window.AddChild(outside);
        window.AddChild(cube);
        cube.AddChild(inside);
    }
    ~XFitFixture()
    {
        window.RemoveChild(outside);
        window.RemoveChild(cube);
    }
    X3DMatrix Fit()
    {
        std::unique_ptr<XVolume> picture(window.RenderToVolume());
        EXPECT_EQ(outside.renderCount, 1);
        return !static_cast<const X3DMatrix&>(outside.modelView) * inside.modelView;
    }
};

// Where the fit puts voxel point p.
std::array<double, 3> Map(const X3DMatrix& inFit, double inX, double inY, double inZ)
{
    const X3DMatrix p = inFit * X3DMatrix::ColumnVector({inX, inY, inZ, 1.0});
    return {p(0, 0), p(1, 0), p(2, 0)};
}
} // namespace

TEST(XGLFitVolumeToUnitCube, TheBoxIsCentredAndScaledByItsStyleAndCalibration)
{
    const double diagonal = std::sqrt(100.0 * 100 + 50 * 50 + 20 * 20);
    const struct {
        const char* name;
        X3DRect box;
        uint32_t style;
        double zScaling;
        std::array<double, 3> farCorner; // where the box's right, bottom, back corner lands
        double scale;                    // of x
    } cases[] = {
        // An offset box: the fit must take its origin away too.
        {"longest side", X3DRect(10, 20, 5, 110, 70, 25), 1, 1.0, {0.5, 0.25, 0.1}, 0.01},
        // The diagonal style keeps the box inside the unit sphere.
        {"diagonal", X3DRect(0, 0, 0, 100, 50, 20), 0, 1.0, {50 / diagonal, 25 / diagonal, 10 / diagonal}, 1 / diagonal},
        // Voxels four times as deep as wide: a cube once calibrated.
        {"calibrated cube", X3DRect(0, 0, 0, 100, 100, 25), 1, 4.0, {0.5, 0.5, 0.5}, 0.01},
        // The calibrated depth 80 is not the longest side.
        {"calibrated box", X3DRect(0, 0, 0, 100, 50, 20), 1, 4.0, {0.5, 0.25, 0.4}, 0.01},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        XFitFixture f(c.box, c.style);
        f.cube.SetSecondaryZScaling(c.zScaling);
        const X3DMatrix fit = f.Fit();
        EXPECT_NEAR(fit(0, 0), c.scale, 1e-6);
        EXPECT_NEAR(fit(1, 1), c.scale, 1e-6);
        const auto centre = Map(fit, (c.box.left + c.box.right) / 2.0, (c.box.top + c.box.bottom) / 2.0,
                                (c.box.front + c.box.back) / 2.0);
        const auto corner = Map(fit, c.box.right, c.box.bottom, c.box.back);
        for (size_t i = 0; i < 3; ++i) {
            EXPECT_NEAR(centre[i], 0.0, 1e-6) << "axis " << i;
            EXPECT_NEAR(corner[i], c.farCorner[i], 1e-6) << "axis " << i;
        }
        // A copy fits as the original does.
        XGLFitVolumeToUnitCube copy(f.cube);
        f.window.RemoveChild(f.cube);
        f.window.AddChild(copy);
        copy.AddChild(f.inside);
        f.outside.renderCount = 0;
        EXPECT_TRUE(f.Fit().IsNearlyEqual(fit, 1e-9)) << "the copy fits otherwise";
        f.window.RemoveChild(copy);
        copy.RemoveChild(f.inside);
        f.window.AddChild(f.cube);
    }
}

TEST(XGLFitVolumeToUnitCube, CalibrationMustBeAPositiveNumber)
{
    XFitFixture f(X3DRect(0, 0, 0, 100, 50, 20), 1);
    f.cube.SetSecondaryZScaling(4.0);
    XAssertRecorder reports;
    for (double bad : {0.0, -2.0, std::nan(""), HUGE_VAL}) {
        f.cube.SetSecondaryZScaling(bad);
        f.cube.SetSecondaryXScaling(bad);
    }
    EXPECT_EQ(reports.GetCount(), 8u);
    EXPECT_TRUE(reports.Has("inScale > 0"));
    EXPECT_EQ(f.cube.GetSecondaryZScaling(), 4.0);
    EXPECT_EQ(f.cube.GetSecondaryXScaling(), 1.0);
    EXPECT_NEAR(f.cube.GetScalingVector()[2], 4.0 / std::sqrt(18.0), 1e-6);
    const XGLMatrix correction = f.cube.GetScalingCorrectionMatrix();
    EXPECT_NEAR(correction(2, 2), 0.25, 1e-12);
    EXPECT_NEAR(correction(0, 0), 1.0, 1e-12);
    EXPECT_NEAR(Map(f.Fit(), 100, 50, 20)[2], 0.4, 1e-6);
}

TEST(XGLFitVolumeToUnitCube, AnEmptyBoxDrawsNothingAndTheFrameShowsOnlyWhenAsked)
{
    XFitFixture f(X3DRect(), 1);
    std::unique_ptr<XVolume> picture(f.window.RenderToVolume());
    EXPECT_EQ(f.inside.renderCount, 0);
    // A flat box (no depth) is empty too: the diagonal fit would still work, the longest-side one not always.
    f.cube.SetFitRect(X3DRect(0, 0, 0, 10, 10, 0));
    picture.reset(f.window.RenderToVolume());
    EXPECT_EQ(f.inside.renderCount, 0);
    f.cube.SetFitRect(X3DRect(0, 0, 0, 100, 100, 100));
    picture.reset(f.window.RenderToVolume());
    EXPECT_EQ(f.inside.renderCount, 1);
    EXPECT_EQ(CountNonBackground(*picture), 0);
    f.cube.ShowVolumeFrame();
    picture.reset(f.window.RenderToVolume());
    EXPECT_GT(CountNonBackground(*picture), 50);
}

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

TEST(XGLFitVolumeToUnitCube, LongestSideStyleScalesByTheLongestSideAndCentres)
{
    // An offset box: the fit must take its origin away too.
    XFitFixture f(X3DRect(10, 20, 5, 110, 70, 25), 1);
    const X3DMatrix fit = f.Fit();
    EXPECT_NEAR(fit(0, 0), 1.0 / 100, 1e-6);
    EXPECT_NEAR(fit(1, 1), 1.0 / 100, 1e-6);
    EXPECT_NEAR(fit(2, 2), 1.0 / 100, 1e-6);
    const auto centre = Map(fit, 60, 45, 15);
    EXPECT_NEAR(centre[0], 0.0, 1e-6);
    EXPECT_NEAR(centre[1], 0.0, 1e-6);
    EXPECT_NEAR(centre[2], 0.0, 1e-6);
    const auto corner = Map(fit, 110, 70, 25);
    EXPECT_NEAR(corner[0], 0.5, 1e-6);
    EXPECT_NEAR(corner[1], 0.25, 1e-6);
    EXPECT_NEAR(corner[2], 0.1, 1e-6);
}

TEST(XGLFitVolumeToUnitCube, DiagonalStyleKeepsTheBoxInsideTheUnitSphere)
{
    XFitFixture f(X3DRect(0, 0, 0, 100, 50, 20), 0);
    const X3DMatrix fit = f.Fit();
    const double d = std::sqrt(100.0 * 100 + 50 * 50 + 20 * 20);
    EXPECT_NEAR(fit(0, 0), 1.0 / d, 1e-6);
    EXPECT_NEAR(fit(2, 2), 1.0 / d, 1e-6);
    const auto corner = Map(fit, 100, 50, 20);
    EXPECT_NEAR(std::sqrt(corner[0] * corner[0] + corner[1] * corner[1] + corner[2] * corner[2]), 0.5, 1e-6);
}

TEST(XGLFitVolumeToUnitCube, CalibratedScalingStretchesTheShortAxis)
{
    // 100 × 100 × 25 voxels four times as deep as wide: a cube once calibrated.
    XFitFixture f(X3DRect(0, 0, 0, 100, 100, 25), 1);
    f.cube.SetSecondaryZScaling(4.0);
    const X3DMatrix fit = f.Fit();
    const auto corner = Map(fit, 100, 100, 25);
    EXPECT_NEAR(corner[0], 0.5, 1e-6);
    EXPECT_NEAR(corner[1], 0.5, 1e-6);
    EXPECT_NEAR(corner[2], 0.5, 1e-6);

    // And (1, 1, 4) on the 100 × 50 × 20 box: the calibrated depth 80 is not the longest.
    XFitFixture g(X3DRect(0, 0, 0, 100, 50, 20), 1);
    g.cube.SetSecondaryZScaling(4.0);
    const auto far = Map(g.Fit(), 100, 50, 20);
    EXPECT_NEAR(far[0], 0.5, 1e-6);
    EXPECT_NEAR(far[1], 0.25, 1e-6);
    EXPECT_NEAR(far[2], 0.4, 1e-6);

    const XMathVectorF3 v = g.cube.GetScalingVector();
    EXPECT_NEAR(v[2], 4.0 / std::sqrt(18.0), 1e-6);
    const XGLMatrix correction = g.cube.GetScalingCorrectionMatrix();
    EXPECT_NEAR(correction(2, 2), 0.25, 1e-12);
    EXPECT_NEAR(correction(0, 0), 1.0, 1e-12);
}

TEST(XGLFitVolumeToUnitCube, EmptyRectangleDrawsNothingUntilItHasASize)
{
    XFitFixture f(X3DRect(), 1);
    std::unique_ptr<XVolume> picture(f.window.RenderToVolume());
    EXPECT_EQ(f.inside.renderCount, 0);
    // A flat box (no depth) is empty too: the diagonal fit would still work, the longest-side one not always.
    f.cube.SetFitRect(X3DRect(0, 0, 0, 10, 10, 0));
    picture.reset(f.window.RenderToVolume());
    EXPECT_EQ(f.inside.renderCount, 0);
    f.cube.SetFitRect(X3DRect(0, 0, 0, 10, 10, 1));
    picture.reset(f.window.RenderToVolume());
    EXPECT_EQ(f.inside.renderCount, 1);
}

TEST(XGLFitVolumeToUnitCube, FrameOutlinesTheBoxOnlyWhenShown)
{
    XFitFixture f(X3DRect(0, 0, 0, 100, 100, 100), 1);
    std::unique_ptr<XVolume> hidden(f.window.RenderToVolume());
    EXPECT_EQ(CountNonBackground(*hidden), 0);
    f.cube.ShowVolumeFrame();
    std::unique_ptr<XVolume> shown(f.window.RenderToVolume());
    EXPECT_GT(CountNonBackground(*shown), 50);
}

TEST(XGLFitVolumeToUnitCube, ACopyFitsAsTheOriginalDoes)
{
    XFitFixture f(X3DRect(0, 0, 0, 100, 50, 20), 1);
    f.cube.SetSecondaryZScaling(4.0);
    const X3DMatrix original = f.Fit();

    XGLFitVolumeToUnitCube copy(f.cube);
    f.window.RemoveChild(f.cube);
    f.window.AddChild(copy);
    copy.AddChild(f.inside);
    f.outside.renderCount = 0;
    const X3DMatrix copied = f.Fit();
    f.window.RemoveChild(copy);
    copy.RemoveChild(f.inside);
    f.window.AddChild(f.cube);
    for (size_t r = 0; r < 4; ++r)
        for (size_t c = 0; c < 4; ++c)
            EXPECT_NEAR(copied(r, c), original(r, c), 1e-9) << r << "," << c;
}

TEST(XGLFitVolumeToUnitCube, RefusesCalibrationThatIsNotAPositiveNumber)
{
    XFitFixture f(X3DRect(0, 0, 0, 100, 100, 25), 1);
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
    const XGLMatrix correction = f.cube.GetScalingCorrectionMatrix();
    EXPECT_NEAR(correction(2, 2), 0.25, 1e-12);
    const auto corner = Map(f.Fit(), 100, 100, 25);
    EXPECT_NEAR(corner[2], 0.5, 1e-6);
}

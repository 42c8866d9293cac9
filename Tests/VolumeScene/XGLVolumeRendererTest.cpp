// The legacy renderer base through a renderer that draws one textured slice.
#include "VolumeSceneTestSupport.h"
#include "WGLWnd.h"
#include "XAssertRecorder.h"
#include "XCamera.h"
#include "XException.h"
#include "XGLVolumeRenderer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

using namespace VolumeSceneTest;

namespace {
const XARGB32Colour kSliceColour(255, 40, 200, 60);

struct XRendererFixture {
    WOffscreenRendererView view{200, 150};
    XSliceRenderer renderer{view, SolidVolume(100, 50, 20, kSliceColour)};

    std::unique_ptr<XARGB32Volume> Picture()
    {
        auto picture = std::make_unique<XARGB32Volume>(320, 240, 1);
        renderer.Render(*picture);
        return picture;
    }
    void AllDecorationsOff()
    {
        renderer.ShowFloor(false);
        renderer.ShowOrientator(false);
        renderer.ShowScale(false);
    }
};

bool IsSliceColour(const XARGB32Colour& inPixel)
{
    return std::abs(inPixel.red - kSliceColour.red) <= 2 && std::abs(inPixel.green - kSliceColour.green) <= 2 &&
           std::abs(inPixel.blue - kSliceColour.blue) <= 2;
}
} // namespace

namespace {
// Without OpenGL no window can be made: the renderer must refuse to exist rather
// than live on without one. Runs in a fresh process, before any GL is loaded.
[[noreturn]] void MakeRendererWithoutOpenGL()
{
    setenv("KESTRIN_GL_LIBRARY", "libkestrin-no-such-gl.so.1", 1);
    WOffscreenRendererView view{64, 48};
    XAssertRecorder reports;
    try {
        XSliceRenderer renderer{view, SolidVolume(4, 4, 4, kSliceColour)};
        fprintf(stderr, "renderer made\n");
        _exit(1);
    } catch (const XException& e) {
        const std::string message = e.what();
        fprintf(stderr, "code %d, report %d, window %p: %s\n", e.GetErrorCode(), int(reports.Has("itsContext != 0")),
                static_cast<void*>(view.GetRendererEnclosureWnd().GetRendererWnd()), message.c_str());
        const bool ok = e.GetErrorCode() == XException::kOpenGLError && reports.Has("itsContext != 0") &&
                        !view.GetRendererEnclosureWnd().GetRendererWnd() &&
                        message.find("could not create its OpenGL window") != std::string::npos;
        _exit(ok ? 0 : 2);
    }
}
} // namespace

TEST(XGLVolumeRenderer, WithoutOpenGLConstructionThrowsAndLeavesNoWindow)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(MakeRendererWithoutOpenGL(), testing::ExitedWithCode(0), "code 3504, report 1, window \\(nil\\)");
}

TEST(XGLVolumeRenderer, RendersAtTheImageSizeWithTheSliceInTheMiddleAndDecorationsInTheirPlaces)
{
    XRendererFixture f;
    EXPECT_EQ(f.view.GetRendererEnclosureWnd().GetRendererWnd(), &f.renderer.GetWindow());
    EXPECT_TRUE(f.renderer.GetWindow().GetChildren().DoesContain(&f.renderer.GetVolumeScene()));
    f.AllDecorationsOff();
    auto bare = f.Picture();
    ASSERT_EQ(bare->GetWidth(), 320);
    ASSERT_EQ(bare->GetHeight(), 240);
    EXPECT_TRUE(IsBackground(PixelAt(*bare, 2, 2)));
    // The fitted slice is twice as wide as high (100 × 50 voxels); the 10° tilt
    // foreshortens the height slightly.
    const XSpread slice = SpreadOf(*bare, IsSliceColour);
    EXPECT_GT(slice.right - slice.left, 20);
    EXPECT_NEAR(slice.centreX, 160, 1);
    EXPECT_NEAR(slice.centreY, 120, 2);
    EXPECT_NEAR(double(slice.right - slice.left + 1) / (slice.bottom - slice.top + 1), 2.0, 0.25);
    EXPECT_GT(slice.GetFill(), 0.95);
    // The window keeps its own size, and follows its enclosure's.
    EXPECT_EQ(WindowOf(f.renderer).GetWidth(), 200);
    f.view.GetRendererEnclosureWnd().SetSize(120, 90);
    EXPECT_EQ(WindowOf(f.renderer).GetHeight(), 90);

    f.renderer.ShowFloor(true);
    auto floor = f.Picture();
    EXPECT_GT(CountDifferences(*bare, *floor), 500);
    // The floor is below the volume.
    int lower = 0, upper = 0;
    for (int y = 0; y < 240; ++y)
        for (int x = 0; x < 320; ++x)
            if (!IsBackground(PixelAt(*floor, x, y)) && IsBackground(PixelAt(*bare, x, y)))
                (y > 120 ? lower : upper)++;
    EXPECT_GT(lower, upper);

    // Each decoration's own picture is the scene's test; all of them together still
    // leave the slice in view.
    f.renderer.GetVolumeScene().CalibrateScale(1, 1, 4, X3DRect(0, 0, 0, 100, 50, 20));
    f.renderer.ShowScale(true);
    f.renderer.ShowScaleCalibration(true);
    f.renderer.ShowOrientator(true);
    auto all = f.Picture();
    SavePNG(*all, "VolumeRendererDecorations");
    EXPECT_GT(CountDifferences(*floor, *all), 100) << "the scale and the orientator did not show";
    EXPECT_TRUE(IsSliceColour(PixelAt(*all, 160, 120)));
}

TEST(XGLVolumeRenderer, ResetViewRestoresTheTiltedCameraAndScales)
{
    XRendererFixture f;
    XCamera tilted;
    f.renderer.GetCamera(tilted);
    XCamera expected;
    expected.RotateAroundPoint(XMathVectorF3(0, 0, 0), -10.0f, XMathVectorF3(1, 0, 0));
    EXPECT_EQ(tilted, expected);
    f.renderer.SetCamera(XCamera());
    f.renderer.SetWorldScale(2.5f);
    f.renderer.SetSceneScale(0.5f);
    f.renderer.ResetView();
    XCamera reset;
    f.renderer.GetCamera(reset);
    EXPECT_EQ(reset, expected);
    EXPECT_FLOAT_EQ(f.renderer.GetWorldScale(), 1.0f);
    EXPECT_FLOAT_EQ(f.renderer.GetSceneScale(), 1.0f);
    // A pattern the floor does not have falls back to the plain one.
    f.renderer.SetFloorPattern(7);
    EXPECT_EQ(f.renderer.GetFloorPattern(), 0u);
}

TEST(XGLVolumeRenderer, TransformMatricesMapOntoTheQueueAndToolsInstallTheirHooks)
{
    XRendererFixture f;
    XGLMatrix m;
    m.RotateY(35);
    m.RotateX(-20);
    f.renderer.SetTransformMatrix(5, m);
    X3DMatrix volume;
    f.renderer.GetVolumeWorldMatrix(volume);
    EXPECT_TRUE(volume == static_cast<const X3DMatrix&>(m));

    XGLMatrix w;
    w.RotateZ(10);
    f.renderer.SetTransformMatrix(0, w);
    EXPECT_TRUE(static_cast<const X3DMatrix&>(f.renderer.GetVolumeScene().GetWorldTransform().GetRotation()) ==
                static_cast<const X3DMatrix&>(w));

    // Outside 0–5: reported, and nothing changes, the output included.
    XAssertRecorder recorder;
    f.renderer.SetTransformMatrix(6, w);
    X3DMatrix untouched = X3DMatrix::ColumnVector(7.0, 8.0, 9.0);
    f.renderer.GetTransformMatrix(99, untouched);
    EXPECT_TRUE(untouched == X3DMatrix::ColumnVector(7.0, 8.0, 9.0));
    EXPECT_GE(recorder.GetCount(), 2u);

    // The screen-to-volume matrix undoes the volume's last drawing.
    f.Picture();
    X3DMatrix screenToVolume;
    f.renderer.GetScreenToVolumeMatrix(screenToVolume);
    const X3DMatrix product =
        screenToVolume * static_cast<const X3DMatrix&>(f.renderer.GetVolumeScene().GetVolumeTransform().GetLastWorldToScreenMatrix());
    for (size_t r = 0; r < 4; ++r)
        for (size_t c = 0; c < 4; ++c)
            EXPECT_NEAR(product(r, c), r == c ? 1.0 : 0.0, 1e-6);

    // Each tool's hook is driven in the hook tests; a tool without one removes the last.
    f.renderer.SetTool(XVolumeRendererBase::kToolZoom);
    f.renderer.SetToolSelf(XVolumeRendererBase::kToolOther);
    EXPECT_EQ(f.renderer.GetToolHook(), nullptr);
    // With no hook a drag changes nothing.
    Drag(WindowOf(f.renderer), XPoint(100, 100), XPoint(100, 20));
    EXPECT_FLOAT_EQ(f.renderer.GetWorldScale(), 1.0f);
}

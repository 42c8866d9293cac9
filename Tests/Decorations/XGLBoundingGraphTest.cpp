// The scale graph: calibration arithmetic, refusal of unusable sizes, and its picture.
#include "DecorationTestSupport.h"
#include "XErrorCode.h"
#include "XException.h"
#include "XGLBoundingGraph.h"

#include <cmath>
#include <gtest/gtest.h>

using namespace DecorationTest;

TEST(XGLBoundingGraph, OneUnitIsTheLongestCalibratedSideAndUnusableSizesAreRefused)
{
    XGLBoundingGraph graph;
    // 100 × 50 × 20 voxels of 0.5 × 0.5 × 2 µm: 50 × 25 × 40 µm.
    double spacing = 0.0;
    EXPECT_DOUBLE_EQ(graph.CalibrateForDimension(10, 0.5, 0.5, 2.0, X3DRect(0, 0, 0, 100, 50, 20), &spacing), 50.0);
    EXPECT_DOUBLE_EQ(spacing, 5.0);
    const double spacings[3] = {10.0, 10.0, 2.5};
    const uint32_t counts[3] = {11, 6, 9};
    for (int axis = 0; axis < 3; ++axis) {
        EXPECT_DOUBLE_EQ(graph.GetTickSpacing(axis), spacings[axis]) << "axis " << axis;
        EXPECT_EQ(graph.GetTickCount(axis), counts[axis]) << "axis " << axis;
    }
    // The z side is the longest once its voxels are 10 µm deep.
    EXPECT_DOUBLE_EQ(graph.CalibrateForDimension(10, 0.5, 0.5, 10.0, X3DRect(10, 10, 5, 110, 60, 25)), 200.0);
    EXPECT_EQ(graph.GetTickCount(2), 11u);
    EXPECT_EQ(graph.GetTickCount(0), 3u);

    // Unusable sizes are refused and keep the last calibration.
    graph.CalibrateForDimension(10, 1.0, 1.0, 1.0, X3DRect(0, 0, 0, 10, 10, 10));
    for (double bad : {0.0, -1.0, std::nan(""), double(INFINITY)})
        EXPECT_EQ(CodeOf([&] { graph.CalibrateForDimension(10, 1.0, bad, 1.0, X3DRect(0, 0, 0, 20, 20, 20)); }),
                  XException::kBadArgument)
            << "a voxel size of " << bad;
    EXPECT_THROW(graph.CalibrateForDimension(10, 1.0, 1.0, 1.0, X3DRect()), XException);
    EXPECT_THROW(graph.CalibrateForDimension(0, 1.0, 1.0, 1.0, X3DRect(0, 0, 0, 5, 5, 5)), XException);
    EXPECT_EQ(graph.GetUnitLength(), 10.0);
    EXPECT_EQ(graph.GetRect(), X3DRect(0, 0, 0, 10, 10, 10));
    // A thousand-fold finer division is thinned rather than drawn tick by tick.
    graph.CalibrateForDimension(1000000, 1.0, 1.0, 1.0, X3DRect(0, 0, 0, 10, 10, 10));
    EXPECT_LE(graph.GetTickCount(0), 1001u);
}

TEST(XGLBoundingGraph, DrawsItsBoxInItsColour)
{
    // 200 × 200 orthographic; a 100-voxel cube scaled to 1 unit fills 100 pixels.
    WGLWnd window(200, 200);
    window.SetProjectionMode(XGLContext::kOrthographic);
    XGLRenderable fit;
    fit.SetScale(0.01);
    fit.SetTranslation(-0.5, -0.5, 0.0);
    XGLBoundingGraph graph;
    graph.SetColour(XARGB32Colour(255, 255, 255, 0));
    graph.CalibrateForDimension(10, 1.0, 1.0, 1.0, X3DRect(0, 0, 0, 100, 100, 100));
    fit.AddChild(graph);
    std::unique_ptr<XVolume> picture = Picture(window, fit);
    SavePNG(*picture, "bounding-graph");
    // Box edges at columns and rows 50 and 150; nothing in the middle of the box face.
    int yellow = 0, inside = 0;
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 200; ++x) {
            const XARGB32Colour p = PixelAt(*picture, x, y);
            if (p.red > 100 && p.green > 100 && p.blue < 40 && p.red == p.green)
                ++yellow;
            if (x > 60 && x < 140 && y > 60 && y < 140 && !IsBackground(p))
                ++inside;
        }
    EXPECT_GT(yellow, 300);
    EXPECT_EQ(inside, 0) << "seen face-on, the floor grid lies on the box's bottom edge";
}

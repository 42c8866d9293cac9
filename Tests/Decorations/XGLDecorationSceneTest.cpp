// All decorations together in a perspective view, arranged as the volume view hangs
// them, so that a person can judge the whole picture.
#include "DecorationTestSupport.h"
#include "XGLBoundingGraph.h"
#include "XGLDisableAttachment.h"
#include "XGLFloor.h"
#include "XGLInteractiveBall.h"
#include "XGLOrientator.h"
#include "XGLStaticText.h"
#include "XGLStaticTextAlignAttachment.h"
#include "XGLTimeDisplay.h"

#include <gtest/gtest.h>

using namespace DecorationTest;

TEST(XGLDecorations, TheWholeSceneDrawsEachDecorationInItsPlace)
{
    WGLWnd window(480, 360);
    XGLRenderable world, turn, fit;
    XGLFloor floor(10.0, 10.0, 1.2, 0.4);
    XGLInteractiveBall ball;
    XGLOrientator orientator;
    XGLBoundingGraph graph;
    XGLStaticText caption(12.0, 1, 0);
    XGLTimeDisplay time;

    world.AddChild(floor);
    world.AddChild(turn);
    XGLMatrix rotation;
    rotation.RotateY(30);
    rotation.RotateX(-20);
    turn.SetRotation(rotation);
    turn.AddChild(ball);
    turn.AddChild(fit);
    turn.AddChild(orientator);
    // A 100 × 80 × 40 volume of 1 × 1 × 2 µm voxels, fitted to the unit cube.
    fit.SetScale(0.01);
    fit.SetTranslation(-0.5, -0.4, -0.4);
    graph.SetColour(XARGB32Colour(255, 255, 255, 255));
    const double unit = graph.CalibrateForDimension(10, 1.0, 1.0, 2.0, X3DRect(0, 0, 0, 100, 80, 40));
    EXPECT_DOUBLE_EQ(unit, 100.0);
    caption.SetText(XString("1 Unit = %1 µm").Replace(XString::FromFloat64(unit, 1)));
    caption.SetPosition(0, 10, 0);
    caption.AddAttachment(new XGLDisableAttachment(GL_LIGHTING));
    caption.AddAttachment(new XGLDisableAttachment(GL_DEPTH_TEST));
    caption.AddAttachment(new XGLStaticTextAlignAttachment(1, -10));
    fit.AddChild(caption);
    fit.AddChild(graph);
    time.SetTime(XTime(12.5));
    window.AddChild(world);
    window.AddChild(time);

    std::unique_ptr<XVolume> picture = Picture(window);
    SavePNG(*picture, "decorations-scene");
    window.RemoveChild(world);
    window.RemoveChild(time);

    // The time stamp in the top-left corner, the marker in the bottom-left one, and
    // white text and lines in the middle.
    EXPECT_EQ(PixelAt(*picture, int(XGLTimeDisplay::kMargin + XGLTimeDisplay::kDigitWidth / 2),
                      int(XGLTimeDisplay::kMargin + 1)),
              XARGB32Colour::kWhite);
    int markerPixels = 0, whiteMiddle = 0;
    const int size = XGLOrientator::GetMarkerSize(480, 360);
    for (int y = 0; y < 360; ++y)
        for (int x = 0; x < 480; ++x) {
            const XARGB32Colour p = PixelAt(*picture, x, y);
            if (x < size && y >= 360 - size && p.red > 150 && p.green < 60 && p.blue < 60)
                ++markerPixels;
            if (x > 120 && x < 360 && y > 60 && y < 300 && p.red > 200 && p.green > 200 && p.blue > 200)
                ++whiteMiddle;
        }
    EXPECT_GT(markerPixels, 20);
    EXPECT_GT(whiteMiddle, 100);
}

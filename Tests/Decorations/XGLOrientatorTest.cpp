// The orientation marker, the axis group and the wire square, as pictures.
#include "DecorationTestSupport.h"
#include "XGLColourAttachment.h"
#include "XGLOrientator.h"
#include "XGLWirePlane.h"
#include "XGLXYZ.h"

#include <gtest/gtest.h>

using namespace DecorationTest;
using TestPicture::SpreadOf;

namespace {
// Pixels of one axis colour (0 red, 1 green, 2 blue): dominance rather than full
// intensity, as smoothed lines spread over two pixels.
std::function<bool(const XARGB32Colour&)> Axis(int inAxis)
{
    return [inAxis](const XARGB32Colour& p) {
        const int c[3] = {p.red, p.green, p.blue};
        return c[inAxis] > 60 && c[(inAxis + 1) % 3] < 30 && c[(inAxis + 2) % 3] < 30;
    };
}

bool Drawn(const XARGB32Colour& inPixel) { return !IsBackground(inPixel); }
} // namespace

TEST(XGLOrientator, ArrowsInTheirColoursInTheBottomLeftCorner)
{
    WGLWnd window(400, 400);
    XGLRenderable frame; // the volume's frame, turned so that all three arrows show
    XGLMatrix turn;
    turn.RotateY(35);
    turn.RotateX(25);
    frame.SetRotation(turn);
    XGLOrientator orientator;
    frame.AddChild(orientator);
    std::unique_ptr<XVolume> picture = Picture(window, frame);
    SavePNG(*picture, "orientator");
    const int size = XGLOrientator::GetMarkerSize(400, 400);
    ASSERT_EQ(size, 100);
    for (int axis = 0; axis < 3; ++axis)
        EXPECT_GT(SpreadOf(*picture, Axis(axis)).count, 30) << "axis " << axis;
    const TestPicture::XSpread drawn = SpreadOf(*picture, Drawn);
    EXPECT_GE(drawn.top, 400 - size) << "drawn outside its corner";
    EXPECT_LT(drawn.right, size) << "drawn outside its corner";

    // Unturned, x points right along the screen and y down it (the scene's frame).
    frame.SetRotation(XGLMatrix());
    picture = Picture(window, frame);
    SavePNG(*picture, "orientator-unturned");
    const TestPicture::XSpread x = SpreadOf(*picture, Axis(0)), y = SpreadOf(*picture, Axis(1));
    ASSERT_GT(x.count, 0);
    ASSERT_GT(y.count, 0);
    EXPECT_GT(x.centreX, size / 2 + 10);
    EXPECT_NEAR(x.centreY, 400 - size / 2, 6);
    EXPECT_GT(y.centreY, 400 - size / 2 + 10);
    EXPECT_NEAR(y.centreX, size / 2, 6);

    // A copy keeps arrows of its own.
    XGLOrientator copy(orientator);
    EXPECT_EQ(copy.GetChildren().size(), 3u);
    EXPECT_EQ(orientator.GetChildren().size(), 3u);
    EXPECT_EQ(copy.GetChild(1), &copy.GetAxis(1));
}

// Orthographic 200 × 200: x to the right, y down, from the centre.
TEST(XGLXYZ, AxisLinesInTheirColoursAndTheWireSquaresEdges)
{
    WGLWnd window(200, 200);
    window.SetProjectionMode(XGLContext::kOrthographic);
    XGLXYZ axes;
    axes.SetScale(0.5);
    std::unique_ptr<XVolume> picture = Picture(window, axes);
    SavePNG(*picture, "xyz");
    const TestPicture::XSpread right = SpreadOf(*picture, Axis(0)), down = SpreadOf(*picture, Axis(1));
    EXPECT_GT(right.count, 10);
    EXPECT_GE(right.left, 98);
    EXPECT_NEAR(right.centreY, 100, 3);
    EXPECT_GT(down.count, 10);
    EXPECT_GE(down.top, 98);
    EXPECT_NEAR(down.centreX, 100, 3);

    // The wire square of scale 1 spans pixels 50 to 150, and only its edges are drawn.
    XGLRenderable group;
    group.AddAttachment(new XGLColourAttachment(1.0, 1.0, 0.0, 1.0));
    XGLWirePlane plane;
    plane.SetScale(1.0);
    group.AddChild(plane);
    picture = Picture(window, group);
    SavePNG(*picture, "wire-plane");
    const TestPicture::XSpread square = SpreadOf(*picture, Drawn);
    EXPECT_GT(square.count, 300);
    EXPECT_NEAR(square.left, 50, 1);
    EXPECT_NEAR(square.right, 150, 1);
    EXPECT_NEAR(square.top, 50, 1);
    EXPECT_NEAR(square.bottom, 150, 1);
    int inside = 0;
    for (int y = 52; y < 149; ++y)
        for (int x = 52; x < 149; ++x)
            inside += Drawn(PixelAt(*picture, x, y));
    EXPECT_EQ(inside, 0);
}

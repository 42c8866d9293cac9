// The orientation marker, the axis group and the wire square, as pictures.
#include "DecorationTestSupport.h"
#include "XGLColourAttachment.h"
#include "XGLOrientator.h"
#include "XGLWirePlane.h"
#include "XGLXYZ.h"

#include <gtest/gtest.h>

using namespace DecorationTest;

namespace {
struct XColourCount {
    int red = 0, green = 0, blue = 0, other = 0;
    double redX = 0, redY = 0, greenX = 0, greenY = 0;
};

// Pure axis colours within a region of the picture.
XColourCount CountColours(const XVolume& inPicture, int inLeft, int inTop, int inRight, int inBottom)
{
    XColourCount c;
    for (int y = inTop; y < inBottom; ++y)
        for (int x = inLeft; x < inRight; ++x) {
            const XARGB32Colour p = PixelAt(inPicture, x, y);
            if (IsBackground(p))
                continue;
            // Dominance rather than full intensity: smoothed lines spread over two pixels.
            if (p.red > 60 && p.green < 30 && p.blue < 30) {
                ++c.red;
                c.redX += x;
                c.redY += y;
            } else if (p.green > 60 && p.red < 30 && p.blue < 30) {
                ++c.green;
                c.greenX += x;
                c.greenY += y;
            } else if (p.blue > 60 && p.red < 30 && p.green < 30) {
                ++c.blue;
            } else {
                ++c.other;
            }
        }
    return c;
}
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
    window.AddChild(frame);
    std::unique_ptr<XVolume> picture = Picture(window);
    SavePNG(*picture, "orientator");
    const int size = XGLOrientator::GetMarkerSize(400, 400);
    ASSERT_EQ(size, 100);
    const XColourCount corner = CountColours(*picture, 0, 400 - size, size, 400);
    EXPECT_GT(corner.red, 30);
    EXPECT_GT(corner.green, 30);
    EXPECT_GT(corner.blue, 30);
    const XColourCount rest = CountColours(*picture, 0, 0, 400, 400 - size);
    EXPECT_EQ(rest.red + rest.green + rest.blue + rest.other, 0) << "drawn outside its corner";

    // Unturned, x points right along the screen and y down it (the scene's frame).
    frame.SetRotation(XGLMatrix());
    picture.reset(window.RenderToVolume());
    SavePNG(*picture, "orientator-unturned");
    const XColourCount flat = CountColours(*picture, 0, 400 - size, size, 400);
    ASSERT_GT(flat.red, 0);
    ASSERT_GT(flat.green, 0);
    EXPECT_GT(flat.redX / flat.red, size / 2 + 10);
    EXPECT_NEAR(flat.redY / flat.red, 400 - size / 2, 6);
    EXPECT_GT(flat.greenY / flat.green, 400 - size / 2 + 10);
    EXPECT_NEAR(flat.greenX / flat.green, size / 2, 6);
    window.RemoveChild(frame);

    // Too small a window shows no marker.
    EXPECT_EQ(XGLOrientator::GetMarkerSize(100, 400), 0);
    EXPECT_EQ(XGLOrientator::GetMarkerSize(2000, 2000), 160);
}

TEST(XGLOrientator, CopiesKeepTheirOwnArrows)
{
    XGLOrientator original;
    XGLOrientator copy(original);
    EXPECT_EQ(copy.GetChildren().size(), 3u);
    EXPECT_EQ(original.GetChildren().size(), 3u);
    EXPECT_EQ(copy.GetChild(1), &copy.GetAxis(1));
}

TEST(XGLXYZ, AxisLinesInTheirColours)
{
    // Orthographic 200 × 200: x to the right, y down, from the centre.
    WGLWnd window(200, 200);
    window.SetProjectionMode(XGLContext::kOrthographic);
    XGLXYZ axes;
    axes.SetScale(0.5);
    window.AddChild(axes);
    std::unique_ptr<XVolume> picture = Picture(window);
    SavePNG(*picture, "xyz");
    window.RemoveChild(axes);
    const XColourCount right = CountColours(*picture, 120, 95, 145, 105);
    const XColourCount down = CountColours(*picture, 95, 120, 105, 145);
    EXPECT_GT(right.red, 10);
    EXPECT_EQ(right.green + right.blue, 0);
    EXPECT_GT(down.green, 10);
    EXPECT_EQ(down.red + down.blue, 0);
}

TEST(XGLWirePlane, OnlyTheEdgesOfTheSquareAreDrawn)
{
    WGLWnd window(200, 200);
    window.SetProjectionMode(XGLContext::kOrthographic);
    XGLRenderable group;
    group.AddAttachment(new XGLColourAttachment(1.0, 1.0, 0.0, 1.0));
    XGLWirePlane plane;
    plane.SetScale(1.0); // the square spans pixels 50 to 150
    group.AddChild(plane);
    window.AddChild(group);
    std::unique_ptr<XVolume> picture = Picture(window);
    SavePNG(*picture, "wire-plane");
    window.RemoveChild(group);
    group.RemoveChild(plane);
    int edge = 0, inside = 0;
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 200; ++x) {
            if (IsBackground(PixelAt(*picture, x, y)))
                continue;
            const bool nearEdge = (std::abs(x - 50) <= 1 || std::abs(x - 150) <= 1 || std::abs(y - 50) <= 1 ||
                                   std::abs(y - 150) <= 1);
            (nearEdge ? edge : inside)++;
        }
    EXPECT_GT(edge, 300);
    EXPECT_EQ(inside, 0);
}

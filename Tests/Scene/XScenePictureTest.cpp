// Scene nodes on real pixels: where the triangle's corners land, boxes in one colour,
// quads and cubes that cover what they should and face the viewer.
#include "X3DCubeSceneNode.h"
#include "X3DQuadSceneNode.h"
#include "X3DTexturedQuadSceneNode.h"
#include "X3DTriangleSceneNode.h"
#include "XSceneFurnitureFixture.h"

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <numbers>

namespace {
// Seen through an orthographic view of the square -0.5..0.5 (x to the right, y up),
// culling as the device starts, so that a node shows the faces it draws towards the viewer.
class ScenePictureTest : public SceneFurnitureTest {
protected:
    static constexpr int kSize = 64;

    ScenePictureTest() { cullMode = X3DGC::kCullClockwise; }

    XBGRA32Volume Draw(X3DSceneNode& inRoot, const std::string& inName) { return DrawOrthographic(inRoot, kSize, kSize, 0.5f, 0.5f, "_" + inName); }
    // The pixel under scene point (x, y).
    static XARGB32Colour AtScene(const XBGRA32Volume& inPicture, float inX, float inY)
    {
        return At(inPicture, int((inX + 0.5f) * kSize), int((inY + 0.5f) * kSize));
    }
};

TEST_F(ScenePictureTest, TheTrianglesCornersAreRedAtTheTopGreenLeftAndBlueRight)
{
    X3DTriangleSceneNode triangle;
    triangle.SetScale({0.9f, 0.9f, 1});
    const XBGRA32Volume picture = Draw(triangle, "triangle");
    struct Corner {
        const char* name;
        XMathVectorF3 point;
        uint8_t XARGB32Colour::*colour;
    };
    // Just inside each corner the corner's colour outweighs the other two together
    // (interpolation leaves a little of them; how much depends on rasterisation).
    for (const Corner& c : {Corner{"top", {0, 0.4f, 0}, &XARGB32Colour::red},
             Corner{"bottom left", {-0.4f, -0.42f, 0}, &XARGB32Colour::green},
             Corner{"bottom right", {0.4f, -0.42f, 0}, &XARGB32Colour::blue}}) {
        SCOPED_TRACE(c.name);
        const XARGB32Colour pixel = AtScene(picture, c.point[0], c.point[1]);
        EXPECT_GT(int(pixel.*c.colour) * 2, pixel.red + pixel.green + pixel.blue) << int(pixel.red) << " "
            << int(pixel.green) << " " << int(pixel.blue);
    }
    // Outside the triangle: beside the apex, and below the base.
    EXPECT_TRUE(TestPicture::IsBackground(AtScene(picture, -0.3f, 0.4f)));
    EXPECT_TRUE(TestPicture::IsBackground(AtScene(picture, 0.3f, 0.4f)));
    EXPECT_TRUE(TestPicture::IsBackground(AtScene(picture, 0.0f, -0.48f)));
}

// Draws its boxes in one batch, in the colours given.
class XBoxesNode : public X3DSceneNode {
public:
    XVector<XBoundingBox> itsBoxes;
    XVector<XARGB32Colour> itsColours;

protected:
    void RenderSelf(X3DGC& inGC, const XSceneRenderState&) override { BatchRenderBoxes(inGC, itsBoxes, itsColours); }
};

// Multisampling may cover a corner pixel only partly, darkening but not changing the colour.
bool IsShadeOf(const XARGB32Colour& inPixel, const XARGB32Colour& inColour)
{
    const float scale = float(std::max({inPixel.red, inPixel.green, inPixel.blue}))
        / float(std::max({inColour.red, inColour.green, inColour.blue}));
    return std::abs(inPixel.red - scale * inColour.red) <= 2 && std::abs(inPixel.green - scale * inColour.green) <= 2
        && std::abs(inPixel.blue - scale * inColour.blue) <= 2;
}

TEST_F(ScenePictureTest, BoxesTakeTheirColoursInTurnThenTheLastThenWhite)
{
    const XARGB32Colour orange(255, 255, 128, 0), red = XARGB32Colour::kRed, green = XARGB32Colour::kGreen;
    struct Case {
        const char* name;
        XVector<XARGB32Colour> colours;
        XARGB32Colour expected[3];
    };
    const Case cases[] = {
        {"one colour for three", {orange}, {orange, orange, orange}},
        {"two colours for three", {red, green}, {red, green, green}},
        {"no colours", {}, {XARGB32Colour::kWhite, XARGB32Colour::kWhite, XARGB32Colour::kWhite}},
    };
    // Edges on pixel centres, so that each side is one whole row or column of pixels.
    const auto p = [](int inPixel) { return (float(inPixel) + 0.5f) / float(kSize) - 0.5f; };
    XBoxesNode node;
    node.itsBoxes = {XBoundingBox(XMathVectorF3(p(6), p(38), 0), XMathVectorF3(p(25), p(57), 0.2f)),
                     XBoundingBox(XMathVectorF3(p(38), p(38), 0), XMathVectorF3(p(57), p(57), 0.2f)),
                     XBoundingBox(XMathVectorF3(p(16), p(6), 0), XMathVectorF3(p(47), p(25), 0.2f))};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        node.itsColours = c.colours;
        const XBGRA32Volume picture = Draw(node, c.name);
        int lit = 0, otherColours = 0;
        for (int y = 0; y < kSize; ++y)
            for (int x = 0; x < kSize; ++x) {
                const XARGB32Colour pixel = At(picture, x, y);
                lit += !TestPicture::IsBackground(pixel);
                otherColours += !TestPicture::IsBackground(pixel) && !IsShadeOf(pixel, c.expected[0]) && !IsShadeOf(pixel, c.expected[1]);
            }
        EXPECT_EQ(otherColours, 0);
        EXPECT_EQ(lit, 2 * (2 * 20 + 2 * 18) + (2 * 32 + 2 * 18)); // each outline's pixels, corners once
        for (size_t i = 0; i < 3; ++i) {
            const XMathVectorF3 lo = node.itsBoxes[i].GetMin(), hi = node.itsBoxes[i].GetMax(), mid = node.itsBoxes[i].GetCentre();
            // The middle of each side of the outline is drawn; the inside is not.
            for (const auto& [x, y] : {std::pair{lo[0], mid[1]}, {hi[0], mid[1]}, {mid[0], lo[1]}, {mid[0], hi[1]}})
                EXPECT_EQ(AtScene(picture, x, y), c.expected[i]) << "box " << i << " edge at " << x << ", " << y;
            EXPECT_TRUE(TestPicture::IsBackground(AtScene(picture, mid[0], mid[1])));
        }
    }
}

TEST_F(ScenePictureTest, QuadsAndCubesCoverTheirSquareWithTheFaceThatLooksAtTheViewer)
{
    const auto halfTurnY = XQuaternion::MakeFromAxisAngle(XMathVectorF3(0, 1, 0), std::numbers::pi);
    const auto quarterTurnX = XQuaternion::MakeFromAxisAngle(XMathVectorF3(1, 0, 0), std::numbers::pi / 2);
    const XARGB32Colour yellow(255, 255, 255, 0);
    struct Case {
        const char* name;
        std::function<std::unique_ptr<X3DSceneNode>()> make;
        XQuaternion rotation;
        XARGB32Colour seen;
    };
    const Case cases[] = {
        {"quad", [] { return std::make_unique<X3DQuadSceneNode>(XARGB32Colour::kGreen); }, XQuaternion::kIdentity, XARGB32Colour::kGreen},
        // Without a texture, whatever unit 0 holds (nothing): the plain colour.
        {"textured quad", [] { return std::make_unique<X3DTexturedQuadSceneNode>(nullptr, X3DGC::XSamplerState(), XMathVectorF2(1, 1)); },
         XQuaternion::kIdentity, XARGB32Colour::kWhite},
        {"cube from behind", [] { return std::make_unique<X3DCubeSceneNode>(); }, halfTurnY, XARGB32Colour::kRed},
        // Turning +y towards the viewer.
        {"cube from above", [] { return std::make_unique<X3DCubeSceneNode>(); }, quarterTurnX, yellow},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::unique_ptr<X3DSceneNode> node = c.make();
        node->SetScale({0.5f, 0.5f, 0.5f});
        node->SetRotation(c.rotation);
        const XBGRA32Volume picture = Draw(*node, c.name);
        node->UnloadGraphicsResources(*gc);
        // The square from -0.25 to 0.25 is exactly the middle 32 x 32 pixels.
        int inside = 0, outside = 0;
        for (int y = 0; y < kSize; ++y)
            for (int x = 0; x < kSize; ++x) {
                const bool isInside = x >= 16 && x < 48 && y >= 16 && y < 48;
                const XARGB32Colour pixel = At(picture, x, y);
                inside += isInside && pixel == c.seen;
                outside += !isInside && !TestPicture::IsBackground(pixel);
            }
        EXPECT_EQ(inside, 32 * 32);
        EXPECT_EQ(outside, 0);
    }
}
} // namespace

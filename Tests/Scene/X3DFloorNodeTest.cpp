// The floor: its chequer texels, plain and chequered pictures, and its resources.
#include "X3DFloorNode.h"
#include "XSceneFurnitureFixture.h"
#include "XVertexTypes.h"

#include <gtest/gtest.h>

#include <vector>

namespace {
TEST(X3DFloorNode, ChequerTexelsAreLightAtTheOriginIn32TexelSquares)
{
    const uint32_t size = X3DFloorNode::kTextureSize, rowBytes = size + 4; // padded rows stay untouched
    std::vector<uint8_t> texels(rowBytes * size, 0x77);
    X3DFloorNode::WriteFloorTexels(texels.data(), size, size, rowBytes);
    struct XCase {
        uint32_t x, y;
        uint8_t value;
    };
    const XCase cases[] = {{0, 0, 255}, {31, 31, 255}, {32, 0, 12}, {0, 32, 12}, {32, 32, 255}, {63, 0, 12},
                           {64, 0, 255}, {200, 100, 12}, {255, 255, 255}, {255, 0, 12}};
    for (const XCase& c : cases)
        EXPECT_EQ(texels[c.y * rowBytes + c.x], c.value) << c.x << "," << c.y;
    for (uint32_t y = 0; y < size; ++y)
        for (uint32_t pad = size; pad < rowBytes; ++pad)
            ASSERT_EQ(texels[y * rowBytes + pad], 0x77);
}

class FloorPictureTest : public SceneFurnitureTest {
protected:
    // The floor filling a frame of 256 x 256 seen from +z: a texel a pixel.
    XBGRA32Volume Draw(X3DFloorNode& inFloor, const std::string& inSuffix) { return DrawOrthographic(inFloor, 256, 256, 0.5f, 0.5f, inSuffix); }
    FloorPictureTest() { furniture = {&floor}; }
    X3DFloorNode floor;
};

TEST_F(FloorPictureTest, ShowsItsPatternInItsColourAndMakesItsTextureWhenFirstChecked)
{
    const XARGB32Colour orange(255, 200, 100, 50), grey = X3DFloorNode::kDefaultColour;
    struct XCase {
        const char* name;
        bool checked;
        XARGB32Colour colour;
        bool hasTexture;
    };
    const XCase cases[] = {{"plain", false, grey, false}, {"plain orange", false, orange, false},
                           {"checked", true, grey, true}, {"plain again, texture kept", false, grey, true}};
    for (const XCase& c : cases) {
        SCOPED_TRACE(c.name);
        floor.SetChecked(*gc, c.checked);
        floor.SetColour(c.colour);
        const XBGRA32Volume picture = Draw(floor, std::string("_") + c.name);
        EXPECT_EQ(floor.HasFloorTexture(), c.hasTexture);
        // Dark texels of the chequer are 12 / 255 of the colour: 52 x 12 / 255 is about 2.
        for (int j = 0; j < 8; ++j)
            for (int i = 0; i < 8; ++i) {
                const XARGB32Colour p = At(picture, 32 * i + 16, 32 * j + 16);
                const bool dark = c.checked && (i + j) % 2 == 1;
                EXPECT_NEAR(p.red, dark ? 2 : c.colour.red, 2) << "square " << i << "," << j;
                EXPECT_NEAR(p.green, dark ? 2 : c.colour.green, 2);
                EXPECT_NEAR(p.blue, dark ? 2 : c.colour.blue, 2);
            }
    }
}

TEST_F(FloorPictureTest, DrawingPutsBackTheCallersGeometryAndTexture)
{
    BeginFrame(64, 64);
    const X3DGC::XVertexDefinition& before = XVertexTypes::XVertexPositionColour::GetDefinition();
    gc->SetVertexDefinition(before);
    RenderTree(floor);
    EndFrame();
    ExpectPutBack(before);
}

TEST_F(FloorPictureTest, CopiesStartWithoutTheOriginalsResources)
{
    Draw(floor, "_original");
    ASSERT_TRUE(floor.HasFloorTexture());
    floor.SetColour(XARGB32Colour(255, 0, 200, 0));
    X3DFloorNode copy(floor);
    EXPECT_FALSE(copy.HasFloorTexture());
    // Each releases only its own; the copy then draws with resources of its own.
    floor.UnloadGraphicsResources(*gc);
    const XBGRA32Volume picture = Draw(copy, "_copy");
    EXPECT_TRUE(copy.HasFloorTexture());
    EXPECT_NEAR(At(picture, 16, 16).green, 200, 1);
    copy.UnloadGraphicsResources(*gc);
}
} // namespace

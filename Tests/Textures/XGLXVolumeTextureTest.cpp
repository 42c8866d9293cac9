// One XY plane of any volume as an ARGB texture.
#include "TextureTestSupport.h"
#include "WGLWnd.h"
#include "XARGB32Volume.h"
#include "XAssertRecorder.h"
#include "XGLContextLock.h"
#include "XGLXVolumeTexture.h"
#include "XGrey8Volume.h"

#include <array>
#include <gtest/gtest.h>

using TextureTest::ReadBoundTexture;

namespace {
using XGLXVolumeTextureTest = TextureTest::XContextTest;

// The RGBA bytes of texel (x, y).
std::array<uint8_t, 4> Texel(const TextureTest::XTexels& inTexels, int inX, int inY)
{
    const uint8_t* t = &inTexels.bytes[size_t(inY * inTexels.width + inX) * 4];
    return {t[0], t[1], t[2], t[3]};
}

std::array<uint8_t, 4> RGBA(const XARGB32Colour& inColour)
{
    return {inColour.red, inColour.green, inColour.blue, inColour.alpha};
}
} // namespace

TEST_F(XGLXVolumeTextureTest, ColourPlaneKeepsEveryChannel)
{
    XARGB32Volume plane(300, 200, 1);
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 300; ++x)
            plane.SetVoxel(x, y, XARGB32Colour(uint8_t(10 + y), uint8_t(x), uint8_t(y), uint8_t(x ^ y)));
    XGLXVolumeTexture texture(&plane);
    EXPECT_EQ(texture.GetBounds(), XRect(0, 0, 512, 256));
    texture.SelectTexture();
    TextureTest::XTexels texels = ReadBoundTexture(GL_RGBA, 4);
    ASSERT_EQ(texels.width, 512);
    ASSERT_EQ(texels.height, 256);
    for (int y = 0; y < 256; y += 7)
        for (int x = 0; x < 512; x += 5) {
            const XARGB32Colour expected =
                x < 300 && y < 200 ? XARGB32Colour(uint8_t(10 + y), uint8_t(x), uint8_t(y), uint8_t(x ^ y))
                                   : XARGB32Colour(0, 0, 0, 0);
            ASSERT_EQ(Texel(texels, x, y), RGBA(expected)) << x << ", " << y;
        }
    EXPECT_EQ(TextureTest::BoundTextureParameter(GL_TEXTURE_MIN_FILTER), GL_LINEAR)
        << "without mipmaps the texture would be incomplete";
}

TEST_F(XGLXVolumeTextureTest, GreyPlanesBecomeOpaqueGreyAndFollowTheirVolume)
{
    XGrey8Volume plane(XRect(5, 7, 9, 9)); // 4 × 2 at (5, 7): moved to the origin
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x)
            plane.SetVoxel(x, y, uint8_t(30 * (y * 4 + x)));
    XGLXVolumeTexture texture(&plane);
    EXPECT_EQ(texture.GetPlaneBounds(), XRect(0, 0, 4, 2));
    texture.SelectTexture();
    TextureTest::XTexels texels = ReadBoundTexture(GL_RGBA, 4);
    ASSERT_EQ(texels.width, 4);
    ASSERT_EQ(texels.height, 2);
    EXPECT_EQ(Texel(texels, 3, 1), RGBA(XARGB32Colour(255, 210, 210, 210)));

    // A deep volume is reported, and its first plane used, at the next selection.
    XGrey8Volume deep(2, 2, 3);
    deep.Fill(9);
    deep.SetVoxel(0, 0, 0, 99);
    XAssertRecorder recorder;
    texture.SetVolume(&deep);
    EXPECT_TRUE(recorder.Has("inVolume->IsXYPlane()", "X-Platform/XGLXVolumeTexture"));
    EXPECT_TRUE(texture.NeedsUpdate());
    texture.SelectTexture();
    texels = ReadBoundTexture(GL_RGBA, 4);
    EXPECT_EQ(Texel(texels, 0, 0)[0], 99);
    EXPECT_EQ(Texel(texels, 1, 1)[0], 9);

    // A missing or empty volume gives a black substitute.
    const XGrey8Volume empty;
    for (const XVolume* missing : {static_cast<const XVolume*>(nullptr), static_cast<const XVolume*>(&empty)}) {
        texture.SetVolume(missing);
        ASSERT_NE(texture.GetPreparedVolume(), nullptr);
        EXPECT_EQ(texture.GetBounds(), XRect(0, 0, 32, 32));
        texture.SelectTexture();
        EXPECT_EQ(TextureTest::BoundTextureSize(), std::make_pair(32, 32));
    }
}

TEST_F(XGLXVolumeTextureTest, LargePlaneIsScaledToFitTheLimit)
{
    XGrey8Volume plane(3000, 1000, 1);
    plane.Fill(200);
    XGLXVolumeTexture texture(&plane);
    EXPECT_EQ(texture.GetBounds(), XRect(0, 0, 1024, 256));
    EXPECT_EQ(texture.GetContentBounds(), XRect(0, 0, 750, 250));
    texture.SelectTexture();
    TextureTest::XTexels texels = ReadBoundTexture(GL_RGBA, 4);
    ASSERT_EQ(texels.width, 1024);
    EXPECT_EQ(Texel(texels, 749, 249)[0], 200);
    EXPECT_EQ(Texel(texels, 750, 249)[3], 0);
    EXPECT_EQ(Texel(texels, 749, 250)[3], 0);

    // A long thin strip keeps at least one row.
    XGrey8Volume strip(100000, 2, 1);
    texture.SetVolume(&strip);
    EXPECT_EQ(texture.GetBounds(), XRect(0, 0, 1024, 1));
    EXPECT_EQ(texture.GetContentBounds(), XRect(0, 0, 781, 1));
}

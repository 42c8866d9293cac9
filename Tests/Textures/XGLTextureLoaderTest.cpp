// Uploads of power-of-two regions with and without a border, the refusals, and the
// texture size limits.
#include "TextureTestSupport.h"
#include "WGLWnd.h"
#include "XAssertRecorder.h"
#include "XGLContextLock.h"
#include "XGLTextureLoader.h"

#include <gtest/gtest.h>
#include <tuple>

using TextureTest::BoundTextureSize;
using TextureTest::GLInteger;
using TextureTest::ReadBoundTexture;

namespace {
constexpr int kSide = 8;

// An 8 × 8 luminance image whose every pixel tells where it is.
struct XSource {
    uint8_t pixels[kSide * kSide];
    XSource()
    {
        for (int y = 0; y < kSide; ++y)
            for (int x = 0; x < kSide; ++x)
                pixels[y * kSide + x] = uint8_t(16 * y + x);
    }
    uint8_t At(int inX, int inY) const { return pixels[inY * kSide + inX]; }
};

// A 4 × 4 texture at (inLeft, inTop) of the source, with the given border.
XGLTextureLoader MakeLoader(const XSource& inSource, uint32_t inLeft, uint32_t inTop, uint32_t inBorder)
{
    XGLTextureLoader loader;
    loader.SetSourceWidth(kSide);
    loader.SetSourceHeight(kSide);
    loader.SetSourceBaseAddress(inSource.pixels);
    loader.SetSourceChannels(1);
    loader.SetBorderWidth(inBorder);
    loader.SetTextureWidthLog2(2);
    loader.SetTextureHeightLog2(2);
    loader.PositionTextureLeftEdge(inLeft);
    loader.PositionTextureTopEdge(inTop);
    return loader;
}

class XGLTextureLoaderTest : public TextureTest::XContextTest {
protected:
    XGLTextureLoaderTest()
    {
        glGenTextures(1, &itsTexture);
        glBindTexture(GL_TEXTURE_2D, itsTexture);
    }
    ~XGLTextureLoaderTest() override { glDeleteTextures(1, &itsTexture); }

    // Texel (x, y) of the texture's 4 × 4 interior must be source pixel (left + x, top + y).
    void ExpectInterior(const XSource& inSource, int inLeft, int inTop)
    {
        TextureTest::XTexels texels = ReadBoundTexture(GL_LUMINANCE, 1);
        // A driver may keep the border in the level or strip it on upload.
        const int border = (texels.width - 4) / 2;
        ASSERT_TRUE(texels.width == 4 || texels.width == 6) << texels.width;
        ASSERT_EQ(texels.height, texels.width);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 4; ++x)
                ASSERT_EQ(texels.bytes[size_t((y + border) * texels.width + x + border)],
                          inSource.At(inLeft + x, inTop + y))
                    << "texel " << x << ", " << y;
    }

    GLuint itsTexture = 0;
};
} // namespace

TEST_F(XGLTextureLoaderTest, UploadsAndDumpsTheRegionAtItsPlaceWithItsBorderAround)
{
    XSource source;
    // Without a border, and with one that ends on the source's last column and row.
    for (auto [left, top, border] : {std::tuple{3u, 2u, 0u}, {3u, 3u, 1u}}) {
        SCOPED_TRACE(testing::Message() << "border " << border);
        XAssertRecorder recorder;
        XGLTextureLoader loader = MakeLoader(source, left, top, border);
        ASSERT_TRUE(loader.Load());
        ExpectInterior(source, int(left), int(top));
        EXPECT_EQ(recorder.GetCount(), 0u);
        // The unpack state is left as the upload found it.
        EXPECT_EQ(GLInteger(GL_UNPACK_ROW_LENGTH) + GLInteger(GL_UNPACK_SKIP_ROWS) + GLInteger(GL_UNPACK_SKIP_PIXELS), 0);
        EXPECT_EQ(GLInteger(GL_UNPACK_ALIGNMENT), 4);
    }
    // Dumped, the same region with its border lands at the raster position.
    XGLTextureLoader loader = MakeLoader(source, 2, 1, 1);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glRasterPos2f(-1.0f, -1.0f); // window pixel (0, 0)
    ASSERT_TRUE(loader.Dump());
    uint8_t red[6 * 6] = {};
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, 6, 6, GL_RED, GL_UNSIGNED_BYTE, red);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 6; ++x)
            ASSERT_EQ(red[y * 6 + x], source.At(1 + x, y)) << x << ", " << y;
}

TEST_F(XGLTextureLoaderTest, RefusesUploadsThatWouldReadOutsideTheSource)
{
    XSource source;
    struct Case {
        const char* what;
        XGLTextureLoader loader;
        const char* report;
    };
    XAssertRecorder setup; // the setters report the same faults; the loads are what is tested
    XGLTextureLoader noSource = MakeLoader(source, 2, 2, 0);
    noSource.SetSourceBaseAddress(nullptr);
    XGLTextureLoader pastRight = MakeLoader(source, 6, 0, 0);
    XGLTextureLoader borderPastBottom = MakeLoader(source, 2, 4, 1);
    XGLTextureLoader borderBeforeLeft = MakeLoader(source, 0, 2, 1);
    XGLTextureLoader hugeShift = MakeLoader(source, 0, 0, 0);
    hugeShift.SetTextureWidthLog2(40);
    XGLTextureLoader beforeStart = MakeLoader(source, 0, 0, 0);
    beforeStart.PositionTextureRightEdge(2); // would start two pixels before column 0
    XGLTextureLoader noFormat;
    noFormat.SetSourceWidth(kSide);
    noFormat.SetSourceHeight(kSide);
    noFormat.SetSourceBaseAddress(source.pixels);
    const Case cases[] = {
        {"null source", noSource, "sourceBaseAddress != NULL"},
        {"past the right edge", pastRight, "textureLeft + (1 << textureWidthLog2) + borderWidth <= sourceWidth"},
        {"border past the bottom", borderPastBottom,
         "textureTop + (1 << textureHeightLog2) + borderWidth <= sourceHeight"},
        {"border before the left edge", borderBeforeLeft, "textureLeft >= borderWidth"},
        {"shift of 40", hugeShift, "textureWidthLog2 < 31"},
        {"right edge before the start", beforeStart, "textureLeft + (1 << textureWidthLog2) + borderWidth <= sourceWidth"},
        {"no source format", noFormat, "sourceFormat != 0"},
    };
    for (const Case& c : cases) {
        XAssertRecorder recorder;
        EXPECT_FALSE(c.loader.Load()) << c.what;
        EXPECT_TRUE(recorder.Has(c.report, "X-Platform/XGLTextureLoader")) << c.what;
        EXPECT_EQ(BoundTextureSize(), std::make_pair(0, 0)) << c.what << " was uploaded";
        EXPECT_FALSE(c.loader.Dump()) << c.what;
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR)) << c.what;
    }
}

TEST_F(XGLTextureLoaderTest, SettersReportWhatTheyCannotHoldAndSizesAreCapped)
{
    XAssertRecorder recorder;
    XGLTextureLoader loader;
    loader.SetSourceChannels(5);
    EXPECT_TRUE(recorder.Has("numberOfChannels <= 4"));
    loader.SetTextureChannels(0);
    EXPECT_TRUE(recorder.Has("numberOfChannels >= 1"));
    recorder.Clear();
    loader.SetSourceWidth(4096);
    loader.SetSourceHeight(16);
    loader.SetTextureWidthLog2(11); // 2048 fits the source but passes the size cap
    EXPECT_TRUE(recorder.Has("(1UL << textureWidthLog2) <= GetMaxTextureSize()"));
    loader.SetTextureHeightLog2(5);
    EXPECT_TRUE(recorder.Has("textureTop + (1 << textureHeightLog2) <= sourceHeight - borderWidth"));
    loader.SetSourceChannels(2);
    loader.SetSourceChannels(3); // the texture keeps the first implied format
    EXPECT_EQ(loader.GetSourceFormat(), uint32_t(GL_RGB));
    EXPECT_EQ(loader.GetTextureInternalFormat(), uint32_t(GL_LUMINANCE8_ALPHA8));
    loader.SetTextureChannels(4);
    EXPECT_EQ(loader.GetTextureInternalFormat(), uint32_t(GL_RGBA8));

    // The size is capped, and loadable bounds shrink until the driver agrees.
    const GLint driverMax = GLInteger(GL_MAX_TEXTURE_SIZE);
    EXPECT_EQ(XGLTextureLoader::GetMaxTextureSize(), std::min<uint32_t>(uint32_t(driverMax), 1024u));
    ASSERT_GE(driverMax, 1024) << "this driver is below the cap; the cap cannot be seen";
    EXPECT_EQ(XGLTextureLoader::GetMaxLoadableTextureBounds(XRect(0, 0, 2048, 512), GL_RGBA8), XRect(0, 0, 1024, 256));
    EXPECT_EQ(XGLTextureLoader::GetMaxLoadableTextureBounds(XRect(0, 0, 64, 16), GL_LUMINANCE8), XRect(0, 0, 64, 16));

    // A format the driver never takes ends the search at 1 × 1 with nothing found.
    EXPECT_EQ(XGLTextureLoader::GetMaxLoadableTextureBounds(XRect(0, 0, 256, 64), 0x1234u), XRect());
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    recorder.Clear();
    EXPECT_EQ(XGLTextureLoader::GetMaxLoadableTextureBounds(XRect(0, 0, 300, 64), GL_RGBA8), XRect(0, 0, 256, 64));
    EXPECT_TRUE(recorder.Has("((w - 1) & w) == 0"));
}

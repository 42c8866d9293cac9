// The paint buffer's layout and its transfer into textures.
#include "TextureTestSupport.h"
#include "WGLWnd.h"
#include "XAssertRecorder.h"
#include "XException.h"
#include "XGLContextLock.h"
#include "XGLTexturePainter.h"

#include <gtest/gtest.h>

using TextureTest::ReadBoundTexture;
using XGLTexturePainterTest = TextureTest::XContextTest;

TEST(XGLTexturePainter, ChannelsAreInterleavedAndTakeTheLowByte)
{
    XGLTexturePainter painter;
    painter.SetChannelCountAndSize(3, 2, 2);
    EXPECT_EQ(painter.GetFormat(), uint32_t(GL_RGB));
    const short data[] = {0x0102, 0x0304, 0x0506, 0x0708};
    painter.LoadChannel(0, data, 1, 2);
    const std::vector<uint8_t> rowByRow(painter.GetPaintBuffer(), painter.GetPaintBuffer() + 12);
    EXPECT_EQ(rowByRow, (std::vector<uint8_t>{0x02, 0xFF, 0xFF, 0x04, 0xFF, 0xFF, 0x06, 0xFF, 0xFF, 0x08, 0xFF, 0xFF}));

    // Swapped strides read the data transposed; a negative short keeps its low byte.
    const short transposed[] = {0x0102, 0x0304, -2, 0x0708};
    painter.LoadChannel(2, transposed, 2, 1);
    const uint8_t* p = painter.GetPaintBuffer();
    EXPECT_EQ((std::vector<uint8_t>{p[2], p[5], p[8], p[11]}), (std::vector<uint8_t>{0x02, 0xFE, 0x04, 0x08}));

    // Resizing refills with 255; the same size keeps the paint.
    painter.SetChannelCountAndSize(3, 2, 2);
    EXPECT_EQ(painter.GetPaintBuffer()[0], 0x02);
    painter.SetChannelCountAndSize(4, 2);
    EXPECT_EQ(painter.GetFormat(), uint32_t(GL_RGBA));
    EXPECT_EQ(painter.GetPaintBuffer()[0], 0xFF);

    XAssertRecorder recorder;
    painter.LoadChannel(4, data, 1, 2);
    EXPECT_TRUE(recorder.Has("inChannel < GetChannelCount()"));
    EXPECT_THROW(painter.SetChannelCountAndSize(5, 2, 2), XException);
    EXPECT_THROW(painter.SetChannelCountAndSize(4, 65536, 65536), XException);
    EXPECT_EQ(painter.GetChannelCount(), 4u) << "a refused size changed the painter";
}

TEST_F(XGLTexturePainterTest, TransfersPlaceTheBufferInTheBoundTexture)
{
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    const std::vector<uint8_t> black(4 * 4 * 3, 0);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB8, 4, 4, 0, GL_RGB, GL_UNSIGNED_BYTE, black.data());

    XGLTexturePainter painter; // 3 channels of odd row width: rows are not 4-byte aligned
    painter.SetChannelCountAndSize(3, 3, 2);
    short values[6] = {1, 2, 3, 4, 5, 6};
    painter.LoadChannel(0, values, 1, 3);
    painter.TransferToTexture(1, 2);
    TextureTest::XTexels texels = ReadBoundTexture(GL_RGB, 3);
    auto texel = [&](int x, int y) { return &texels.bytes[size_t((y * 4 + x) * 3)]; };
    EXPECT_EQ(texel(0, 2)[0], 0) << "written left of the offset";
    EXPECT_EQ(texel(1, 2)[0], 1);
    EXPECT_EQ(texel(3, 2)[0], 3);
    EXPECT_EQ(texel(1, 3)[0], 4);
    EXPECT_EQ(texel(3, 3)[0], 6);
    EXPECT_EQ(texel(3, 3)[1], 255);

    // Part of the buffer to the same texels.
    values[4] = 50;
    painter.LoadChannel(0, values, 1, 3);
    painter.TransferToTexture(1, 1, 1, 1);
    texels = ReadBoundTexture(GL_RGB, 3);
    EXPECT_EQ(texel(1, 1)[0], 50);
    EXPECT_EQ(texel(0, 0)[1], 0) << "more than the part was written";

    XAssertRecorder recorder;
    painter.TransferToTexture(2, 1, 2, 1);
    EXPECT_EQ(recorder.GetCount(), 1u);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    glDeleteTextures(1, &texture);
}

// Plain texture sets and the clearing of textures.
#include "TextureTestSupport.h"
#include "WGLWnd.h"
#include "XAssertRecorder.h"
#include "XException.h"
#include "XGLContextLock.h"
#include "XGLTextureSet.h"

#include <algorithm>
#include <gtest/gtest.h>

using TextureTest::IsTexture;
using XGLTextureSetTest = TextureTest::XContextTest;

TEST_F(XGLTextureSetTest, ClearsEveryTextureToBlackAtPowerOfTwoSize)
{
    XGLTextureSet set;
    set.AllocateTexturesInCurrentContext(2);
    ASSERT_EQ(set.GetTextureCount(), 2u);
    set.ClearTextures(300, 200);
    for (uint32_t i = 0; i < 2; ++i) {
        set.SelectTexture(i);
        TextureTest::XTexels texels = TextureTest::ReadBoundTexture(GL_LUMINANCE, 1);
        EXPECT_EQ(texels.width, 512);
        EXPECT_EQ(texels.height, 256);
        EXPECT_TRUE(std::all_of(texels.bytes.begin(), texels.bytes.end(), [](uint8_t b) { return b == 0; }));
        GLint intensityBits = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTENSITY_SIZE, &intensityBits);
        EXPECT_GT(intensityBits, 0);
        EXPECT_EQ(TextureTest::BoundTextureParameter(GL_TEXTURE_WRAP_S), GL_REPEAT);
    }
    // 1 × 3 becomes 1 × 4: single-byte rows must not be read as padded.
    set.SelectTexture(0);
    XGLTextureSet::ClearTexture(1, 3);
    EXPECT_EQ(TextureTest::BoundTextureSize(), std::make_pair(1, 4));
    EXPECT_THROW(XGLTextureSet::ClearTexture(1u << 30, 1), XException);
}

TEST(XGLTextureSet, NamesAreUsedAndDeletedOnlyInTheirContext)
{
    WGLWnd a(4, 4), b(4, 4);
    XGLTextureSet set;
    uint32_t name = 0;
    {
        XGLContextLock lock(a);
        set.AllocateTexturesInCurrentContext(1);
        set.SelectTexture(0);
        name = set.GetTextureName(0);
    }
    {
        XGLContextLock lock(b);
        EXPECT_FALSE(set.AreTexturesInCurrentContext());
        XAssertRecorder recorder;
        set.SelectTexture(0);
        EXPECT_TRUE(recorder.Has("AreTexturesInCurrentContext()"));
        set.FreeTexturesInCurrentContext(); // forgets without deleting
        EXPECT_EQ(set.GetTextureCount(), 0u);
        EXPECT_TRUE(IsTexture(name));
    }
    XGLContextLock lock(a);
    GLuint n = name;
    glDeleteTextures(1, &n);
    XAssertRecorder recorder;
    set.AllocateTexturesInCurrentContext(1);
    EXPECT_EQ(recorder.GetCount(), 0u);
}

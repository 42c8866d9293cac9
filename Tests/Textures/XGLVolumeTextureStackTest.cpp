// Colour volumes as stacks of slice textures, read back texel by texel.
#include "TextureTestSupport.h"
#include "WGLWnd.h"
#include "XARGB32Volume.h"
#include "XAssertRecorder.h"
#include "XException.h"
#include "XGLContextLock.h"
#include "XGLVolumeTextureStack.h"

#include <gtest/gtest.h>
#include <utility>

using TextureTest::BoundTextureParameter;
using TextureTest::GLInteger;
using TextureTest::IsTexture;
using TextureTest::ReadBoundTexture;

namespace {
// A voxel colour that differs in every channel, position and slice.
XARGB32Colour VoxelColour(int inX, int inY, int inZ)
{
    return XARGB32Colour(uint8_t(200 + inZ), uint8_t(inX), uint8_t(inY), uint8_t(inX * 7 + inY * 3 + inZ * 50));
}

XARGB32Volume MakeVolume(int inWidth, int inHeight, int inDepth)
{
    XARGB32Volume volume(inWidth, inHeight, inDepth);
    for (int z = 0; z < inDepth; ++z)
        for (int y = 0; y < inHeight; ++y)
            for (int x = 0; x < inWidth; ++x)
                volume.SetVoxel(x, y, z, VoxelColour(x, y, z));
    return volume;
}

using XGLVolumeTextureStackTest = TextureTest::XContextTest;

// Takes its own filtering, and counts the slices it was asked about.
class XNearestStack : public XGLVolumeTextureStack {
public:
    int itsInitialised = 0;

protected:
    void InitialiseTexture() override
    {
        ++itsInitialised;
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    }
};
} // namespace

TEST_F(XGLVolumeTextureStackTest, EverySliceHoldsItsPixelsInALargerBlackTexture)
{
    const XARGB32Volume volume = MakeVolume(300, 200, 5);
    XGLVolumeTextureStack stack(volume);
    ASSERT_EQ(stack.GetSliceCount(), 5u);
    EXPECT_EQ(stack.GetTextureWidth(), 512u);
    EXPECT_EQ(stack.GetTextureHeight(), 256u);
    for (unsigned z = 0; z < 5; ++z) {
        stack.BindSliceTexture(z);
        TextureTest::XTexels texels = ReadBoundTexture(GL_RGBA, 4);
        ASSERT_EQ(texels.width, 512);
        ASSERT_EQ(texels.height, 256);
        for (int y = 0; y < 256; ++y)
            for (int x = 0; x < 512; ++x) {
                const uint8_t* t = &texels.bytes[size_t(y * 512 + x) * 4];
                const XARGB32Colour expected =
                    x < 300 && y < 200 ? VoxelColour(x, y, int(z)) : XARGB32Colour(255, 0, 0, 0);
                // The texture keeps red, green and blue; alpha reads back opaque.
                ASSERT_TRUE(t[0] == expected.red && t[1] == expected.green && t[2] == expected.blue && t[3] == 255)
                    << "slice " << z << " texel " << x << ", " << y << ": " << int(t[0]) << " " << int(t[1]) << " "
                    << int(t[2]) << " " << int(t[3]);
            }
        EXPECT_EQ(BoundTextureParameter(GL_TEXTURE_MIN_FILTER), GL_LINEAR);
        EXPECT_EQ(BoundTextureParameter(GL_TEXTURE_WRAP_S), GL_CLAMP);
    }
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(XGLVolumeTextureStackTest, LoadingKeepsTheCallersBindingAndUsesTheOverride)
{
    GLuint mine = 0;
    glGenTextures(1, &mine);
    glBindTexture(GL_TEXTURE_2D, mine);
    XNearestStack stack;
    stack.LoadVolume(MakeVolume(3, 5, 4));
    EXPECT_EQ(GLuint(GLInteger(GL_TEXTURE_BINDING_2D)), mine);
    EXPECT_EQ(stack.itsInitialised, 4);
    EXPECT_EQ(stack.GetTextureWidth(), 4u);
    EXPECT_EQ(stack.GetTextureHeight(), 8u);
    stack.BindSliceTexture(3);
    EXPECT_EQ(BoundTextureParameter(GL_TEXTURE_MIN_FILTER), GL_NEAREST);
    glDeleteTextures(1, &mine);

    // An out-of-range slice is reported and binds nothing.
    glBindTexture(GL_TEXTURE_2D, 0);
    XAssertRecorder recorder;
    stack.BindSliceTexture(4);
    EXPECT_TRUE(recorder.Has("slice < textureNames.size()", "X-Platform/XGLVolumeTextureStack"));
    EXPECT_EQ(GLInteger(GL_TEXTURE_BINDING_2D), 0);
}

TEST_F(XGLVolumeTextureStackTest, ReloadingForgettingAndMovingLeaveNoTextureBehind)
{
    XGLVolumeTextureStack first(MakeVolume(8, 8, 3));
    std::vector<uint32_t> old;
    for (unsigned z = 0; z < 3; ++z)
        old.push_back(first.GetSliceTextureName(z));
    first.LoadVolume(MakeVolume(4, 4, 2));
    ASSERT_EQ(first.GetSliceCount(), 2u);
    for (uint32_t name : old)
        if (name != first.GetSliceTextureName(0) && name != first.GetSliceTextureName(1)) {
            EXPECT_FALSE(IsTexture(name)) << "the previous volume's texture was kept";
        }
    // Moving hands the textures over.
    const uint32_t name = first.GetSliceTextureName(1);
    XGLVolumeTextureStack second(std::move(first));
    EXPECT_EQ(first.GetSliceCount(), 0u);
    first.ForgetVolume(); // the moved-from stack holds nothing to delete
    EXPECT_TRUE(IsTexture(name));
    XGLVolumeTextureStack third;
    third = std::move(second);
    EXPECT_EQ(third.GetSliceCount(), 2u);
    EXPECT_EQ(third.GetSliceTextureName(1), name);
    EXPECT_TRUE(IsTexture(name));
    third.ForgetVolume();
    third.ForgetVolume();
    EXPECT_EQ(third.GetSliceCount(), 0u);
    EXPECT_FALSE(IsTexture(name));
    // Empty volumes load nothing; oversized ones are refused.
    third.LoadVolume(XARGB32Volume());
    EXPECT_EQ(third.GetSliceCount(), 0u);
    EXPECT_THROW(third.LoadVolume(XARGB32Volume(GLInteger(GL_MAX_TEXTURE_SIZE) + 1, 1, 1)), XException);
    EXPECT_EQ(third.GetSliceCount(), 0u);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST(XGLVolumeTextureStack, TexturesOfAnotherContextAreLeftToIt)
{
    WGLWnd a(4, 4), b(4, 4);
    auto stack = std::make_unique<XGLVolumeTextureStack>();
    uint32_t name = 0;
    {
        XGLContextLock lock(a);
        stack->LoadVolume(MakeVolume(4, 4, 1));
        name = stack->GetSliceTextureName(0);
    }
    {
        XGLContextLock lock(b);
        stack.reset();
        EXPECT_TRUE(IsTexture(name));
    }
    XGLContextLock lock(a);
    GLuint n = name;
    glDeleteTextures(1, &n);
}

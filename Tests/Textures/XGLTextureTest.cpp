// Textures that fill themselves on demand and follow the context that made their name.
#include "TextureTestSupport.h"
#include "WGLWnd.h"
#include "XAssertRecorder.h"
#include "XGLContextLock.h"
#include "XGLTexture.h"
#include "XGLTextureDescriptor.h"
#include "XGLTextureOps.h"

#include <gtest/gtest.h>
#include <memory>

using TextureTest::IsTexture;
using TextureTest::ReadBoundTexture;

namespace {
// A 1 × 1 grey texture of the value set when it is uploaded.
class XGreyTexture : public XGLTexture {
public:
    int itsUploads = 0;
    uint8_t itsValue = 10;

protected:
    void UploadTexture() override
    {
        ++itsUploads;
        glTexImage2D(GL_TEXTURE_2D, 0, GL_LUMINANCE8, 1, 1, 0, GL_LUMINANCE, GL_UNSIGNED_BYTE, &itsValue);
    }
};

uint8_t BoundValue()
{
    return ReadBoundTexture(GL_LUMINANCE, 1).bytes.at(0);
}
} // namespace

TEST(XGLTexture, UploadsInTheContextItIsSelectedInAndDeletesOnlyItsOwnName)
{
    WGLWnd a(4, 4), b(4, 4);
    {
        XAssertRecorder recorder;
        XGreyTexture texture;
        texture.SelectTexture();
        EXPECT_TRUE(recorder.Has("XGLContext::GetCurrentContext()", "X-Platform/XGLTexture")) << "selected without a context";
        EXPECT_EQ(texture.itsUploads, 0);
    }
    auto texture = std::make_unique<XGreyTexture>();
    uint32_t nameInA = 0;
    {
        XGLContextLock lock(a);
        texture->SelectTexture();
        nameInA = texture->GetTextureName();
        EXPECT_EQ(texture->GetContextID(), a.GetContextID());
        EXPECT_EQ(BoundValue(), 10);
        texture->itsValue = 77;
        texture->SelectTexture(); // same context, no update asked: bind only
        EXPECT_EQ(texture->itsUploads, 1);
        EXPECT_EQ(BoundValue(), 10) << "selecting without an update request must not upload";
        texture->SetNeedsUpdate();
        texture->SelectTexture();
        EXPECT_EQ(texture->itsUploads, 2);
        EXPECT_EQ(BoundValue(), 77);
        EXPECT_FALSE(texture->NeedsUpdate());
        if (texture->GetTextureName() != nameInA) { // the driver may hand the freed number out again
            EXPECT_FALSE(IsTexture(nameInA)) << "the replaced texture was not deleted";
        }
        nameInA = texture->GetTextureName();
    }
    texture->itsValue = 20;
    {
        XGLContextLock lock(b);
        texture->SelectTexture();
        EXPECT_EQ(texture->itsUploads, 3);
        EXPECT_EQ(texture->GetContextID(), b.GetContextID());
        EXPECT_NE(texture->GetTextureName(), nameInA);
        EXPECT_EQ(BoundValue(), 20);
    }
    const uint32_t nameInB = texture->GetTextureName();
    {
        // The two windows share objects, so A's name is visible here: it was not deleted
        // and still holds what was uploaded in A. Ended in A, the texture leaves B's name.
        XGLContextLock lock(a);
        texture.reset();
        EXPECT_TRUE(IsTexture(nameInB));
        EXPECT_TRUE(IsTexture(nameInA));
        glBindTexture(GL_TEXTURE_2D, nameInA);
        EXPECT_EQ(BoundValue(), 77);
        for (GLuint name : {nameInA, nameInB})
            glDeleteTextures(1, &name);
        // Ended in its own context, it deletes its name.
        texture = std::make_unique<XGreyTexture>();
        texture->SelectTexture();
        const uint32_t own = texture->GetTextureName();
        texture.reset();
        EXPECT_FALSE(IsTexture(own));
    }
}

TEST(XGLTextureOps, DescriptorsFollowTheCurrentContext)
{
    WGLWnd a(4, 4), b(4, 4);
    XGLTextureDescriptor descriptor;
    {
        XGLContextLock lock(a);
        descriptor = XGLTextureOps::ManufactureTexture();
        EXPECT_EQ(descriptor.GetContextID(), a.GetContextID());
        EXPECT_TRUE(XGLTextureOps::IsUseable(descriptor));
        descriptor.Select();
        EXPECT_TRUE(XGLTextureOps::ConfigureBlankTexture(GL_LUMINANCE8, 64, 32));
        EXPECT_EQ(TextureTest::BoundTextureSize(), std::make_pair(64, 32));
        EXPECT_EQ(TextureTest::BoundTextureParameter(GL_TEXTURE_MIN_FILTER), GL_LINEAR);
        EXPECT_FALSE(XGLTextureOps::ConfigureBlankTexture(GL_LUMINANCE8, 1 << 20, 4)) << "an impossible size fitted";
    }
    const uint32_t name = descriptor.GetName();
    {
        XGLContextLock lock(b);
        EXPECT_TRUE(XGLTextureOps::IsUnuseable(descriptor));
        XGLTextureDescriptor copy = descriptor;
        XGLTextureOps::Free(copy); // another context's number: forgotten, not deleted
        EXPECT_TRUE(copy.IsInvalid());
        EXPECT_EQ(copy.GetContextID(), 0u);
        EXPECT_TRUE(IsTexture(name));
    }
    XGLContextLock lock(a);
    XGLTextureOps::Free(descriptor);
    EXPECT_FALSE(IsTexture(name));
}

// Texture name arrays: which context owns the names, and who deletes them when.
#include "TextureTestSupport.h"
#include "WGLWnd.h"
#include "XAssertRecorder.h"
#include "XGLContextLock.h"
#include "XGLTextureNameArray.h"
#include "XSessionLogManager.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <memory>

using TextureTest::GLInteger;
using TextureTest::IsTexture;

namespace {
// Allocates inCount names and binds each once, so that they become texture objects.
std::vector<uint32_t> AllocateAndBind(XGLTextureNameArray& inArray, uint32_t inCount)
{
    inArray.AllocateNames(inCount);
    std::vector<uint32_t> names;
    for (uint32_t i = 0; i < inArray.GetTextureCount(); ++i) {
        inArray.BindTexture2D(i, 100 + i);
        names.push_back(inArray.GetTextureName(i));
    }
    return names;
}
using XGLTextureNameArrayTest = TextureTest::XContextTest;
} // namespace

TEST(XGLTextureNameArray, NamesAreFreedByTheirContextsDisposalAReallocationOrTheEnd)
{
    WGLWnd window(4, 4);
    XGLTextureNameArray array;
    auto ending = std::make_unique<XGLTextureNameArray>();
    std::vector<uint32_t> disposed, old, fresh, ended;
    {
        XGLContextLock lock(window);
        disposed = AllocateAndBind(array, 3);
        EXPECT_EQ(array.GetTotalTextureSize(), 303u);
        ended = AllocateAndBind(*ending, 2);
    }
    window.PreContextDispose();
    EXPECT_EQ(array.GetTextureCount(), 0u);
    EXPECT_EQ(array.GetContext(), nullptr);
    EXPECT_EQ(ending->GetTextureCount(), 0u);
    {
        XGLContextLock lock(window);
        for (uint32_t name : disposed)
            EXPECT_FALSE(IsTexture(name)) << "disposal left " << name;
        // Reallocating in the same context deletes the old names.
        old = AllocateAndBind(array, 2);
        fresh = AllocateAndBind(array, 2);
        for (uint32_t name : old)
            if (std::find(fresh.begin(), fresh.end(), name) == fresh.end()) {
                EXPECT_FALSE(IsTexture(name)) << "reallocation left " << name;
            }
        ended = AllocateAndBind(*ending, 2);
    }
    // Ended with no context current, the array frees its names in the owner.
    ending.reset();
    XGLContextLock lock(window);
    for (uint32_t name : ended)
        EXPECT_FALSE(IsTexture(name)) << "the end left " << name;
}

TEST(XGLTextureNameArray, AnotherContextNeitherBindsNorDeletesTheNames)
{
    WGLWnd a(4, 4), b(4, 4);
    XGLTextureNameArray array;
    std::vector<uint32_t> namesInA;
    {
        XGLContextLock lock(a);
        namesInA = AllocateAndBind(array, 2);
        glBindTexture(GL_TEXTURE_2D, 0);
        XAssertRecorder recorder;
        array.BindTexture2D(5, 10);
        array.BindTexture3D(2, 10);
        array.FreeName(9);
        EXPECT_EQ(recorder.GetCount(), 3u);
        EXPECT_TRUE(recorder.Has("inIndex < GetTextureCount()", "X-Platform/XGLTextureNameArray"));
        EXPECT_EQ(GLInteger(GL_TEXTURE_BINDING_2D), 0);
    }
    {
        XGLContextLock lock(b);
        XAssertRecorder recorder;
        array.BindTexture2D(0, 10);
        EXPECT_TRUE(recorder.Has("HasTexturesInCurrentContext()"));
        EXPECT_EQ(GLInteger(GL_TEXTURE_BINDING_2D), 0) << "a name of another context was bound";
        EXPECT_EQ(array.GetTextureSize(0), 100u);
        // Reallocated here, the array drops A's names without deleting them, and A's listener.
        recorder.Clear();
        array.AllocateNames(3);
        EXPECT_EQ(recorder.GetCount(), 0u) << "another context was locked while B was current";
        EXPECT_EQ(array.GetContext(), &b);
        EXPECT_EQ(array.GetTextureCount(), 3u);
        for (uint32_t name : namesInA)
            EXPECT_TRUE(IsTexture(name)) << "a name of A was deleted from B";
    }
    XAssertRecorder recorder;
    array.AllocateNames(1);
    EXPECT_TRUE(recorder.Has("context != 0"));
    a.PreContextDispose();
    EXPECT_EQ(array.GetTextureCount(), 3u);
    XGLContextLock lock(a);
    for (GLuint name : namesInA)
        glDeleteTextures(1, &name);
}

TEST_F(XGLTextureNameArrayTest, FreedSlotGetsAFreshNameAndThreeDimensionalBindingsGoOnTheirUnit)
{
    XGLTextureNameArray array;
    std::vector<uint32_t> names = AllocateAndBind(array, 2);
    array.FreeName(1);
    EXPECT_EQ(array.GetTextureName(1), 0u);
    EXPECT_EQ(array.GetTextureSize(1), 0u);
    EXPECT_TRUE(IsTexture(names[0]));
    // Another owner may be handed the freed number now.
    GLuint other = 0;
    glGenTextures(1, &other);
    glBindTexture(GL_TEXTURE_2D, other);
    array.BindTexture2D(1, 64);
    EXPECT_NE(array.GetTextureName(1), 0u);
    EXPECT_NE(array.GetTextureName(1), other);
    EXPECT_EQ(array.GetTextureSize(1), 64u);
    glDeleteTextures(1, &other);

    array.AllocateNames(1); // a name bound as 2D cannot become 3D
    array.BindTexture3D(GL_TEXTURE1_ARB, 0, 4096);
    EXPECT_EQ(GLInteger(GL_ACTIVE_TEXTURE_ARB), GL_TEXTURE1_ARB);
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_3D));
    EXPECT_EQ(uint32_t(GLInteger(GL_TEXTURE_BINDING_3D)), array.GetTextureName(0));
    EXPECT_EQ(array.GetTextureSize(0), 4096u);
    glDisable(GL_TEXTURE_3D);
    glActiveTextureARB(GL_TEXTURE0_ARB);
}

TEST(XGLTextureNameArray, DebugModeLogsNameTraffic)
{
    WGLWnd window(4, 4);
    XSessionLogManager::GetManager()->ClearEntries();
    XGLTextureNameArray::SetDebugMode(true);
    {
        XGLContextLock lock(window);
        XGLTextureNameArray array;
        array.AllocateNames(3);
        array.FreeNames();
    }
    XGLTextureNameArray::SetDebugMode(false);
    const XString id = XString::FromSInt64(window.GetContextID());
    auto generated = XSessionLogManager::GetManager()->FindEntries("Generating 3 texture names for context " + id);
    auto freed = XSessionLogManager::GetManager()->FindEntries("Freeing 3 texture names for context " + id);
    EXPECT_EQ(generated.size(), 1u);
    EXPECT_EQ(freed.size(), 1u);
}

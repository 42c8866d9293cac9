// The scoped OpenGL state guards put back exactly what they found.
#include "WGLWnd.h"
#include "XGLAlphaTestSetter.h"
#include "XGLAntiAlias.h"
#include "XAssertRecorder.h"
#include "XGLBlendFunctionSaver.h"
#include "XGLBlendFunctionSetter.h"
#include "XGLColourAttachment.h"
#include "XGLColourSetter.h"
#include "XGLContextLock.h"
#include "XGLCullModeSetter.h"
#include "XGLTextureBindSaver.h"

#include <gtest/gtest.h>

namespace {
class XGLStateGuardTest : public ::testing::Test {
protected:
    XGLStateGuardTest() : itsWindow(8, 8), itsLock(itsWindow) {}
    static GLint Integer(GLenum inName)
    {
        GLint value = 0;
        glGetIntegerv(inName, &value);
        return value;
    }
    static std::array<float, 4> Colour()
    {
        std::array<float, 4> c{};
        glGetFloatv(GL_CURRENT_COLOR, c.data());
        return c;
    }
    WGLWnd itsWindow;
    XGLContextLock itsLock;
};
} // namespace

TEST_F(XGLStateGuardTest, CullModeSetterRestoresModeAndSwitch)
{
    glDisable(GL_CULL_FACE);
    glCullFace(GL_FRONT);
    {
        XGLCullModeSetter setter;
        EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
        EXPECT_EQ(Integer(GL_CULL_FACE_MODE), GL_BACK);
    }
    EXPECT_FALSE(glIsEnabled(GL_CULL_FACE));
    EXPECT_EQ(Integer(GL_CULL_FACE_MODE), GL_FRONT);
}

TEST_F(XGLStateGuardTest, BlendGuardsRestoreThePair)
{
    glBlendFunc(GL_ONE, GL_ZERO);
    {
        XGLBlendFunctionSaver saver;
        XGLBlendFunctionSetter setter(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        EXPECT_EQ(Integer(GL_BLEND_SRC), GL_SRC_ALPHA);
        EXPECT_EQ(Integer(GL_BLEND_DST), GL_ONE_MINUS_SRC_ALPHA);
        glBlendFunc(GL_DST_COLOR, GL_ONE);
    }
    EXPECT_EQ(Integer(GL_BLEND_SRC), GL_ONE);
    EXPECT_EQ(Integer(GL_BLEND_DST), GL_ZERO);
}

TEST_F(XGLStateGuardTest, AlphaTestSetterRestoresFunctionReferenceAndSwitch)
{
    glDisable(GL_ALPHA_TEST);
    glAlphaFunc(GL_ALWAYS, 0.0f);
    {
        XGLAlphaTestSetter setter(GL_GREATER, 0.5f);
        EXPECT_TRUE(glIsEnabled(GL_ALPHA_TEST));
        EXPECT_EQ(Integer(GL_ALPHA_TEST_FUNC), GL_GREATER);
    }
    EXPECT_FALSE(glIsEnabled(GL_ALPHA_TEST));
    EXPECT_EQ(Integer(GL_ALPHA_TEST_FUNC), GL_ALWAYS);
    GLfloat reference = 1.0f;
    glGetFloatv(GL_ALPHA_TEST_REF, &reference);
    EXPECT_EQ(reference, 0.0f);
}

TEST_F(XGLStateGuardTest, ColourGuardsRestoreTheCurrentColour)
{
    glColor4f(0.25f, 0.5f, 0.75f, 0.5f);
    const auto before = Colour();
    {
        XGLColourSetter setter(XARGB32Colour(0, 255, 0, 51)); // alpha byte 0 is not applied
        const auto during = Colour();
        EXPECT_FLOAT_EQ(during[0], 1.0f);
        EXPECT_FLOAT_EQ(during[2], 0.2f);
        EXPECT_FLOAT_EQ(during[3], 1.0f);
    }
    EXPECT_EQ(Colour(), before);
    XGLColourAttachment attachment(0, 1, 0, 1);
    attachment.PreRender();
    EXPECT_FLOAT_EQ(Colour()[1], 1.0f);
    attachment.PostRender();
    EXPECT_EQ(Colour(), before);
}

TEST_F(XGLStateGuardTest, TextureBindingAndSmoothingAreRestored)
{
    GLuint textures[2];
    glGenTextures(2, textures);
    glBindTexture(GL_TEXTURE_2D, textures[0]);
    {
        XGLTextureBindSaver saver;
        glBindTexture(GL_TEXTURE_2D, textures[1]);
    }
    EXPECT_EQ(GLuint(Integer(GL_TEXTURE_BINDING_2D)), textures[0]);
    glDeleteTextures(2, textures);

    glDisable(GL_LINE_SMOOTH);
    glHint(GL_LINE_SMOOTH_HINT, GL_FASTEST);
    {
        XGLAntiAlias smooth(GL_LINE_SMOOTH);
        EXPECT_TRUE(glIsEnabled(GL_LINE_SMOOTH));
        EXPECT_EQ(Integer(GL_LINE_SMOOTH_HINT), GL_NICEST);
    }
    EXPECT_FALSE(glIsEnabled(GL_LINE_SMOOTH));
    EXPECT_EQ(Integer(GL_LINE_SMOOTH_HINT), GL_FASTEST);
    XAssertRecorder recorder;
    {
        XGLAntiAlias wrong(GL_DEPTH_TEST);
    }
    EXPECT_TRUE(recorder.Has("false"));
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
}

// The scoped OpenGL state guards and switching attachments put back exactly what they found.
#include "WGLWnd.h"
#include "XGLAlphaTestSetter.h"
#include "XGLAntiAlias.h"
#include "XGLBlendFunctionSaver.h"
#include "XGLBlendFunctionSetter.h"
#include "XGLColourAttachment.h"
#include "XGLColourSetter.h"
#include "XGLContextLock.h"
#include "XGLCullModeSetter.h"
#include "XGLDisableAttachment.h"
#include "XGLEnableAttachment.h"
#include "XGLTextureBindSaver.h"

#include <gtest/gtest.h>

namespace {
GLint Integer(GLenum inName)
{
    GLint value = 0;
    glGetIntegerv(inName, &value);
    return value;
}

std::array<float, 4> Colour()
{
    std::array<float, 4> c{};
    glGetFloatv(GL_CURRENT_COLOR, c.data());
    return c;
}
} // namespace

TEST(XGLStateGuard, SettersSwitchAndRestoreModeFunctionAndSwitch)
{
    WGLWnd window(8, 8);
    XGLContextLock lock(window);
    glDisable(GL_CULL_FACE);
    glCullFace(GL_FRONT);
    {
        XGLCullModeSetter setter;
        EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
        EXPECT_EQ(Integer(GL_CULL_FACE_MODE), GL_BACK);
    }
    EXPECT_FALSE(glIsEnabled(GL_CULL_FACE));
    EXPECT_EQ(Integer(GL_CULL_FACE_MODE), GL_FRONT);

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

    glDisable(GL_LINE_SMOOTH);
    glHint(GL_LINE_SMOOTH_HINT, GL_FASTEST);
    {
        XGLAntiAlias smooth(GL_LINE_SMOOTH);
        EXPECT_TRUE(glIsEnabled(GL_LINE_SMOOTH));
        EXPECT_EQ(Integer(GL_LINE_SMOOTH_HINT), GL_NICEST);
    }
    EXPECT_FALSE(glIsEnabled(GL_LINE_SMOOTH));
    EXPECT_EQ(Integer(GL_LINE_SMOOTH_HINT), GL_FASTEST);
}

TEST(XGLStateGuard, ColourBindingAndCapabilitiesAreRestored)
{
    WGLWnd window(8, 8);
    XGLContextLock lock(window);
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

    GLuint textures[2];
    glGenTextures(2, textures);
    glBindTexture(GL_TEXTURE_2D, textures[0]);
    {
        XGLTextureBindSaver saver;
        glBindTexture(GL_TEXTURE_2D, textures[1]);
    }
    EXPECT_EQ(GLuint(Integer(GL_TEXTURE_BINDING_2D)), textures[0]);
    glDeleteTextures(2, textures);

    XGLEnableAttachment enable(GL_FOG);
    XGLDisableAttachment disable(GL_DITHER);
    for (bool wasOn : {true, false}) {
        wasOn ? glEnable(GL_FOG) : glDisable(GL_FOG);
        wasOn ? glDisable(GL_DITHER) : glEnable(GL_DITHER);
        enable.PreRender();
        disable.PreRender();
        EXPECT_TRUE(glIsEnabled(GL_FOG));
        EXPECT_FALSE(glIsEnabled(GL_DITHER));
        disable.PostRender();
        enable.PostRender();
        EXPECT_EQ(glIsEnabled(GL_FOG) != GL_FALSE, wasOn) << "fog was " << wasOn;
        EXPECT_EQ(glIsEnabled(GL_DITHER) != GL_FALSE, !wasOn) << "dither was " << !wasOn;
    }
}

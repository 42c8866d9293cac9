// Run-time loading of OpenGL, GLU and EGL, and the extension checks.
#include "WGLWnd.h"
#include "XGLContextLock.h"
#include "XErrorCode.h"
#include "XGLException.h"
#include "XOpenGL.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <string>

namespace {
// Points one of the loader's libraries elsewhere for the life of the object.
class XLibraryOverride {
public:
    XLibraryOverride(const char* inVariable, const char* inLibrary) : itsVariable(inVariable)
    {
        setenv(inVariable, inLibrary, 1);
    }
    ~XLibraryOverride() { unsetenv(itsVariable.c_str()); }

private:
    std::string itsVariable;
};

// Nothing in these tests may hold OpenGL when they start.
void ExpectUnloaded()
{
    ASSERT_FALSE(OpenGLIsLoaded()) << "an earlier test left OpenGL loaded";
}
} // namespace

TEST(OpenGLInit, LoadsAndCountsAndUnloads)
{
    ExpectUnloaded();
    ASSERT_EQ(OpenGLInit(), 0);
    EXPECT_TRUE(OpenGLIsLoaded());
    EXPECT_NE(glViewport, nullptr);
    EXPECT_NE(XGLEntry::TryGLUErrorString(GL_INVALID_ENUM), nullptr);
    EXPECT_NE(eglMakeCurrent, nullptr);
    EXPECT_EQ(OpenGLInit(), 0);
    OpenGLUnInit();
    EXPECT_TRUE(OpenGLIsLoaded()) << "one count is still held";
    OpenGLUnInit();
    EXPECT_FALSE(OpenGLIsLoaded());
    EXPECT_EQ(glViewport, nullptr);
}

TEST(OpenGLInit, MissingLibraryGivesMinus666AndTheRepeatKeepsTheFailure)
{
    ExpectUnloaded();
    {
        XLibraryOverride missing("KESTRIN_GL_LIBRARY", "libKestrinNoSuchGL.so.1");
        EXPECT_EQ(OpenGLInit(), -666);
    }
    // The library would load now, but the first result stands until the count is back to zero.
    EXPECT_EQ(OpenGLInit(), -666);
    EXPECT_FALSE(OpenGLIsLoaded());
    OpenGLUnInit();
    OpenGLUnInit();
    EXPECT_EQ(OpenGLInit(), 0);
    OpenGLUnInit();
}

TEST(OpenGLInit, MissingEntryPointsGiveMinus1)
{
    ExpectUnloaded();
    {
        // A library that exists but holds no OpenGL function.
        XLibraryOverride wrong("KESTRIN_GL_LIBRARY", "libm.so.6");
        EXPECT_EQ(OpenGLInit(), -1);
        EXPECT_EQ(glViewport, nullptr);
        OpenGLUnInit();
    }
    {
        XLibraryOverride wrong("KESTRIN_GLU_LIBRARY", "libm.so.6");
        EXPECT_EQ(OpenGLInit(), -1);
        OpenGLUnInit();
    }
    {
        XLibraryOverride wrong("KESTRIN_EGL_LIBRARY", "libKestrinNoSuchEGL.so.1");
        EXPECT_EQ(OpenGLInit(), -666);
        OpenGLUnInit();
    }
    EXPECT_FALSE(OpenGLIsLoaded());
}

TEST(OpenGLInit, WindowReportsOpenGLUnavailableInsteadOfFailingToLoad)
{
    ExpectUnloaded();
    XLibraryOverride missing("KESTRIN_GL_LIBRARY", "libKestrinNoSuchGL.so.1");
    EXPECT_TRUE(Throws([] { WGLWnd window(8, 8); }, -1, "OpenGL is not available"));
    EXPECT_FALSE(OpenGLIsLoaded());
}

TEST(OpenGLExtensions, WholeNamesOnly)
{
    const char* list = "GL_ARB_fragment_program_shadow GL_EXT_texture3D GL_ARB_multitexture";
    for (const char* part : {"GL_ARB_fragment_program", "GL_EXT_texture", "texture3D", ""})
        EXPECT_FALSE(OpenGLExtensionListContains(list, part)) << part;
    for (const char* whole : {"GL_ARB_fragment_program_shadow", "GL_EXT_texture3D", "GL_ARB_multitexture"})
        EXPECT_TRUE(OpenGLExtensionListContains(list, whole)) << whole;
    EXPECT_FALSE(OpenGLExtensionListContains(nullptr, "GL_ARB_multitexture"));
}

TEST(OpenGLExtensions, ForwardersFollowTheExtensionString)
{
    WGLWnd window(8, 8);
    XGLContextLock lock(window);
    // EGL hands out an address for any name; the extension string decides.
    EXPECT_NE(OpenGLGetExtensionFunction("glKestrinNoSuchFunctionEXT"), nullptr);
    EXPECT_FALSE(OpenGLCheckExtension("GL_KESTRIN_no_such_extension"));
    ASSERT_TRUE(OpenGLCheckExtension("GL_ARB_multitexture"));
    glActiveTextureARB(GL_TEXTURE1_ARB);
    GLint unit = 0;
    glGetIntegerv(GL_ACTIVE_TEXTURE_ARB, &unit);
    EXPECT_EQ(unit, GL_TEXTURE1_ARB);
    glActiveTextureARB(GL_TEXTURE0_ARB);

    ASSERT_FALSE(OpenGLCheckExtension("GL_NV_pixel_data_range")) << "this driver offers the extension after all";
    EXPECT_TRUE(Throws([] { glFlushPixelDataRangeNV(GL_WRITE_PIXEL_DATA_RANGE_NV); }, XException::kMissingExtension,
                       "glFlushPixelDataRangeNV"));
    EXPECT_TRUE(OpenGLCheckWGLExtension(WEGLDisplay::Get(), "EGL_KHR_create_context") ||
                OpenGLCheckWGLExtension(WEGLDisplay::Get(), "EGL_KHR_surfaceless_context"));
    EXPECT_FALSE(OpenGLCheckWGLExtension(WEGLDisplay::Get(), "EGL_KHR"));
}

TEST(OpenGLTextureUpload, BadSizesBecomeGLExceptions)
{
    WGLWnd window(8, 8);
    XGLContextLock lock(window);
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    const uint32_t pixel = 0xFF00FF00u;
    EXPECT_NO_THROW(exceptglTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, &pixel));
    GLint maxSize = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
    try {
        exceptglTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, maxSize * 2, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
        FAIL() << "an oversized upload went through";
    } catch (const XGLException& e) {
        EXPECT_EQ(e.GetGLError(), uint32_t(GL_INVALID_VALUE));
        EXPECT_EQ(e.GetRawErrorMessage(), XString("an OpenGL error occurred (invalid value, 1281)"));
    }
    EXPECT_THROW(exceptglTexImage1D(GL_TEXTURE_1D, 0, GL_RGBA, -4, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr), XGLException);
    EXPECT_EQ(XGLException(GL_OUT_OF_MEMORY).GetErrorCode(), 0x0505);
    glDeleteTextures(1, &texture);
}

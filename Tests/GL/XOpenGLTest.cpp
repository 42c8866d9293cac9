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
} // namespace

TEST(OpenGLInit, LoadsCountsAndUnloadsAndAFailureStandsUntilUnloaded)
{
    ASSERT_FALSE(OpenGLIsLoaded()) << "an earlier test left OpenGL loaded";
    ASSERT_EQ(OpenGLInit(), 0);
    EXPECT_NE(glViewport, nullptr);
    EXPECT_NE(XGLEntry::TryGLUErrorString(GL_INVALID_ENUM), nullptr);
    EXPECT_NE(eglMakeCurrent, nullptr);
    EXPECT_EQ(OpenGLInit(), 0);
    OpenGLUnInit();
    EXPECT_TRUE(OpenGLIsLoaded()) << "one count is still held";
    OpenGLUnInit();
    EXPECT_FALSE(OpenGLIsLoaded());
    EXPECT_EQ(glViewport, nullptr);

    // -666: a library that cannot be loaded; -1: one that holds no OpenGL function.
    const struct {
        const char* variable;
        const char* library;
        int result;
    } cases[] = {
        {"KESTRIN_GL_LIBRARY", "libKestrinNoSuchGL.so.1", -666},
        {"KESTRIN_GL_LIBRARY", "libm.so.6", -1},
        {"KESTRIN_GLU_LIBRARY", "libm.so.6", -1},
        {"KESTRIN_EGL_LIBRARY", "libKestrinNoSuchEGL.so.1", -666},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.variable) + "=" + c.library);
        {
            XLibraryOverride wrong(c.variable, c.library);
            EXPECT_EQ(OpenGLInit(), c.result);
            EXPECT_EQ(glViewport, nullptr);
        }
        // The libraries would load now, but the first result stands until the count is back to zero.
        EXPECT_EQ(OpenGLInit(), c.result);
        EXPECT_FALSE(OpenGLIsLoaded());
        OpenGLUnInit();
        OpenGLUnInit();
    }
    // A window reports OpenGL unavailable instead of failing to load.
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
        EXPECT_TRUE(e.GetRawErrorMessage().Contains("invalid value"));
    }
    EXPECT_THROW(exceptglTexImage1D(GL_TEXTURE_1D, 0, GL_RGBA, -4, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr), XGLException);
    glDeleteTextures(1, &texture);
}

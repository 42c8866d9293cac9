// ARB fragment programs: loading, rejection, and reloading a program the context lost.
#include "WGLWnd.h"
#include "XGLContextLock.h"
#include "XGLFragmentProgram.h"
#include "XGLFragmentProgramException.h"
#include "XOpenGL.h"

#include <gtest/gtest.h>

namespace {
// Counts the parameter hook's runs, and sets a colour that shows the program ran.
class XColourProgram : public XGLFragmentProgram {
public:
    int parameterRuns = 0;

protected:
    void SetParameters() override
    {
        ++parameterRuns;
        glProgramLocalParameter4fARB(GL_FRAGMENT_PROGRAM_ARB, 0, 0.0f, 1.0f, 0.0f, 1.0f);
    }
};

const XVector<XString> kLines = {"!!ARBfp1.0", "PARAM c = program.local[0];", "MOV result.color, c;", "END"};

struct XProgramFixture {
    WGLWnd window{16, 16};
    XGLContextLock lock{window};
    bool Supported() const { return OpenGLCheckExtension("GL_ARB_fragment_program"); }
};
} // namespace

TEST(XGLFragmentProgram, LoadsBindsAndReloadsAProgramItsContextLost)
{
    XProgramFixture f;
    if (!f.Supported())
        GTEST_SKIP() << "this OpenGL has no GL_ARB_fragment_program";
    XColourProgram program;
    program.SetProgram(kLines);
    EXPECT_FALSE(program.IsLoaded());
    program.Load();
    ASSERT_TRUE(program.IsLoaded());
    EXPECT_EQ(program.parameterRuns, 1);
    EXPECT_GE(program.GetInstructionCount(), 1);

    // Someone deleted the GL name behind the program's back.
    const unsigned lost = program.GetID();
    GLuint name = lost;
    glDeleteProgramsARB(1, &name);
    ASSERT_FALSE(glIsProgramARB(lost));
    program.Bind();
    EXPECT_TRUE(program.IsLoaded());
    EXPECT_TRUE(glIsProgramARB(program.GetID()));
    GLint bound = 0;
    glGetProgramivARB(GL_FRAGMENT_PROGRAM_ARB, GL_PROGRAM_BINDING_ARB, &bound);
    EXPECT_EQ(GLuint(bound), program.GetID());

    // Bound and enabled, the program colours what is drawn.
    glEnable(GL_FRAGMENT_PROGRAM_ARB);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glBegin(GL_QUADS);
    glVertex2f(-1, -1);
    glVertex2f(1, -1);
    glVertex2f(1, 1);
    glVertex2f(-1, 1);
    glEnd();
    glDisable(GL_FRAGMENT_PROGRAM_ARB);
    GLubyte pixel[4] = {};
    glReadPixels(8, 8, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
    EXPECT_EQ(pixel[0], 0);
    EXPECT_EQ(pixel[1], 255);

    program.Unload();
    EXPECT_FALSE(program.IsLoaded());
    EXPECT_EQ(program.GetID(), 0u);
}

TEST(XGLFragmentProgram, RejectedTextThrowsWithItsPosition)
{
    XProgramFixture f;
    if (!f.Supported())
        GTEST_SKIP() << "this OpenGL has no GL_ARB_fragment_program";
    XGLFragmentProgram program;
    program.SetProgram(XString("!!ARBfp1.0\nMOV result.color, nonsense;\nEND\n"));
    try {
        program.Load();
        FAIL() << "the broken program loaded";
    } catch (const XGLFragmentProgramException& e) {
        EXPECT_GT(e.GetErrorPosition(), 0);
        EXPECT_FALSE(e.HasExceedNativeLimit());
        EXPECT_TRUE(e.GetErrorMessage().Contains("character"));
    }
    EXPECT_FALSE(program.IsLoaded());
    // The name it was given is still ours to free.
    program.Unload();
    EXPECT_EQ(program.GetID(), 0u);
}

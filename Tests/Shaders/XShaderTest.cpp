// Device shaders on a real context: compiling through a device, the standard
// shaders, failures as exceptions, and matrices handed over row by row.
#include "WGLWnd.h"
#include "X3DGC.h"
#include "X3DShaderManager.h"
#include "XAssertRecorder.h"
#include "XCgException.h"
#include "XGLContextLock.h"
#include "XOpenGL.h"
#include "XRecordingRenderSystem.h"
#include "XSessionLogManager.h"
#include "XShader.h"
#include "cgGL.h"

#include <array>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {
constexpr int kSize = 16;

std::vector<std::string> Names(const std::vector<_CGparameter*>& inParameters)
{
    std::vector<std::string> names;
    for (_CGparameter* p : inParameters)
        names.push_back(cgGetParameterName(p));
    return names;
}

// A current context, and devices whose profiles are the runtime's for it.
class ShaderTest : public ::testing::Test {
protected:
    WGLWnd itsWindow{kSize, kSize};
    XGLContextLock itsLock{itsWindow};
    XRecordingDevices itsDevices{cgGLGetLatestProfile(CG_GL_VERTEX), cgGLGetLatestProfile(CG_GL_FRAGMENT)};
    X3DGC itsDevice;

    void SetUp() override
    {
        itsDevice.Initialise();
        cgGetError();
    }
    void TearDown() override
    {
        for (CGprofile profile : {CG_PROFILE_ARBVP1, CG_PROFILE_ARBFP1}) {
            cgGLUnbindProgram(profile);
            cgGLDisableProfile(profile);
        }
    }

    void Bind(XShader& inShader)
    {
        const CGprofile profile = inShader.GetType() == XShader::kVertexShader ? itsDevice.GetVertexProfile()
                                                                               : itsDevice.GetFragmentProfile();
        cgGLLoadProgram(inShader);
        cgGLEnableProfile(profile);
        cgGLBindProgram(inShader);
        ASSERT_EQ(cgGetError(), CG_NO_ERROR);
    }
};

TEST_F(ShaderTest, StandardShadersAreRegisteredWithTheirParameters)
{
    XSessionLogManager::GetManager()->ClearEntries();
    X3DShaderManager manager;
    EXPECT_EQ(XSessionLogManager::GetManager()->FindEntries("Cg Version reported as ").size(), 1u);
    struct XCase {
        uint32_t id;
        XShader::XShaderType type;
        bool hasMatrix;
        std::vector<std::string> samplers;
    };
    const XCase cases[] = {
        {X3DShaderManager::kColourVertexShader, XShader::kVertexShader, true, {}},
        {X3DShaderManager::kColourFragmentShader, XShader::kFragmentShader, false, {}},
        {X3DShaderManager::kTextureVertexShader, XShader::kVertexShader, true, {}},
        {X3DShaderManager::kTextureFragmentShader, XShader::kFragmentShader, false, {"tex0"}},
        {X3DShaderManager::kDecalFragmentShader, XShader::kFragmentShader, false, {"tex0", "tex1"}},
    };
    for (const XCase& c : cases) {
        SCOPED_TRACE(c.id);
        XShader* shader = manager.GetShaderByID(c.id);
        ASSERT_NE(shader, nullptr);
        EXPECT_EQ(shader->GetType(), c.type);
        EXPECT_EQ(shader->HasParameter("ModelViewProj"), c.hasMatrix);
        EXPECT_EQ(Names(shader->GetParametersByClass(CG_PARAMETERCLASS_SAMPLER)), c.samplers);
    }
    XAssertRecorder asserts;
    manager.UnregisterShader(X3DShaderManager::kDecalFragmentShader);
    EXPECT_EQ(manager.GetShaderByID(X3DShaderManager::kDecalFragmentShader), nullptr);
    EXPECT_TRUE(asserts.Has("iter != itsShaderMap.end()"));
}

TEST_F(ShaderTest, MatricesGoOverRowByRow)
{
    XShader vertex(itsDevice, X3DShaderManager::GetStandardShaderSource(X3DShaderManager::kColourVertexShader), "vsMain",
                   XShader::kVertexShader);
    XShader fragment(itsDevice, X3DShaderManager::GetStandardShaderSource(X3DShaderManager::kColourFragmentShader),
                     "psMain", XShader::kFragmentShader);
    Bind(vertex);
    Bind(fragment);
    struct XCase {
        const char* name;
        XMatrix_4x4<float> matrix;
        std::vector<std::array<int, 3>> pixels; // x, y from the bottom, 1 when drawn
    };
    const XCase cases[] = {
        {"identity", XMatrix_4x4<float>(), {{2, 2, 1}, {13, 13, 1}}},
        // Row vectors: scaled first, then moved into the top right quarter.
        {"moved", XMatrix_4x4<float>::MakeScale(0.5f, 0.5f, 1) * XMatrix_4x4<float>::MakeTranslation(0.5f, 0.5f, 0),
         {{2, 2, 0}, {13, 2, 0}, {2, 13, 0}, {9, 9, 1}, {14, 14, 1}}},
    };
    for (const XCase& c : cases) {
        SCOPED_TRACE(c.name);
        vertex.SetMatrixParameter("ModelViewProj", c.matrix);
        glViewport(0, 0, kSize, kSize);
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        glColor4f(0, 1, 0, 1);
        glBegin(GL_QUADS);
        glVertex2f(-1, -1), glVertex2f(1, -1), glVertex2f(1, 1), glVertex2f(-1, 1);
        glEnd();
        for (const auto& [x, y, drawn] : c.pixels) {
            uint8_t rgba[4] = {};
            glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
            EXPECT_EQ(rgba[1], drawn ? 255 : 0) << "pixel " << x << "," << y;
        }
    }
}

TEST_F(ShaderTest, FailuresBecomeExceptions)
{
    try {
        XShader broken(itsDevice, "void psMain() { gl_FragColor = undeclared; }", "psMain", XShader::kFragmentShader);
        FAIL() << "a broken program compiled";
    } catch (const XCgException& e) {
        EXPECT_EQ(e.GetCgError(), CG_COMPILER_ERROR);
        EXPECT_EQ(std::string(e.GetRawErrorMessage().GetCString()),
                  "a Cg error occurred (" + std::string(cgGetErrorString(CG_COMPILER_ERROR)) + ", 1)");
        EXPECT_NE(std::string(e.GetErrorMessage().GetCString()).find("undeclared"), std::string::npos)
            << e.GetErrorMessage().GetCString();
    }
    XShader vertex(itsDevice, X3DShaderManager::GetStandardShaderSource(X3DShaderManager::kColourVertexShader), "vsMain",
                   XShader::kVertexShader);
    EXPECT_THROW(vertex.SetMatrixParameter("missing", XMatrix_4x4<float>()), XCgException);
    XAssertRecorder asserts;
    try {
        vertex.GetParameter("inModulateColour");
        FAIL() << "an unknown parameter was handed out";
    } catch (const XException& e) {
        EXPECT_EQ(e.GetErrorCode(), XException::kBadArgument);
        EXPECT_NE(std::string(e.GetErrorMessage().GetCString()).find("inModulateColour"), std::string::npos);
    }
    EXPECT_TRUE(asserts.Has("iter != itsParameters.end()"));
}

// A device whose GL cannot run fragment programs.
TEST(ShaderWithoutFragmentProfile, ThrowsAndLeavesTheRegistryEmpty)
{
    WGLWnd window(4, 4);
    XGLContextLock lock(window);
    XRecordingDevices devices(cgGLGetLatestProfile(CG_GL_VERTEX), CG_PROFILE_UNKNOWN);
    X3DGC device;
    device.Initialise();
    try {
        XShader fragment(device, "void psMain() { gl_FragColor = vec4(1.0); }", "psMain", XShader::kFragmentShader);
        FAIL() << "compiled without a fragment profile";
    } catch (const XException& e) {
        EXPECT_EQ(e.GetErrorCode(), XException::kNoShaderProfile);
    }
    X3DShaderManager manager;
    XAssertRecorder asserts;
    for (uint32_t id = 0; id < 5; ++id)
        EXPECT_EQ(manager.GetShaderByID(id), nullptr) << id;
    EXPECT_EQ(asserts.GetCount(), 5u);
}
} // namespace

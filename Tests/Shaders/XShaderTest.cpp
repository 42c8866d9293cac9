// Device shaders on a real context: compiling through a device, the standard
// shaders and failures as exceptions (the device suite draws with them).
#include "WGLWnd.h"
#include "X3DGC.h"
#include "X3DShaderManager.h"
#include "XAssertRecorder.h"
#include "XCgException.h"
#include "XGLContextLock.h"
#include "XOpenGL.h"
#include "XRecordingRenderSystem.h"
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
};

TEST_F(ShaderTest, StandardShadersAreRegisteredWithTheirParameters)
{
    X3DShaderManager manager;
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

TEST_F(ShaderTest, FailuresBecomeExceptions)
{
    try {
        XShader broken(itsDevice, "void psMain() { gl_FragColor = undeclared; }", "psMain", XShader::kFragmentShader);
        FAIL() << "a broken program compiled";
    } catch (const XCgException& e) {
        EXPECT_EQ(e.GetCgError(), CG_COMPILER_ERROR);
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

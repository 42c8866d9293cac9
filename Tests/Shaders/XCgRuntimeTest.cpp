// The shader runtime on a real context: compiling, parameters in declaration order,
// values and matrices reaching the program, samplers on their units, and errors.
#include "WGLWnd.h"
#include "XGLContextLock.h"
#include "XOpenGL.h"
#include "cgGL.h"

#include <array>
#include <cstdint>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {
// One source holds both stages. Declaration order differs from alphabetical order;
// "unused" is dropped by the compiler but stays a parameter.
const char* const kSource = R"(
#ifdef KESTRIN_VERTEX_PROGRAM
uniform mat4 ModelViewProj;
uniform float unused;
out vec2 coordinate;
void vsMain()
{
    gl_Position = gl_Vertex * ModelViewProj;
    coordinate = gl_MultiTexCoord0.xy;
}
#endif
#ifdef KESTRIN_FRAGMENT_PROGRAM
uniform vec4 tint;
uniform float pick;
uniform sampler2D tex0;
uniform sampler2D tex1;
in vec2 coordinate;
void psMain()
{
    gl_FragColor = tint * mix(texture2D(tex0, coordinate), texture2D(tex1, coordinate), pick);
}
#endif
)";

using XRGBA = std::array<int, 4>;
constexpr int kSize = 16;

class CgRuntimeTest : public ::testing::Test {
protected:
    WGLWnd itsWindow{kSize, kSize};
    XGLContextLock itsLock{itsWindow};
    CGcontext itsContext = cgCreateContext();
    std::vector<GLuint> itsTextures;

    void SetUp() override { cgGetError(); }
    void TearDown() override
    {
        cgGLUnbindProgram(CG_PROFILE_ARBVP1);
        cgGLUnbindProgram(CG_PROFILE_ARBFP1);
        cgGLDisableProfile(CG_PROFILE_ARBVP1);
        cgGLDisableProfile(CG_PROFILE_ARBFP1);
        cgDestroyContext(itsContext);
        if (!itsTextures.empty())
            glDeleteTextures(GLsizei(itsTextures.size()), itsTextures.data());
    }

    CGprogram Compile(CGprofile inProfile, const char* inEntry, const char* inSource = kSource)
    {
        CGprogram program = cgCreateProgram(itsContext, CG_SOURCE, inSource, inProfile, inEntry, nullptr);
        EXPECT_NE(program, nullptr) << cgGetLastListing(itsContext);
        return program;
    }

    std::vector<std::string> ParameterNames(CGprogram inProgram)
    {
        std::vector<std::string> names;
        for (CGparameter p = cgGetFirstParameter(inProgram, CG_PROGRAM); p; p = cgGetNextParameter(p))
            names.push_back(cgGetParameterName(p));
        return names;
    }

    // A 2 × 2 RGBA texture, nearest filtering, texels bottom row first.
    GLuint Texture(const std::array<XRGBA, 4>& inTexels)
    {
        std::vector<uint8_t> bytes;
        for (const XRGBA& texel : inTexels)
            for (int c : texel)
                bytes.push_back(uint8_t(c));
        GLuint name = 0;
        glGenTextures(1, &name);
        itsTextures.push_back(name);
        glBindTexture(GL_TEXTURE_2D, name);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 2, 2, 0, GL_RGBA, GL_UNSIGNED_BYTE, bytes.data());
        glBindTexture(GL_TEXTURE_2D, 0);
        return name;
    }

    // Clears to black and draws the unit square from -1 to 1 with texture coordinates 0 to 1.
    void DrawSquare()
    {
        glViewport(0, 0, kSize, kSize);
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        glBegin(GL_QUADS);
        glTexCoord2f(0, 0), glVertex2f(-1, -1);
        glTexCoord2f(1, 0), glVertex2f(1, -1);
        glTexCoord2f(1, 1), glVertex2f(1, 1);
        glTexCoord2f(0, 1), glVertex2f(-1, 1);
        glEnd();
    }

    // Column x, row y counted from the bottom.
    XRGBA Pixel(int inX, int inY)
    {
        uint8_t rgba[4] = {};
        glReadPixels(inX, inY, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
        return {rgba[0], rgba[1], rgba[2], rgba[3]};
    }
};

constexpr XRGBA kRed{255, 0, 0, 255}, kGreen{0, 255, 0, 255}, kBlue{0, 0, 255, 255}, kWhite{255, 255, 255, 255},
    kYellow{255, 255, 0, 255}, kBlack{0, 0, 0, 255}, kHalfRed{128, 0, 0, 255};

TEST_F(CgRuntimeTest, ParametersComeInDeclarationOrderWithTheirKindsAndMatricesKeepTheirRows)
{
    struct XCase {
        CGprofile profile;
        const char* entry;
        std::vector<std::string> names;
        std::vector<CGtype> types;
        std::vector<CGparameterclass> classes;
    };
    const XCase cases[] = {
        {CG_PROFILE_ARBVP1, "vsMain", {"ModelViewProj", "unused"}, {CG_FLOAT4x4, CG_FLOAT},
         {CG_PARAMETERCLASS_MATRIX, CG_PARAMETERCLASS_SCALAR}},
        {CG_PROFILE_ARBFP1, "psMain", {"tint", "pick", "tex0", "tex1"},
         {CG_FLOAT4, CG_FLOAT, CG_SAMPLER2D, CG_SAMPLER2D},
         {CG_PARAMETERCLASS_VECTOR, CG_PARAMETERCLASS_SCALAR, CG_PARAMETERCLASS_SAMPLER, CG_PARAMETERCLASS_SAMPLER}},
    };
    for (const XCase& c : cases) {
        SCOPED_TRACE(c.entry);
        CGprogram program = Compile(c.profile, c.entry);
        ASSERT_NE(program, nullptr);
        EXPECT_EQ(ParameterNames(program), c.names);
        for (size_t i = 0; i < c.names.size(); ++i) {
            CGparameter p = cgGetNamedParameter(program, c.names[i].c_str());
            EXPECT_EQ(cgGetParameterType(p), c.types[i]) << c.names[i];
            EXPECT_EQ(cgGetParameterClass(p), c.classes[i]) << c.names[i];
        }
        EXPECT_EQ(cgGetError(), CG_NO_ERROR);
    }

    // Row-major matrices keep rows as rows.
    CGprogram program = Compile(CG_PROFILE_ARBVP1, "vsMain");
    ASSERT_NE(program, nullptr);
    cgGLLoadProgram(program);
    cgGLEnableProfile(CG_PROFILE_ARBVP1);
    cgGLBindProgram(program);
    // The program the bound pipeline runs for the vertex stage.
    GLint pipeline = 0, glProgram = 0;
    glGetIntegerv(GL_PROGRAM_PIPELINE_BINDING, &pipeline);
    glGetProgramPipelineiv(GLuint(pipeline), GL_VERTEX_SHADER, &glProgram);
    ASSERT_NE(glProgram, 0);
    const GLint location = glGetUniformLocation(GLuint(glProgram), "ModelViewProj");

    float values[16];
    for (int i = 0; i < 16; ++i)
        values[i] = float(i);
    struct XSetter {
        void (*set)(CGparameter, const float*);
        bool rowMajor;
    };
    for (const XSetter& c : {XSetter{cgSetMatrixParameterfr, true}, XSetter{cgSetMatrixParameterfc, false}}) {
        SCOPED_TRACE(c.rowMajor ? "rows" : "columns");
        c.set(cgGetNamedParameter(program, "ModelViewProj"), values);
        EXPECT_EQ(cgGetError(), CG_NO_ERROR);
        GLfloat read[16] = {};
        glGetUniformfv(GLuint(glProgram), location, read); // column by column
        for (int row = 0; row < 4; ++row)
            for (int column = 0; column < 4; ++column) {
                const float expected = c.rowMajor ? values[row * 4 + column] : values[column * 4 + row];
                EXPECT_EQ(read[column * 4 + row], expected) << "row " << row << " column " << column;
            }
    }
}

TEST_F(CgRuntimeTest, DrawsWithValuesMatricesAndSamplersOnTheirUnits)
{
    CGprogram vertex = Compile(CG_PROFILE_ARBVP1, "vsMain");
    CGprogram fragment = Compile(CG_PROFILE_ARBFP1, "psMain");
    ASSERT_TRUE(vertex && fragment);
    // Texels bottom row first: red, green / blue, white.
    const GLuint quadrants = Texture({kRed, kGreen, kBlue, kWhite});
    const GLuint yellow = Texture({kYellow, kYellow, kYellow, kYellow});
    // As the device does: the sampler learns its texture and the caller binds unit 0
    // itself; the second sampler binds its own unit.
    CGparameter tex0 = cgGetNamedParameter(fragment, "tex0");
    CGparameter tex1 = cgGetNamedParameter(fragment, "tex1");
    EXPECT_EQ(cgGLGetTextureEnum(tex0), GLenum(GL_TEXTURE0));
    EXPECT_EQ(cgGLGetTextureEnum(tex1), GLenum(GL_TEXTURE1));
    cgGLSetTextureParameter(tex0, quadrants);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, quadrants);
    cgGLSetTextureParameter(tex1, yellow);
    cgGLEnableTextureParameter(tex1);
    for (CGprogram program : {vertex, fragment}) {
        cgGLLoadProgram(program);
        cgGLEnableProfile(cgGetProgramProfile(program));
        cgGLBindProgram(program);
    }
    ASSERT_EQ(cgGetError(), CG_NO_ERROR);

    const float identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    // Row vectors: the last row translates. Half size, moved into the top right quarter.
    const float topRight[16] = {0.5f, 0, 0, 0, 0, 0.5f, 0, 0, 0, 0, 1, 0, 0.5f, 0.5f, 0, 1};
    struct XPixel {
        int x, y;
        XRGBA colour;
    };
    struct XCase {
        const char* name;
        const float* matrix;
        std::array<float, 4> tint;
        float pick;
        std::vector<XPixel> pixels;
    };
    const XCase cases[] = {
        {"quadrants", identity, {1, 1, 1, 1}, 0, {{4, 4, kRed}, {12, 4, kGreen}, {4, 12, kBlue}, {12, 12, kWhite}}},
        {"tinted", identity, {0.5f, 1, 1, 1}, 0, {{4, 4, kHalfRed}, {12, 12, {128, 255, 255, 255}}}},
        {"second sampler", identity, {1, 1, 1, 1}, 1, {{4, 4, kYellow}, {12, 12, kYellow}}},
        {"moved", topRight, {1, 1, 1, 1}, 0, {{4, 4, kBlack}, {12, 4, kBlack}, {9, 9, kRed}, {14, 14, kWhite}}},
    };
    for (const XCase& c : cases) {
        SCOPED_TRACE(c.name);
        cgSetMatrixParameterfr(cgGetNamedParameter(vertex, "ModelViewProj"), c.matrix);
        cgSetParameter4f(cgGetNamedParameter(fragment, "tint"), c.tint[0], c.tint[1], c.tint[2], c.tint[3]);
        cgSetParameter1f(cgGetNamedParameter(fragment, "pick"), c.pick);
        ASSERT_EQ(cgGetError(), CG_NO_ERROR);
        DrawSquare();
        for (const XPixel& p : c.pixels) {
            const XRGBA got = Pixel(p.x, p.y);
            for (int i = 0; i < 4; ++i)
                EXPECT_NEAR(got[size_t(i)], p.colour[size_t(i)], 1) << "pixel " << p.x << "," << p.y << " channel " << i;
        }
    }

    // Unbound and disabled, fixed function draws the current colour again.
    cgGLUnbindProgram(CG_PROFILE_ARBFP1);
    cgGLDisableProfile(CG_PROFILE_ARBVP1);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, 0);
    glColor4f(0, 0, 1, 1);
    DrawSquare();
    EXPECT_EQ(Pixel(4, 4), kBlue);
    EXPECT_EQ(cgGetError(), CG_NO_ERROR);
}

TEST_F(CgRuntimeTest, CompileErrorsComeWithTheirListingAndMisuseIsReported)
{
    struct XCase {
        const char* name;
        CGprofile profile;
        const char* entry;
        const char* source;
    };
    const XCase cases[] = {
        {"syntax", CG_PROFILE_ARBFP1, "psMain", "void psMain() { gl_FragColor = vec4(1) }"},
        {"undeclared", CG_PROFILE_ARBFP1, "psMain", "void psMain() { gl_FragColor = missingColour; }"},
        {"no such entry", CG_PROFILE_ARBVP1, "noSuchEntry", kSource},
        {"fragment code as vertex", CG_PROFILE_ARBVP1, "psMain", "void psMain() { gl_FragColor = vec4(1); }"},
    };
    for (const XCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(cgCreateProgram(itsContext, CG_SOURCE, c.source, c.profile, c.entry, nullptr), nullptr);
        EXPECT_EQ(cgGetError(), CG_COMPILER_ERROR);
        EXPECT_EQ(cgGetError(), CG_NO_ERROR); // reading the error clears it
        EXPECT_NE(std::string(cgGetLastListing(itsContext)).find("error"), std::string::npos)
            << cgGetLastListing(itsContext);
    }
    // A good compilation after a bad one leaves no stale listing of errors.
    CGprogram fragment = Compile(CG_PROFILE_ARBFP1, "psMain");
    ASSERT_NE(fragment, nullptr);
    EXPECT_EQ(std::string(cgGetLastListing(itsContext)).find("error"), std::string::npos);

    // Misuse is reported as errors.
    CGprogram doomed = Compile(CG_PROFILE_ARBVP1, "vsMain");
    ASSERT_NE(doomed, nullptr);
    CGparameter staleParameter = cgGetFirstParameter(doomed, CG_PROGRAM);
    cgDestroyProgram(doomed);
    CGparameter tint = cgGetNamedParameter(fragment, "tint");
    CGparameter tex0 = cgGetNamedParameter(fragment, "tex0");
    const float matrix[16] = {};
    const struct {
        const char* name;
        std::function<void()> call;
        CGerror expected;
    } misuses[] = {
        {"matrix into a vector", [&] { cgSetMatrixParameterfr(tint, matrix); }, CG_NOT_MATRIX_PARAM_ERROR},
        {"value into a sampler", [&] { cgSetParameter1f(tex0, 1); }, CG_INVALID_PARAMETER_ERROR},
        {"texture on a vector", [&] { cgGLSetTextureParameter(tint, 1); }, CG_INVALID_PARAMETER_ERROR},
        {"stale parameter", [&] { cgGetParameterName(staleParameter); }, CG_INVALID_PARAM_HANDLE_ERROR},
        {"bind before load", [&] { cgGLBindProgram(fragment); }, CG_PROGRAM_NOT_LOADED_ERROR},
        // Refused before the profile's slot is looked up: an unknown one has none.
        {"unknown profile", [] { cgGLEnableProfile(CG_PROFILE_UNKNOWN); }, CG_INVALID_PROFILE_ERROR},
    };
    for (const auto& m : misuses) {
        SCOPED_TRACE(m.name);
        m.call();
        EXPECT_EQ(cgGetError(), m.expected);
    }
    EXPECT_FALSE(cgIsProgram(doomed));
    EXPECT_FALSE(cgIsParameter(staleParameter));
}

TEST(CgRuntimeProfiles, NamesAndSupport)
{
    struct XCase {
        const char* name;
        CGprofile profile;
    };
    for (const XCase& c : {XCase{"arbvp1", CG_PROFILE_ARBVP1}, XCase{"arbfp1", CG_PROFILE_ARBFP1},
                           XCase{"vp40", CG_PROFILE_UNKNOWN}, XCase{"", CG_PROFILE_UNKNOWN}}) {
        EXPECT_EQ(cgGetProfile(c.name), c.profile) << c.name;
        if (c.profile != CG_PROFILE_UNKNOWN) {
            EXPECT_STREQ(cgGetProfileString(c.profile), c.name);
        }
    }
    WGLWnd window(4, 4);
    {
        XGLContextLock lock(window);
        EXPECT_EQ(cgGLGetLatestProfile(CG_GL_VERTEX), CG_PROFILE_ARBVP1);
        EXPECT_EQ(cgGLGetLatestProfile(CG_GL_FRAGMENT), CG_PROFILE_ARBFP1);
    }
    // With no context current there is no hardware profile, and nothing compiles.
    EXPECT_EQ(cgGLGetLatestProfile(CG_GL_FRAGMENT), CG_PROFILE_UNKNOWN);
    CGcontext context = cgCreateContext();
    EXPECT_EQ(cgCreateProgram(context, CG_SOURCE, kSource, CG_PROFILE_ARBFP1, "psMain", nullptr), nullptr);
    EXPECT_EQ(cgGetError(), CG_INVALID_PROFILE_ERROR);
    EXPECT_NE(std::string(cgGetLastListing(context)).find("current"), std::string::npos);
    cgDestroyContext(context);
    EXPECT_FALSE(cgIsContext(context));
}
} // namespace

// The scene nodes' programs through the OpenGL device: the colour each draws for
// known normals, lights and cameras (a lost or renamed uniform shows as a wrong colour).
#include "XOpenGLDeviceFixture.h"

#include "X3DNodePrograms.h"
#include "X3DShaderManager.h"
#include "XShader.h"
#include "XTexture2D.h"
#include "cg.h"

#include <array>

namespace {
XShader Compile(X3DGC& inDevice, XNodeProgram inProgram, XShader::XShaderType inType)
{
    return XShader(inDevice, GetNodeProgramSource(inProgram), GetNodeProgramEntry(inProgram, inType), inType);
}

// Everything any of the programs reads, per vertex.
struct XNodeVertex {
    float x, y, z;
    float nx, ny, nz;
    uint8_t rgba[4];
    float s, t;
};

struct XProbe {
    int x, y;
    XARGB32Colour expected; // alpha included
};

// One draw of a quad over the whole target. World squashes every vertex onto
// itsWorldPoint, so the light and view directions are the same at every pixel.
struct XNodeCase {
    const char* name;
    XNodeProgram program;
    const char* vertexSource = nullptr; // entry vsMain; null for the program's own vertex stage
    std::array<float, 3> normal = {0, 0, 1};
    XMatrix_4x4<float> normalMatrix = XMatrix_4x4<float>::MakeIdentity();
    std::array<float, 3> worldPoint = {0, 0, 0};
    std::array<float, 3> light = {0, 0, 0}; // position, or direction for the directional light
    std::array<float, 3> camera = {0, 0, 0};
    std::array<uint8_t, 4> vertexColour = {200, 100, 50, 77};
    std::array<float, 4> colour = {1, 1, 1, 1}; // inColour, or the floor's colour
    std::array<float, 4> modulate = {1, 1, 1, 1};
    std::vector<XProbe> probes;
};

class NodeProgramDrawTest : public OpenGLDeviceTest {
protected:
    void SetUp() override
    {
        OpenGLDeviceTest::SetUp();
        // Black, white / grey, white: nearest texels in the four quarters.
        itsChequer = new XTexture2D(*gc, 2, 2, X3DGC::kBGRA32);
        XBGRA32Volume texels(2, 2, 1);
        const uint8_t grey[4] = {255, 128, 0, 255}; // lower left, lower right, upper left, upper right
        for (int i = 0; i < 4; ++i) {
            uint8_t* p = texels.GetVoxelPtr(i % 2, i / 2, 0);
            p[0] = p[1] = p[2] = grey[i];
            p[3] = 255;
        }
        itsChequer->CopyInVolume(texels);
    }
    void TearDown() override
    {
        itsChequer->Destroy(*gc);
        OpenGLDeviceTest::TearDown();
    }

    static void SetVector(XShader& inShader, const char* inName, const float* inValues, int inCount)
    {
        if (!inShader.HasParameter(inName))
            return;
        if (inCount == 3)
            cgSetParameter3fv(inShader.GetParameter(inName), inValues);
        else
            cgSetParameter4fv(inShader.GetParameter(inName), inValues);
    }

    XBGRA32Volume Draw(const XNodeCase& inCase)
    {
        XShader vertex = inCase.vertexSource
                             ? XShader(*gc, inCase.vertexSource, "vsMain", XShader::kVertexShader)
                             : Compile(*gc, inCase.program, XShader::kVertexShader);
        XShader fragment = Compile(*gc, inCase.program, XShader::kFragmentShader);
        BeginFrame(XARGB32Colour(0, 0, 0, 0));
        gc->SetBlendMode(X3DGC::kBlendNone); // so that the written alpha shows
        X3DGC::XVertexDefinition definition;
        definition.stride = sizeof(XNodeVertex);
        definition.elements = {{0, X3DGC::kElementFloat3, X3DGC::kUsagePosition},
                               {12, X3DGC::kElementFloat3, X3DGC::kUsageNormal},
                               {24, X3DGC::kElementUByte4, X3DGC::kUsageColour},
                               {28, X3DGC::kElementFloat2, X3DGC::kUsageTexCoord0}};
        gc->SetVertexDefinition(definition);
        const auto [nx, ny, nz] = inCase.normal;
        const auto [r, g, b, a] = inCase.vertexColour;
        const XNodeVertex quad[] = {{0, 0, 0, nx, ny, nz, {r, g, b, a}, 0, 0},
                                    {kSize, 0, 0, nx, ny, nz, {r, g, b, a}, 1, 0},
                                    {kSize, kSize, 0, nx, ny, nz, {r, g, b, a}, 1, 1},
                                    {0, kSize, 0, nx, ny, nz, {r, g, b, a}, 0, 1}};
        DrawShaded(vertex, fragment, [&] {
            const auto& [wx, wy, wz] = inCase.worldPoint;
            vertex.SetMatrixParameter("ModelViewProj", gc->GetProjection());
            if (vertex.HasParameter("World")) {
                vertex.SetMatrixParameter("World", XMatrix_4x4<float>::MakeScale(0, 0, 0) * XMatrix_4x4<float>::MakeTranslation(wx, wy, wz));
                vertex.SetMatrixParameter("NormalMatrix", inCase.normalMatrix);
            }
            SetVector(vertex, "inLightPos", inCase.light.data(), 3);
            SetVector(vertex, "inDirectionalLightVector", inCase.light.data(), 3);
            SetVector(vertex, "inCameraPos", inCase.camera.data(), 3);
            SetVector(vertex, "inColour", inCase.colour.data(), 4);
            SetVector(fragment, "colour", inCase.colour.data(), 4);
            SetVector(fragment, "inModulateColour", inCase.modulate.data(), 4);
            gc->SetTexture(0, itsChequer); // with the fragment stage attached, so that its sampler pairs with the unit
        }, [&] {
            gc->DrawUserPrimitives(X3DGC::kQuadList, quad, 0, 1);
            gc->SetTexture(0, nullptr);
        });
        return EndFrame();
    }

    XTexture2D* itsChequer = nullptr;
};

// Normal (1, 0, 0) times this, as a row vector, is (0, 0, 1); as a column vector it
// would be (0, 0, -1).
XMatrix_4x4<float> XToZ()
{
    XMatrix_4x4<float> m;
    m(0, 0) = 0, m(0, 2) = 1;
    m(2, 0) = -1, m(2, 2) = 0;
    return m;
}

TEST_F(NodeProgramDrawTest, ProgramsDrawWhatTheirEquationsSay)
{
    using P = XNodeProgram;
    constexpr int kCentre = kSize / 2;
    // Vertex colour c = (200, 100, 50) with alpha 77; lit programs write alpha 255 whatever it is.
    const XNodeCase cases[] = {
        // L = N, V at right angles: no view light, no highlight (0.707^40), so 0.8 c,
        // then modulated by (1, 0.5, 1).
        {.name = "point light, modulated", .program = P::kPointLightLit, .light = {0, 0, 5}, .camera = {0, 5, 0},
         .modulate = {1, 0.5f, 1, 0.2f}, .probes = {{kCentre, kCentre, {255, 160, 40, 40}}}},
        // The same light from a rotated normal at a moved world point.
        {.name = "point light, normal matrix and world by rows", .program = P::kPointLightLit, .normal = {1, 0, 0},
         .normalMatrix = XToZ(), .worldPoint = {0, 0, -5}, .light = {0, 0, 0}, .camera = {0, 5, -5},
         .probes = {{kCentre, kCentre, {255, 160, 80, 40}}}},
        // L = (0.6, 0, 0.8), V = N: 0.15 c + 0.8 × 0.8 c + (N·H = 0.9487)^40 = 0.79 c + 0.1216.
        {.name = "point light with highlight", .program = P::kPointLightLit, .light = {3, 0, 4}, .camera = {0, 0, 5},
         .probes = {{kCentre, kCentre, {255, 189, 110, 70}}}},
        // L = (0, 0.6, 0.8) normalised, highlight away from the viewer: 0.1 c + 0.6 × 0.8 c.
        {.name = "directional light", .program = P::kDirectionalLightLit, .light = {0, 3, 4}, .camera = {0, -5, 0},
         .probes = {{kCentre, kCentre, {255, 116, 58, 29}}}},
        // V = (0, 0, 10) is not normalised, so H leans to N: 0.1 c + (10 / √101)^40 = 0.1 c + 0.8196.
        // Normalised, the highlight would vanish and leave 0.1 c.
        {.name = "directional light, view not normalised", .program = P::kDirectionalLightLit, .light = {1, 0, 0},
         .camera = {0, 0, 10}, .probes = {{kCentre, kCentre, {255, 229, 219, 214}}}},
        // As the first case, coloured by inColour instead of the vertex colour, unmodulated.
        {.name = "uniform colour, lit", .program = P::kUniformColourLit, .light = {0, 0, 5}, .camera = {0, 5, 0},
         .colour = {0, 200 / 255.0f, 100 / 255.0f, 0.5f}, .probes = {{kCentre, kCentre, {255, 0, 160, 80}}}},
        {.name = "uniform colour", .program = P::kUniformColour, .colour = {50 / 255.0f, 100 / 255.0f, 150 / 255.0f, 1},
         .probes = {{kCentre, kCentre, {255, 50, 100, 150}}}},
        {.name = "modulated colour", .program = P::kModulatedColour, .modulate = {0.5f, 1, 0.25f, 0.1f},
         .probes = {{kCentre, kCentre, {255, 100, 100, 13}}}},
        {.name = "plain floor", .program = P::kFloorPlain, .colour = {10 / 255.0f, 20 / 255.0f, 30 / 255.0f, 1},
         .probes = {{16, 16, {255, 10, 20, 30}}, {48, 48, {255, 10, 20, 30}}}},
        {.name = "chequered floor", .program = P::kFloorChequered, .colour = {1, 0.5f, 0.25f, 1},
         .probes = {{16, 16, {255, 255, 128, 64}}, {48, 16, {255, 128, 64, 32}}, {16, 48, {255, 0, 0, 0}}}},
        // Stages of different sources meet in the built-in varyings.
        {.name = "chequered floor after the standard texture vertex shader", .program = P::kFloorChequered,
         .vertexSource = X3DShaderManager::GetStandardShaderSource(X3DShaderManager::kTextureVertexShader),
         .colour = {1, 0.5f, 0.25f, 1}, .probes = {{48, 16, {255, 128, 64, 32}}}},
        {.name = "modulated colour after the point-light vertex stage", .program = P::kModulatedColour,
         .vertexSource = GetNodeProgramSource(P::kPointLightLit), .light = {0, 0, 5}, .camera = {0, 5, 0},
         .modulate = {0.5f, 1, 0.25f, 1}, .probes = {{kCentre, kCentre, {255, 100, 100, 13}}}},
    };
    // Eight-bit output of float arithmetic, plus the texture's and colour's own rounding.
    constexpr int kTolerance = 2;
    for (const XNodeCase& c : cases) {
        SCOPED_TRACE(c.name);
        const XBGRA32Volume picture = Draw(c);
        for (const XProbe& probe : c.probes) {
            const XARGB32Colour p = WithAlphaAt(picture, probe.x, probe.y);
            EXPECT_NEAR(p.red, probe.expected.red, kTolerance) << "at " << probe.x << ", " << probe.y;
            EXPECT_NEAR(p.green, probe.expected.green, kTolerance) << "at " << probe.x << ", " << probe.y;
            EXPECT_NEAR(p.blue, probe.expected.blue, kTolerance) << "at " << probe.x << ", " << probe.y;
            EXPECT_EQ(p.alpha, probe.expected.alpha) << "at " << probe.x << ", " << probe.y;
        }
    }
}
} // namespace

// The OpenGL device running the standard shaders through the shader runtime.
#include "XOpenGLDeviceFixture.h"

#include "X3DShaderManager.h"
#include "XShader.h"
#include "XTexture2D.h"

namespace {
TEST_F(OpenGLDeviceTest, StandardShadersDrawThroughTheDevice)
{
    ASSERT_TRUE(gc->IsHardwareShadersSupported());
    XShader vertex(*gc, X3DShaderManager::GetStandardShaderSource(X3DShaderManager::kColourVertexShader), "vsMain",
                   XShader::kVertexShader);
    XShader fragment(*gc, X3DShaderManager::GetStandardShaderSource(X3DShaderManager::kColourFragmentShader), "psMain",
                     XShader::kFragmentShader);
    struct XCase {
        const char* name;
        bool shaded;
        float scale; // of ModelViewProj, which the shader uses instead of the device's projection
        std::vector<std::pair<int, int>> lit, dark;
    };
    const XCase cases[] = {
        {"fixed function", false, 1.0f, {{8, 8}, {56, 56}}, {}},
        {"shaded", true, 1.0f, {{8, 8}, {56, 56}}, {}},
        {"shaded at half size", true, 0.5f, {{8, 8}, {24, 24}}, {{40, 40}, {56, 8}, {8, 56}}},
        {"fixed function again", false, 0.5f, {{8, 8}, {56, 56}}, {}},
    };
    UseColouredVertices();
    const std::vector<XColouredVertex> square = {
        {0, 0, 0, {0, 255, 0, 255}}, {64, 0, 0, {0, 255, 0, 255}}, {64, 64, 0, {0, 255, 0, 255}},
        {0, 0, 0, {0, 255, 0, 255}}, {64, 64, 0, {0, 255, 0, 255}}, {0, 64, 0, {0, 255, 0, 255}}};
    for (const XCase& c : cases) {
        SCOPED_TRACE(c.name);
        BeginFrame();
        if (c.shaded) {
            gc->AttachShader(vertex);
            gc->AttachShader(fragment);
            // Row vectors: the device's pixel projection, then scaled towards the corner.
            XMatrix_4x4<float> corner = XMatrix_4x4<float>::MakeTranslation(1, 1, 0) *
                                        XMatrix_4x4<float>::MakeScale(c.scale, c.scale, 1) *
                                        XMatrix_4x4<float>::MakeTranslation(-1, -1, 0);
            vertex.SetMatrixParameter("ModelViewProj", gc->GetProjection() * corner);
            gc->BeginShaders();
        }
        gc->DrawUserPrimitives(X3DGC::kTriangleList, square.data(), 0, 2);
        if (c.shaded) {
            gc->EndShaders();
            gc->UnattachShader(fragment);
            gc->UnattachShader(vertex);
        }
        const XBGRA32Volume picture = EndFrame();
        for (auto [x, y] : c.lit)
            EXPECT_EQ(At(picture, x, y).green, 255) << x << "," << y;
        for (auto [x, y] : c.dark)
            EXPECT_FALSE(IsLit(At(picture, x, y))) << x << "," << y;
    }
}
TEST_F(OpenGLDeviceTest, StandardTextureShadersSampleTheirOwnUnit)
{
    // Two texels each, left then right: unit 0 red, green; unit 1 blue, white (BGRA bytes).
    const uint8_t texels[2][8] = {{0, 0, 255, 255, 0, 255, 0, 255}, {255, 0, 0, 255, 255, 255, 255, 255}};
    XTexture2D* textures[2];
    for (int unit = 0; unit < 2; ++unit) {
        textures[unit] = new XTexture2D(*gc, 2, 1, X3DGC::kBGRA32);
        textures[unit]->CopyInData(texels[unit], sizeof texels[unit]);
    }
    XShader vertex(*gc, X3DShaderManager::GetStandardShaderSource(X3DShaderManager::kTextureVertexShader), "vsMain",
                   XShader::kVertexShader);
    struct XCase {
        uint32_t fragment;
        XARGB32Colour left, right;
    };
    const XCase cases[] = {
        {X3DShaderManager::kTextureFragmentShader, XARGB32Colour::kRed, XARGB32Colour::kGreen}, // tex0, also with unit 1 bound
        {X3DShaderManager::kDecalFragmentShader, XARGB32Colour::kBlue, XARGB32Colour::kWhite}, // tex1 only
    };
    struct XTexturedVertex {
        float x, y, z;
        float s, t, r;
    };
    const XTexturedVertex quad[] = {{0, 0, 0, 0, 0, 0}, {kSize, 0, 0, 1, 0, 0}, {kSize, kSize, 0, 1, 1, 0}, {0, kSize, 0, 0, 1, 0}};
    for (const XCase& c : cases) {
        SCOPED_TRACE(c.fragment);
        XShader fragment(*gc, X3DShaderManager::GetStandardShaderSource(c.fragment), "psMain", XShader::kFragmentShader);
        BeginFrame();
        X3DGC::XVertexDefinition definition;
        definition.stride = sizeof(XTexturedVertex);
        definition.elements = {{0, X3DGC::kElementFloat3, X3DGC::kUsagePosition},
                               {12, X3DGC::kElementFloat3, X3DGC::kUsageTexCoord0}};
        gc->SetVertexDefinition(definition);
        gc->AttachShader(vertex);
        gc->AttachShader(fragment);
        vertex.SetMatrixParameter("ModelViewProj", gc->GetProjection());
        gc->SetTexture(0, textures[0]);
        gc->SetTexture(1, textures[1]);
        gc->BeginShaders();
        gc->DrawUserPrimitives(X3DGC::kQuadList, quad, 0, 1);
        gc->EndShaders();
        gc->SetTexture(1, nullptr);
        gc->SetTexture(0, nullptr);
        gc->UnattachShader(fragment);
        gc->UnattachShader(vertex);
        const XBGRA32Volume picture = EndFrame();
        for (const auto& [x, expected] : {std::pair{16, c.left}, std::pair{48, c.right}}) {
            const XARGB32Colour p = At(picture, x, 32);
            EXPECT_EQ(std::vector({p.red, p.green, p.blue}), std::vector({expected.red, expected.green, expected.blue}))
                << "at x " << x;
        }
    }
    for (XTexture2D* texture : textures)
        texture->Destroy(*gc);
}
} // namespace

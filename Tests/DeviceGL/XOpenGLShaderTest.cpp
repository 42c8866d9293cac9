// The OpenGL device running the standard shaders through the shader runtime.
#include "XOpenGLDeviceFixture.h"

#include "X3DShaderManager.h"
#include "XTexture2D.h"

namespace {
XShader Standard(X3DGC& inGC, uint32_t inShader, XShader::XShaderType inType)
{
    return XShader(inGC, X3DShaderManager::GetStandardShaderSource(inShader), inType == XShader::kVertexShader ? "vsMain" : "psMain", inType);
}

TEST_F(OpenGLDeviceTest, StandardShadersDrawThroughTheDevice)
{
    ASSERT_TRUE(gc->IsHardwareShadersSupported());
    XShader vertex = Standard(*gc, X3DShaderManager::kColourVertexShader, XShader::kVertexShader);
    XShader fragment = Standard(*gc, X3DShaderManager::kColourFragmentShader, XShader::kFragmentShader);
    struct XCase {
        const char* name;
        bool shaded;
        float scale; // of ModelViewProj, which the shader uses instead of the device's projection
        std::vector<std::pair<int, int>> lit, dark;
    };
    const XCase cases[] = {
        {"fixed function", false, 1.0f, {{8, 8}, {56, 56}}, {}},
        {"shaded at half size", true, 0.5f, {{8, 8}, {24, 24}}, {{40, 40}, {56, 8}, {8, 56}}},
        {"fixed function again", false, 0.5f, {{8, 8}, {56, 56}}, {}},
    };
    UseColouredVertices();
    const XColouredVertex green[] = {{0, 0, 0, {0, 255, 0, 255}}, {64, 0, 0, {0, 255, 0, 255}}, {64, 64, 0, {0, 255, 0, 255}},
                                     {0, 0, 0, {0, 255, 0, 255}}, {64, 64, 0, {0, 255, 0, 255}}, {0, 64, 0, {0, 255, 0, 255}}};
    const auto draw = [&] { gc->DrawUserPrimitives(X3DGC::kTriangleList, green, 0, 2); };
    for (const XCase& c : cases) {
        SCOPED_TRACE(c.name);
        BeginFrame();
        // Row vectors: the device's pixel projection, then scaled towards the corner.
        const auto corner = XMatrix_4x4<float>::MakeTranslation(1, 1, 0) * XMatrix_4x4<float>::MakeScale(c.scale, c.scale, 1) *
                            XMatrix_4x4<float>::MakeTranslation(-1, -1, 0);
        if (c.shaded)
            DrawShaded(vertex, fragment, [&] { vertex.SetMatrixParameter("ModelViewProj", gc->GetProjection() * corner); }, draw);
        else
            draw();
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
    XShader vertex = Standard(*gc, X3DShaderManager::kTextureVertexShader, XShader::kVertexShader);
    struct XCase {
        uint32_t fragment;
        XARGB32Colour left, right;
    };
    const XCase cases[] = {
        {X3DShaderManager::kTextureFragmentShader, XARGB32Colour::kRed, XARGB32Colour::kGreen}, // tex0, also with unit 1 bound
        {X3DShaderManager::kDecalFragmentShader, XARGB32Colour::kBlue, XARGB32Colour::kWhite}, // tex1 only
    };
    for (const XCase& c : cases) {
        SCOPED_TRACE(c.fragment);
        XShader fragment = Standard(*gc, c.fragment, XShader::kFragmentShader);
        BeginFrame();
        DrawShaded(vertex, fragment, [&] {
            vertex.SetMatrixParameter("ModelViewProj", gc->GetProjection());
            gc->SetTexture(0, textures[0]);
            gc->SetTexture(1, textures[1]);
        }, [&] {
            DrawTexturedQuad();
            gc->SetTexture(1, nullptr);
            gc->SetTexture(0, nullptr);
        });
        const XBGRA32Volume picture = EndFrame();
        EXPECT_EQ(At(picture, 16, 32), c.left);
        EXPECT_EQ(At(picture, 48, 32), c.right);
    }
    for (XTexture2D* texture : textures)
        texture->Destroy(*gc);
}
} // namespace

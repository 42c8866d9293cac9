// The OpenGL device running the standard shaders through the shader runtime.
#include "XOpenGLDeviceFixture.h"

#include "X3DShaderManager.h"
#include "XShader.h"

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
} // namespace

#include "XOpenGLDeviceFixture.h"

#include "XGLContext.h"
#include "XGLFrameBufferObjectTargetImp.h"
#include "XTexture2D.h"
#include "XTexture3D.h"

#include <cstring>
#include <tuple>

namespace {
class OpenGLTextureTest : public OpenGLDeviceTest {
protected:
    void Destroy(XTexture* inTexture) { inTexture->Destroy(*gc); } // deletes it
};

TEST_F(OpenGLTextureTest, StorageIsEnlargedToPowersOfTwoAndDrawnUpToTheMaximumCoordinates)
{
    struct XCase {
        uint32_t width, height;
        uint64_t rowBytes, planeBytes;
        float maxS, maxT;
    };
    const XCase cases[] = {
        {300, 200, 2048, 2048 * 256, 0.5859375f, 0.78125f},
        {256, 256, 1024, 1024 * 256, 1.0f, 1.0f},
        {1, 3, 4, 16, 1.0f, 0.75f},
    };
    for (const XCase& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height));
        auto* texture = new XTexture2D(*gc, c.width, c.height, X3DGC::kBGRA32);
        EXPECT_EQ(texture->GetRowBytes(), c.rowBytes);
        EXPECT_EQ(texture->GetPlaneBytes(), c.planeBytes);
        const XMathVectorF3 coords = texture->GetMaxTextureCoords();
        EXPECT_FLOAT_EQ(coords[0], c.maxS);
        EXPECT_FLOAT_EQ(coords[1], c.maxT);
        EXPECT_FLOAT_EQ(coords[2], 1.0f);
        EXPECT_EQ(texture->IsLinear(), c.maxS == 1.0f && c.maxT == 1.0f);
        if (c.width > 1) {
            // Left half red, right half blue: the enlarged part of the storage, black, stays out of sight.
            XBGRA32Volume image(int32_t(c.width), int32_t(c.height), 1);
            for (int y = 0; y < image.GetHeight(); ++y)
                for (int x = 0; x < image.GetWidth(); ++x) {
                    const uint8_t bgra[4] = {uint8_t(2 * x < image.GetWidth() ? 0 : 255), 0, uint8_t(2 * x < image.GetWidth() ? 255 : 0), 255};
                    std::memcpy(image.GetVoxelPtr(x, y, 0), bgra, 4);
                }
            texture->CopyInVolume(image);
            BeginFrame();
            gc->SetTexture(0, texture);
            DrawTexturedQuad(coords[0], coords[1]);
            gc->SetTexture(0, nullptr);
            const XBGRA32Volume picture = EndFrame();
            for (const auto& [x, y, colour] : {std::tuple{4, 4, XARGB32Colour::kRed}, {28, 60, XARGB32Colour::kRed},
                                               {36, 4, XARGB32Colour::kBlue}, {60, 60, XARGB32Colour::kBlue}})
                EXPECT_EQ(At(picture, x, y), colour) << "at " << x << ", " << y;
        }
        Destroy(texture);
    }
}

TEST_F(OpenGLTextureTest, SamplersChooseFilterAndWrapping)
{
    // Two texels, black then white, drawn over the target with coordinates 0 to 2.
    auto* texture = new XTexture2D(*gc, 2, 1, X3DGC::kLuminance8);
    const uint8_t texels[2] = {0, 255};
    texture->CopyInData(texels, sizeof texels);
    struct XCase {
        X3DGC::XSamplerState sampler;
        int at20, at40; // red at x = 20 (s = 0.64) and x = 40 (s = 1.27)
        int tolerance;
    };
    X3DGC::XSamplerState nearestClamp, linearClamp, nearestRepeat;
    linearClamp.minFilter = linearClamp.magFilter = 1;
    nearestRepeat.addressU = nearestRepeat.addressV = 1;
    const XCase cases[] = {
        {nearestClamp, 255, 255, 0},
        {linearClamp, 199, 255, 3}, // 78 % of the way from the black texel's centre to the white one's
        {nearestRepeat, 255, 0, 0}, // s = 1.27 is the black texel again
    };
    for (const XCase& c : cases) {
        SCOPED_TRACE(&c - cases);
        BeginFrame();
        gc->SetTexture(0, texture);
        gc->SetTextureSampler(0, c.sampler);
        DrawTexturedQuad(2, 1);
        gc->SetTexture(0, nullptr);
        const XBGRA32Volume picture = EndFrame();
        EXPECT_NEAR(At(picture, 20, 32).red, c.at20, c.tolerance);
        EXPECT_NEAR(At(picture, 40, 32).red, c.at40, c.tolerance);
    }
    Destroy(texture);
}

TEST_F(OpenGLTextureTest, StaticTextureCanBeWrittenAgainAfterItsUpload)
{
    auto* texture = new XTexture3D(*gc, 4, 4, 4, X3DGC::kLuminance8, X3DGCBuffer::kBufferStaticDraw);
    const std::vector<uint8_t> texels(64, 200);
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        texture->LockForWrite();
        ASSERT_NE(texture->GetData(), nullptr);
        std::memcpy(texture->GetData(), texels.data(), texels.size());
        texture->ReleaseWriteLock();
    }
    Destroy(texture);
}

TEST_F(OpenGLTextureTest, RenderedTextureIsReadBackAndDrawn)
{
    auto* texture = new XTexture2D(*gc, 32, 32, X3DGC::kBGRA32);
    X3DGCOffscreenTarget textureTarget(*gc, 32, 32);
    ASSERT_TRUE(textureTarget.IsRenderToTextureSupported());
    textureTarget.AttachTexture(*texture);
    BeginPixelFrameOn(textureTarget, XARGB32Colour(255, 0, 0, 0));
    UseColouredVertices();
    const XColouredVertex lowerHalf[] = {
        {0, 0, 0, {0, 255, 0, 255}}, {32, 0, 0, {0, 255, 0, 255}}, {32, 16, 0, {0, 255, 0, 255}}, {0, 16, 0, {0, 255, 0, 255}}};
    gc->DrawUserPrimitives(X3DGC::kQuadList, lowerHalf, 0, 1);
    const XBGRA32Volume rendered = EndFrameOn(textureTarget);
    ASSERT_EQ(rendered.GetWidth(), 32);
    EXPECT_EQ(At(rendered, 16, 4).green, 255);
    EXPECT_EQ(At(rendered, 16, 28).green, 0);

    BeginFrame();
    gc->SetTexture(0, texture);
    DrawTexturedQuad();
    gc->SetTexture(0, nullptr);
    const XBGRA32Volume picture = EndFrame();
    EXPECT_EQ(At(picture, 32, 8).green, 255);
    EXPECT_EQ(At(picture, 32, 56).green, 0);

    gc->AttachRenderTarget(nullptr);
    textureTarget.Destroy(*gc);
    Destroy(texture);
}

// Multisampled targets resolve partly covered edge pixels; single-sample ones leave none.
TEST_F(OpenGLTextureTest, TargetsAreMultisampledUnlessAskedOrOnASoftwareRasteriser)
{
    if (dynamic_cast<XOpenGLGC::XGLFrameBufferObjectTargetImp*>(&target->GetImp()) == nullptr)
        GTEST_SKIP() << "the driver lacks framebuffer objects";
    UseColouredVertices();
    const XColouredVertex triangle[] = {
        {0, 0, 0, {255, 255, 255, 255}}, {64, 0, 0, {255, 255, 255, 255}}, {0, 40, 0, {255, 255, 255, 255}}};
    const bool multisampleOffered = OpenGLCheckExtension("GL_EXT_framebuffer_multisample");
    const bool software = XGLContext::IsSoftwareRendererName(XString(reinterpret_cast<const char*>(glGetString(GL_RENDERER))));
    struct XCase {
        const char* name;
        bool askSingleSample;
        bool softwareFlag;
        bool expectMultisampled;
    };
    const XCase cases[] = {
        {"asked for one sample", true, false, false},
        {"software flag on", false, true, multisampleOffered && !software},
        {"software flag off", false, false, multisampleOffered},
    };
    for (const XCase& c : cases) {
        SCOPED_TRACE(c.name);
        XGLContext::SetSingleSampleOnSoftwareRasteriser(c.softwareFlag);
        X3DGCOffscreenTarget made(*gc, kSize, kSize);
        XGLContext::SetSingleSampleOnSoftwareRasteriser(false);
        if (c.askSingleSample)
            made.SetSingleSample();
        auto& fbo = dynamic_cast<XOpenGLGC::XGLFrameBufferObjectTargetImp&>(made.GetImp());
        EXPECT_EQ(fbo.IsMultisampled(), c.expectMultisampled);
        BeginPixelFrameOn(made, XARGB32Colour(255, 0, 0, 0));
        gc->SetBlendMode(X3DGC::kBlendNone);
        gc->DrawUserPrimitives(X3DGC::kTriangleList, triangle, 0, 1);
        const XBGRA32Volume picture = EndFrameOn(made);
        int partial = 0, lit = 0;
        for (int y = 0; y < kSize; ++y)
            for (int x = 0; x < kSize; ++x) {
                const int r = At(picture, x, y).red;
                partial += r > 0 && r < 255;
                lit += r == 255;
            }
        EXPECT_EQ(partial > 0, c.expectMultisampled);
        // Half of 64 x 40 pixels, give or take the edge.
        EXPECT_NEAR(lit, 1280, 80);
        gc->AttachRenderTarget(nullptr);
        made.Destroy(*gc);
    }
}

TEST_F(OpenGLTextureTest, FramebuffersTheDriverCannotCompleteThrowAndLeaveTheDeviceUsable)
{
    if (dynamic_cast<XOpenGLGC::XGLFrameBufferObjectTargetImp*>(&target->GetImp()) == nullptr)
        GTEST_SKIP() << "the driver lacks GL_EXT_framebuffer_object";
    // One pixel wider than the driver's renderbuffers and textures can be.
    const XRect& bounds = gc->GetDeviceInfo().maxRenderBufferBounds;
    const uint32_t tooWide = uint32_t(std::max<int64_t>(bounds.GetWidth(), gc->GetDeviceInfo().maxTextureSize)) + 1;
    struct XCase {
        const char* name;
        bool renderToTexture;
    };
    for (const XCase& c : {XCase{"offscreen target", false}, XCase{"render to texture", true}}) {
        SCOPED_TRACE(c.name);
        X3DGCOffscreenTarget wide(*gc, tooWide, 1);
        XTexture2D* texture = c.renderToTexture ? new XTexture2D(*gc, tooWide, 1, X3DGC::kBGRA32) : nullptr;
        try {
            if (texture != nullptr)
                wide.AttachTexture(*texture);
            gc->AttachRenderTarget(&wide);
            gc->BeginRender();
            FAIL() << "a framebuffer of " << tooWide << " pixels was taken";
        } catch (const XException& e) {
            EXPECT_EQ(e.GetErrorCode(), XException::kIncompleteTarget);
        }
        asserts.Clear();
        gc->AttachRenderTarget(nullptr);
        wide.Destroy(*gc);
        if (texture != nullptr)
            Destroy(texture);
        // No error is left behind for the next frame to trip over.
        BeginFrame(XARGB32Colour(255, 0, 255, 0));
        EXPECT_EQ(At(EndFrame(), 1, 1).green, 255);
    }
}
} // namespace

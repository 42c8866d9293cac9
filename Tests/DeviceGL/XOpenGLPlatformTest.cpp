#include "XOpenGLDeviceFixture.h"

#include "WEGLDisplay.h"
#include "WGLPBufferTargetImp.h"
#include "WOpenGLGC.h"
#include "X3DGCThreadPool.h"
#include "XTexture2D.h"

#include <barrier>
#include <thread>

namespace {
TEST_F(OpenGLDeviceTest, PBufferTargetReadsItsFrameBack)
{
    X3DGCOffscreenTarget owner(*gc, 6, 4);
    WGLPBufferTargetImp pbuffer(owner);
    EXPECT_FALSE(pbuffer.IsRenderToTextureSupported());
    ASSERT_TRUE(WGLPBufferTargetImp::IsSupported(*gc));
    pbuffer.HandleBeginRender(*gc);
    gc->SetViewport(X3DViewport(XRect(0, 0, 6, 4)));
    gc->Clear(X3DGC::kClearColour, XARGB32Colour(255, 10, 20, 30), 1.0f, 0);
    pbuffer.HandleEndRender(*gc);
    XBGRA32Volume copy(6, 4, 1);
    pbuffer.CopyOutToBGRA32Volume(copy);
    const std::unique_ptr<XVolume> made = pbuffer.MakeVolume();
    ASSERT_EQ(made->GetWidth(), 6);
    ASSERT_EQ(made->GetHeight(), 4);
    for (const XVolume* picture : {static_cast<const XVolume*>(&copy), static_cast<const XVolume*>(made.get())}) {
        EXPECT_EQ(At(*picture, 5, 3), XARGB32Colour(255, 10, 20, 30));
    }
    pbuffer.DestroySelf(*gc);
    owner.Destroy(*gc);
}

TEST_F(OpenGLDeviceTest, DevicesOfOnePixelFormatShareTextures)
{
    // A texture made on this device is drawn by another device on another thread.
    auto* texture = new XTexture2D(*gc, 1, 1, X3DGC::kBGRA32);
    const uint8_t green[4] = {0, 255, 0, 255};
    texture->CopyInData(green, sizeof green);
    lock.reset();
    XARGB32Colour drawn;
    std::thread([&] {
        X3DGC other;
        other.Initialise();
        X3DGCScopedLock otherLock(other);
        X3DGCOffscreenTarget small(other, 4, 4);
        other.AttachRenderTarget(&small);
        other.BeginRender();
        other.SetViewport(X3DViewport(XRect(0, 0, 4, 4)));
        other.SetVertexDefinition(TexturedVertices());
        const XTexturedVertex quad[] = {{-1, -1, 0, 0, 0}, {1, -1, 0, 1, 0}, {1, 1, 0, 1, 1}, {-1, 1, 0, 0, 1}};
        other.SetTexture(0, texture);
        other.DrawUserPrimitives(X3DGC::kQuadList, quad, 0, 1);
        other.SetTexture(0, nullptr);
        other.EndRender();
        auto picture = small.MakeVolume();
        drawn = At(*picture, 2, 2);
        other.AttachRenderTarget(nullptr);
        small.Destroy(other);
    }).join();
    lock = std::make_unique<X3DGCScopedLock>(*gc);
    texture->Destroy(*gc);
    EXPECT_EQ(drawn, XARGB32Colour::kGreen);
}

TEST_F(OpenGLDeviceTest, PoolDevicesDrawOnTwoThreadsAtOnce)
{
    // Each thread clears to its own colour and draws a quad of another over the left
    // half, frame after frame, while the other thread does the same.
    struct XCase {
        XARGB32Colour clear, quad;
    };
    const XCase cases[] = {{XARGB32Colour(255, 200, 0, 0), XARGB32Colour(255, 0, 0, 250)},
                           {XARGB32Colour(255, 0, 120, 0), XARGB32Colour(255, 90, 0, 90)}};
    constexpr int kFrames = 20, kSide = 32;
    lock.reset();
    X3DGCThreadPool pool;
    std::barrier start(2);
    int wrongFrames[2] = {0, 0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 2; ++t)
        threads.emplace_back([&, t] {
            const XCase& c = cases[t];
            X3DGC& device = pool.GetContextForCurrentThread();
            X3DGCScopedLock threadLock(device);
            X3DGCOffscreenTarget own(device, kSide, kSide);
            device.SetVertexDefinition(ColouredVertices());
            const uint8_t r = c.quad.red, g = c.quad.green, b = c.quad.blue;
            const XColouredVertex quad[] = {{-1, -1, 0, {r, g, b, 255}}, {0, -1, 0, {r, g, b, 255}}, {0, 1, 0, {r, g, b, 255}},
                                            {-1, 1, 0, {r, g, b, 255}}};
            start.arrive_and_wait();
            for (int frame = 0; frame < kFrames; ++frame) {
                device.AttachRenderTarget(&own);
                device.BeginRender();
                device.SetViewport(X3DViewport(XRect(0, 0, kSide, kSide)));
                device.Clear(X3DGC::kClearColour | X3DGC::kClearDepth, c.clear, 1.0f, 0);
                device.SetBlendMode(X3DGC::kBlendNone);
                device.DrawUserPrimitives(X3DGC::kQuadList, quad, 0, 1);
                device.EndRender();
                const std::unique_ptr<XVolume> picture = own.MakeVolume();
                wrongFrames[t] += At(*picture, 4, 16) != c.quad || At(*picture, 28, 16) != c.clear;
            }
            device.AttachRenderTarget(nullptr);
            own.Destroy(device);
        });
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(wrongFrames[0], 0);
    EXPECT_EQ(wrongFrames[1], 0);
    lock = std::make_unique<X3DGCScopedLock>(*gc);
}

TEST_F(OpenGLDeviceTest, AttachedSurfaceTakesTheFramesUntilDetached)
{
    // Headless, a pbuffer of the device's config stands in for a window's surface.
    auto& platform = dynamic_cast<WOpenGLGC::WOpenGLGCImp&>(gc->GetImp());
    const EGLint size[] = {EGL_WIDTH, 8, EGL_HEIGHT, 8, EGL_NONE};
    EGLSurface surface = eglCreatePbufferSurface(WEGLDisplay::Get(), platform.GetConfig(), size);
    ASSERT_NE(surface, EGL_NO_SURFACE);
    lock.reset();
    platform.AttachWindowSurface(surface);
    {
        X3DGCScopedLock onSurface(*gc);
        EXPECT_EQ(eglGetCurrentSurface(EGL_DRAW), surface);
        gc->SetViewport(X3DViewport(XRect(0, 0, 8, 8)));
        gc->Clear(X3DGC::kClearColour, XARGB32Colour(255, 0, 0, 200), 1.0f, 0);
        uint8_t bgra[4] = {};
        glReadPixels(7, 7, 1, 1, GL_BGRA, GL_UNSIGNED_BYTE, bgra);
        EXPECT_EQ(bgra[0], 200);
        gc->Present();
    }
    platform.AttachWindowSurface(EGL_NO_SURFACE);
    lock = std::make_unique<X3DGCScopedLock>(*gc);
    EXPECT_NE(eglGetCurrentSurface(EGL_DRAW), surface);
    EXPECT_NE(eglGetCurrentSurface(EGL_DRAW), EGL_NO_SURFACE);
    eglDestroySurface(WEGLDisplay::Get(), surface);
}
} // namespace

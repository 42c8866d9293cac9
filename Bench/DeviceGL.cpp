// The OpenGL device against what it stands on, each pair measured in turn in the same
// run so that a busy machine slows both alike. The "ratio" counter is the device's time
// over the baseline's:
//   draw calls:   10,000 one-triangle draws against one draw of the same triangles;
//   state:        a frame setting the same states 100,000 times against one setting them
//                 once: the device filters the repeats, so near 1 is right;
//   read-back:    a 1920 x 1080 frame read back through the device against a bare
//                 glReadPixels of that size, and against a bare multisampled frame (see
//                 BM_ReadBack for its three ratios).
#include "X3DGC.h"
#include "X3DGCOffscreenTarget.h"
#include "X3DGCScopedLock.h"
#include "X3DRenderSystemManager.h"
#include "XBGRA32Volume.h"
#include "XGLFrameBufferObjectTargetImp.h"
#include "XOpenGL.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <iterator>
#include <memory>
#include <vector>

namespace {
using XClock = std::chrono::steady_clock;

// One manager for the process, before any device: the module registers the OpenGL render system with it.
X3DRenderSystemManager sManager;

struct XVertex {
    float x, y, z;
    uint8_t rgba[4];
};

// A device locked on this thread, drawing into an offscreen target with vertices in its pixels.
class XDeviceFrame {
public:
    XDeviceFrame(uint32_t inWidth, uint32_t inHeight)
    {
        itsGC.Initialise();
        itsLock = std::make_unique<X3DGCScopedLock>(itsGC);
        itsTarget = std::make_unique<X3DGCOffscreenTarget>(itsGC, inWidth, inHeight);
        X3DGC::XVertexDefinition definition;
        definition.stride = sizeof(XVertex);
        definition.elements = {{0, X3DGC::kElementFloat3, X3DGC::kUsagePosition},
                               {12, X3DGC::kElementUByte4, X3DGC::kUsageColour}};
        itsGC.SetVertexDefinition(definition);
    }
    ~XDeviceFrame()
    {
        itsGC.AttachRenderTarget(nullptr);
        itsTarget->Destroy(itsGC);
    }
    X3DGC& GC() { return itsGC; }
    X3DGCOffscreenTarget& Target() { return *itsTarget; }

    void Begin()
    {
        itsGC.AttachRenderTarget(itsTarget.get());
        itsGC.BeginRender();
        const int w = int(itsTarget->GetWidth()), h = int(itsTarget->GetHeight());
        itsGC.SetViewport(X3DViewport(XRect(0, 0, w, h)));
        XMatrix_4x4<float> pixels;
        pixels(0, 0) = 2.0f / float(w);
        pixels(1, 1) = 2.0f / float(h);
        pixels(3, 0) = -1.0f;
        pixels(3, 1) = -1.0f;
        itsGC.SetProjection(pixels);
        itsGC.Clear(X3DGC::kClearColour | X3DGC::kClearDepth, XARGB32Colour(255, 0, 0, 0), 1.0f, 0);
    }
    void End()
    {
        itsGC.EndRender();
        glFinish(); // the driver queues work: time it done
    }

private:
    X3DGC itsGC;
    std::unique_ptr<X3DGCScopedLock> itsLock;
    std::unique_ptr<X3DGCOffscreenTarget> itsTarget;
};

// Times inBaseline and inSubject once per iteration, reports the subject's time as the
// iteration's and the ratio of the totals as a counter.
template <class TBaseline, class TSubject>
void Compare(benchmark::State& state, TBaseline inBaseline, TSubject inSubject)
{
    double baseline = 0, subject = 0;
    for (auto _ : state) {
        const auto t0 = XClock::now();
        inBaseline();
        const auto t1 = XClock::now();
        inSubject();
        const auto t2 = XClock::now();
        baseline += std::chrono::duration<double>(t1 - t0).count();
        const double s = std::chrono::duration<double>(t2 - t1).count();
        subject += s;
        state.SetIterationTime(s);
    }
    state.counters["baseline_ms"] = 1000.0 * baseline / double(state.iterations());
    state.counters["ratio"] = baseline > 0 ? subject / baseline : 0.0;
}

void BM_DrawCalls(benchmark::State& state)
{
    constexpr uint32_t kTriangles = 10000;
    XDeviceFrame frame(256, 256);
    // One-pixel triangles across the target, so that the calls, not the fill, are measured.
    std::vector<XVertex> vertices;
    for (uint32_t n = 0; n < kTriangles; ++n) {
        const float x = float(n % 250) + 0.5f, y = float(n / 250 % 250) + 0.5f;
        for (auto [dx, dy] : {std::pair{0.0f, 0.0f}, {1.5f, 0.0f}, {0.0f, 1.5f}})
            vertices.push_back({x + dx, y + dy, 0.0f, {255, 255, 255, 255}});
    }
    X3DGC& gc = frame.GC();
    Compare(
        state,
        [&] {
            frame.Begin();
            gc.DrawUserPrimitives(X3DGC::kTriangleList, vertices.data(), 0, kTriangles);
            frame.End();
        },
        [&] {
            frame.Begin();
            for (uint32_t n = 0; n < kTriangles; ++n)
                gc.DrawUserPrimitives(X3DGC::kTriangleList, vertices.data(), 3 * n, 1);
            frame.End();
        });
}

void BM_RedundantState(benchmark::State& state)
{
    constexpr int kRepeats = 100000;
    XDeviceFrame frame(256, 256);
    const XVertex triangle[] = {{0, 0, 0, {255, 255, 255, 255}}, {256, 0, 0, {255, 255, 255, 255}},
                                {0, 256, 0, {255, 255, 255, 255}}};
    X3DGC& gc = frame.GC();
    auto stateFrame = [&](int inRepeats) {
        frame.Begin();
        for (int n = 0; n < inRepeats; ++n) {
            gc.SetBlendMode(X3DGC::kBlendNone);
            gc.SetDepthTestEnabled(true);
            gc.SetCullMode(X3DGC::kCullNone);
        }
        gc.DrawUserPrimitives(X3DGC::kTriangleList, triangle, 0, 1);
        frame.End();
    };
    Compare(state, [&] { stateFrame(1); }, [&] { stateFrame(kRepeats); });
}

// A framebuffer of colour and depth renderbuffers, as the device's targets have,
// multisampled for inSamples > 1.
class XBareFramebuffer {
public:
    XBareFramebuffer(int inWidth, int inHeight, GLsizei inSamples)
    {
        glGenFramebuffersEXT(1, &itsFramebuffer);
        glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, itsFramebuffer);
        const std::pair<GLuint*, GLenum> attachments[] = {{&itsColour, GL_COLOR_ATTACHMENT0_EXT},
                                                          {&itsDepth, GL_DEPTH_ATTACHMENT_EXT}};
        for (auto [name, attachment] : attachments) {
            const GLenum format = attachment == GL_DEPTH_ATTACHMENT_EXT ? GL_DEPTH_COMPONENT16 : GL_RGBA8;
            glGenRenderbuffersEXT(1, name);
            glBindRenderbufferEXT(GL_RENDERBUFFER_EXT, *name);
            if (inSamples > 1)
                glRenderbufferStorageMultisampleEXT(GL_RENDERBUFFER_EXT, inSamples, format, inWidth, inHeight);
            else
                glRenderbufferStorageEXT(GL_RENDERBUFFER_EXT, format, inWidth, inHeight);
            glFramebufferRenderbufferEXT(GL_FRAMEBUFFER_EXT, attachment, GL_RENDERBUFFER_EXT, *name);
        }
        glBindRenderbufferEXT(GL_RENDERBUFFER_EXT, 0);
        itsComplete = glCheckFramebufferStatusEXT(GL_FRAMEBUFFER_EXT) == GL_FRAMEBUFFER_COMPLETE_EXT;
        glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
    }
    ~XBareFramebuffer()
    {
        glDeleteFramebuffersEXT(1, &itsFramebuffer);
        glDeleteRenderbuffersEXT(1, &itsColour);
        glDeleteRenderbuffersEXT(1, &itsDepth);
    }
    XBareFramebuffer(const XBareFramebuffer&) = delete;
    XBareFramebuffer& operator=(const XBareFramebuffer&) = delete;
    bool IsComplete() const { return itsComplete; }
    GLuint GetName() const { return itsFramebuffer; }

private:
    GLuint itsFramebuffer = 0;
    GLuint itsColour = 0;
    GLuint itsDepth = 0;
    bool itsComplete = false;
};

void ReadBGRA(GLuint inFramebuffer, int inWidth, int inHeight, uint8_t* outPixels)
{
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, inFramebuffer);
    glReadBuffer(GL_COLOR_ATTACHMENT0_EXT);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, inWidth, inHeight, GL_BGRA, GL_UNSIGNED_BYTE, outPixels);
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
}

// A cleared 1920 x 1080 frame read back through the device, timed in turn with four
// others each iteration:
//   ratio_to_readpixels   the device's frame over a bare glReadPixels of that size from
//                         a single-sample framebuffer (what the goal of 1.5 is set against);
//   ratio_to_resolve      the device's frame over the least a multisampled frame needs:
//                         clearing a 4-sample framebuffer's colour and depth, resolving
//                         the colour and reading it;
//   single_to_readpixels  the device's single-sample target (what it makes where the
//                         driver has no multisampling) over the bare glReadPixels;
//   single_to_clear_read  that target over a bare clear of colour and depth and glReadPixels.
// The device's own target is multisampled here, as on every driver that can. A software
// driver spends most of a frame clearing and resolving, which the bare read skips.
void BM_ReadBack(benchmark::State& state)
{
    const int width = int(state.range(0)), height = int(state.range(1));
    XDeviceFrame frame{uint32_t(width), uint32_t(height)};
    X3DGC& gc = frame.GC();
    XBGRA32Volume picture(width, height, 1);
    std::vector<uint8_t> pixels(size_t(width) * size_t(height) * 4);
    XBareFramebuffer plain(width, height, 1);
    XBareFramebuffer multisampled(width, height, 4);
    if (!plain.IsComplete() || !multisampled.IsComplete()) {
        state.SkipWithError("the driver cannot make the baseline's framebuffers at this size");
        return;
    }
    X3DGCOffscreenTarget singleOwner(gc, uint32_t(width), uint32_t(height));
    XOpenGLGC::XGLFrameBufferObjectTargetImp single(singleOwner, false);
    auto readPixels = [&] {
        ReadBGRA(plain.GetName(), width, height, pixels.data());
        benchmark::DoNotOptimize(pixels.data());
    };
    auto clearAndRead = [&] {
        glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, plain.GetName());
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        readPixels();
    };
    auto resolveAndRead = [&] {
        glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, multisampled.GetName());
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glBindFramebufferEXT(GL_READ_FRAMEBUFFER_EXT, multisampled.GetName());
        glBindFramebufferEXT(GL_DRAW_FRAMEBUFFER_EXT, plain.GetName());
        glBlitFramebufferEXT(0, 0, width, height, 0, 0, width, height, GL_COLOR_BUFFER_BIT, GL_NEAREST);
        readPixels();
    };
    auto deviceFrame = [&] {
        frame.Begin();
        frame.End();
        frame.Target().CopyOutToBGRA32Volume(picture);
        benchmark::DoNotOptimize(picture.GetVoxelPtr(0, 0, 0));
    };
    auto singleSampleFrame = [&] {
        single.HandleBeginRender(gc);
        gc.SetViewport(X3DViewport(XRect(0, 0, width, height)));
        gc.Clear(X3DGC::kClearColour | X3DGC::kClearDepth, XARGB32Colour(255, 0, 0, 0), 1.0f, 0);
        single.HandleEndRender(gc);
        glFinish();
        single.CopyOutToBGRA32Volume(picture);
        benchmark::DoNotOptimize(picture.GetVoxelPtr(0, 0, 0));
    };
    // The device's frame last, so that its time is the iteration's.
    const std::function<void()> steps[] = {readPixels, clearAndRead, resolveAndRead, singleSampleFrame, deviceFrame};
    double seconds[std::size(steps)] = {};
    for (auto _ : state)
        for (size_t i = 0; i < std::size(steps); ++i) {
            const auto t0 = XClock::now();
            steps[i]();
            const double s = std::chrono::duration<double>(XClock::now() - t0).count();
            seconds[i] += s;
            if (i + 1 == std::size(steps))
                state.SetIterationTime(s);
        }
    const double n = double(state.iterations());
    state.counters["readpixels_ms"] = 1000.0 * seconds[0] / n;
    state.counters["clear_read_ms"] = 1000.0 * seconds[1] / n;
    state.counters["resolve_ms"] = 1000.0 * seconds[2] / n;
    state.counters["single_ms"] = 1000.0 * seconds[3] / n;
    auto ratio = [&](size_t inSubject, size_t inBaseline) {
        return seconds[inBaseline] > 0 ? seconds[inSubject] / seconds[inBaseline] : 0.0;
    };
    state.counters["ratio_to_readpixels"] = ratio(4, 0);
    state.counters["ratio_to_resolve"] = ratio(4, 2);
    state.counters["single_to_readpixels"] = ratio(3, 0);
    state.counters["single_to_clear_read"] = ratio(3, 1);
    single.DestroySelf(gc);
    singleOwner.Destroy(gc);
}
} // namespace

BENCHMARK(BM_DrawCalls)->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK(BM_RedundantState)->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK(BM_ReadBack)->Args({1920, 1080})->Unit(benchmark::kMillisecond)->UseManualTime();

// The planes view of the built-in sample at 1920 x 1080 against a bare glReadPixels
// of that size, each pair measured in turn in the same run. "ratio" is the view's time
// over the bare read-back's:
//   export: RenderToImage (scene, flip, read-back, no overlays);
//   paint:  a frame painted on the renderer's canvas (scene, read-back, overlays).
// "stages" repeats the painted frame's steps one by one on targets kept between frames,
// waiting for the device after each, and reports each step's time over the bare
// read-back's (scene, flip, read_back, overlays).
// Arguments: export and paint 0 as configured, 1 with single-sample targets on a software
// rasteriser (XGLContext::SetSingleSampleOnSoftwareRasteriser); stages 0 as the renderer
// draws, 1 with a four-sample read-back target as before, 2 with single-sample targets on a
// software rasteriser.
#include "X3DGCOffscreenTarget.h"
#include "X3DGCScopedLock.h"
#include "X3DPlaneRenderer.h"
#include "X3DRenderSystemManager.h"
#include "XBGRA32Volume.h"
#include "XDataVolumeSequence.h"
#include "XGLContext.h"
#include "XGC.h"
#include "XImageDataSource.h"
#include "XOpenGL.h"
#include "XRendererPane.h"
#include "XSyntheticSample.h"
#include "XTexture2D.h"
#include "XVolume.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
#include <utility>
#include <vector>

namespace {
using XClock = std::chrono::steady_clock;
constexpr int kWidth = 1920;
constexpr int kHeight = 1080;

X3DRenderSystemManager sManager;

// Opens the renderer's frame steps to the stage benchmark.
class XSteppedPlaneRenderer : public X3DPlaneRenderer {
public:
    using X3DPlaneRenderer::X3DPlaneRenderer;
    using X3DPlaneRenderer::DrawToCanvas;
    using X3DPlaneRenderer::FlipTextureToTarget;
};

// The view, made once: the sample takes seconds to make.
struct XPlanesView {
    XPlanesView()
        : source(new XImageDataSource(std::shared_ptr<const XDataVolumeSequence>(XSyntheticSample::Make()))),
          renderer(source), pane(XRect(0, 0, kWidth, kHeight))
    {
        pane.SetRenderer(&renderer);
        XRendererSceneState state;
        state.SetStateAndEnable(kSceneStateRotation, X3DMatrix::RotationMatrix(X3DMatrix::ColumnVector(1, 1, 0), 0.6, 3));
        renderer.SetSceneState(state);
    }
    ~XPlanesView() { pane.SetRenderer(nullptr); }
    boost::shared_ptr<XImageDataSource> source;
    XSteppedPlaneRenderer renderer;
    XRendererPane pane;
};

// Kept until the process ends: torn down by exit handlers, its devices would meet a
// driver that has already unloaded.
XPlanesView& View()
{
    static XPlanesView* sView = new XPlanesView;
    return *sView;
}

// A bare single-sample framebuffer of the frame's size in the current context, read back.
class XBareReadBack {
public:
    XBareReadBack() : itsPixels(size_t(kWidth) * kHeight * 4)
    {
        glGenFramebuffersEXT(1, &itsFramebuffer);
        glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, itsFramebuffer);
        glGenRenderbuffersEXT(1, &itsColour);
        glBindRenderbufferEXT(GL_RENDERBUFFER_EXT, itsColour);
        glRenderbufferStorageEXT(GL_RENDERBUFFER_EXT, GL_RGBA8, kWidth, kHeight);
        glFramebufferRenderbufferEXT(GL_FRAMEBUFFER_EXT, GL_COLOR_ATTACHMENT0_EXT, GL_RENDERBUFFER_EXT, itsColour);
        glBindRenderbufferEXT(GL_RENDERBUFFER_EXT, 0);
        glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
    }
    ~XBareReadBack()
    {
        glDeleteFramebuffersEXT(1, &itsFramebuffer);
        glDeleteRenderbuffersEXT(1, &itsColour);
    }
    void Read()
    {
        glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, itsFramebuffer);
        glReadBuffer(GL_COLOR_ATTACHMENT0_EXT);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, kWidth, kHeight, GL_BGRA, GL_UNSIGNED_BYTE, itsPixels.data());
        glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
    }

private:
    GLuint itsFramebuffer = 0;
    GLuint itsColour = 0;
    std::vector<uint8_t> itsPixels;
};

// Sets the single-sample workaround for one benchmark and makes the view's targets anew.
class XSampleSetting {
public:
    explicit XSampleSetting(bool inSingle) { Apply(inSingle); }
    ~XSampleSetting() { Apply(false); }
    XSampleSetting(const XSampleSetting&) = delete;
    XSampleSetting& operator=(const XSampleSetting&) = delete;

private:
    static void Apply(bool inSingle)
    {
        XGLContext::SetSingleSampleOnSoftwareRasteriser(inSingle);
        View().renderer.HandleSize(XRect(0, 0, kWidth, kHeight));
    }
};

template <class TSubject>
void CompareWithReadBack(benchmark::State& state, TSubject inSubject)
{
    XPlanesView& view = View();
    const XSampleSetting samples(state.range(0) == 1);
    bool software = false;
    {
        X3DGCScopedLock lock(view.renderer.Get3DGC());
        software = XGLContext::IsSoftwareRendererName(XString(reinterpret_cast<const char*>(glGetString(GL_RENDERER))));
    }
    state.counters["single_sample"] = XGLContext::IsSingleSampleOnSoftwareRasteriser() && software ? 1.0 : 0.0;
    X3DGC& gc = view.renderer.Get3DGC();
    double baseline = 0, subject = 0;
    for (auto _ : state) {
        XClock::time_point t0, t1;
        {
            X3DGCScopedLock lock(gc);
            XBareReadBack bare;
            t0 = XClock::now();
            bare.Read();
            t1 = XClock::now();
        }
        inSubject(view);
        const auto t2 = XClock::now();
        baseline += std::chrono::duration<double>(t1 - t0).count();
        const double s = std::chrono::duration<double>(t2 - t1).count();
        subject += s;
        state.SetIterationTime(s);
    }
    state.counters["baseline_ms"] = 1000.0 * baseline / double(state.iterations());
    state.counters["ratio"] = baseline > 0 ? subject / baseline : 0.0;
}

void BM_PlanesExport(benchmark::State& state)
{
    CompareWithReadBack(state, [](XPlanesView& inView) {
        std::unique_ptr<XVolume> image(
            inView.renderer.RenderToImage(XRect(0, 0, kWidth, kHeight), XRenderer::kRenderingIntentFinal));
        benchmark::DoNotOptimize(image.get());
    });
}
BENCHMARK(BM_PlanesExport)->Arg(0)->Arg(1)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_PlanesPaint(benchmark::State& state)
{
    CompareWithReadBack(state, [](XPlanesView& inView) { inView.renderer.RefreshRendererWithImmediateRedraw(); });
}
BENCHMARK(BM_PlanesPaint)->Arg(0)->Arg(1)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);

double Seconds(XClock::time_point inFrom, XClock::time_point inTo) { return std::chrono::duration<double>(inTo - inFrom).count(); }

void BM_PlanesStages(benchmark::State& state)
{
    XPlanesView& view = View();
    XSteppedPlaneRenderer& renderer = view.renderer;
    X3DGC& gc = renderer.Get3DGC();
    const XRect bounds(0, 0, kWidth, kHeight);
    const XSampleSetting samples(state.range(0) == 2);
    X3DGCScopedLock lock(gc);
    XTexture2D& texture = *new XTexture2D(gc, kWidth, kHeight, X3DGC::kBGRA32); // Destroy deletes it
    X3DGCOffscreenTarget flipTarget(gc, kWidth, kHeight), readBackTarget(gc, kWidth, kHeight);
    flipTarget.AttachTexture(texture);
    if (state.range(0) != 1)
        readBackTarget.SetSingleSample();
    XBGRA32Volume image(kWidth, kHeight, 1), painted(kWidth, kHeight, 1);
    double baseline = 0, scene = 0, flip = 0, readBack = 0, overlays = 0;
    for (auto _ : state) {
        XClock::time_point t0, t1;
        {
            XBareReadBack bare;
            t0 = XClock::now();
            bare.Read();
            t1 = XClock::now();
        }
        renderer.RenderToTarget(gc, flipTarget, bounds, XRenderer::kRenderingIntentScreen, XMatrix_4x4<float>());
        glFinish();
        const auto t2 = XClock::now();
        renderer.FlipTextureToTarget(texture, readBackTarget);
        glFinish();
        const auto t3 = XClock::now();
        readBackTarget.CopyOutToBGRA32Volume(image);
        const auto t4 = XClock::now();
        {
            XGC canvas(painted);
            renderer.DrawToCanvas(canvas, image, bounds);
            canvas.Flush();
        }
        const auto t5 = XClock::now();
        baseline += Seconds(t0, t1);
        scene += Seconds(t1, t2);
        flip += Seconds(t2, t3);
        readBack += Seconds(t3, t4);
        overlays += Seconds(t4, t5);
        state.SetIterationTime(Seconds(t1, t5));
    }
    readBackTarget.Destroy(gc);
    flipTarget.Destroy(gc);
    texture.Destroy(gc);
    const double n = double(state.iterations());
    state.counters["baseline_ms"] = 1000.0 * baseline / n;
    for (const auto& [name, seconds] : {std::pair{"scene", scene}, std::pair{"flip", flip},
             std::pair{"read_back", readBack}, std::pair{"overlays", overlays}})
        state.counters[name] = baseline > 0 ? seconds / baseline : 0.0;
}
BENCHMARK(BM_PlanesStages)->Arg(1)->Arg(0)->Arg(2)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);
} // namespace

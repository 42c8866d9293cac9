// The planes view of the built-in sample at 1920 x 1080 against a bare glReadPixels
// of that size, each pair measured in turn in the same run. "ratio" is the view's time
// over the bare read-back's:
//   export: RenderToImage (scene, flip, read-back, no overlays);
//   paint:  a frame painted on the renderer's canvas (scene, read-back, overlays).
#include "X3DGCScopedLock.h"
#include "X3DPlaneRenderer.h"
#include "X3DRenderSystemManager.h"
#include "XDataVolumeSequence.h"
#include "XImageDataSource.h"
#include "XOpenGL.h"
#include "XRendererPane.h"
#include "XSyntheticSample.h"
#include "XVolume.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
#include <vector>

namespace {
using XClock = std::chrono::steady_clock;
constexpr int kWidth = 1920;
constexpr int kHeight = 1080;

X3DRenderSystemManager sManager;

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
    X3DPlaneRenderer renderer;
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

template <class TSubject>
void CompareWithReadBack(benchmark::State& state, TSubject inSubject)
{
    XPlanesView& view = View();
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
BENCHMARK(BM_PlanesExport)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_PlanesPaint(benchmark::State& state)
{
    CompareWithReadBack(state, [](XPlanesView& inView) { inView.renderer.RefreshRendererWithImmediateRedraw(); });
}
BENCHMARK(BM_PlanesPaint)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);
} // namespace

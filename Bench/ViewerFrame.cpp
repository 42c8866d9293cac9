// The viewer's interactive frame at 1280 x 800 on a private X server against
// RenderToImage of the same frame, each pair measured in turn in the same run:
//   viewer: one roll step of the volume, the frame on the renderer's window canvas
//           (scene, read-back, overlays) and its put to the window;
//   export: RenderToImage of that state (scene, flip, read-back, no overlays).
// "ratio" is the viewer's time over the export's; "viewer_fps" its frames per second.
#include "WCanvasWnd.h"
#include "X3DPlaneRenderer.h"
#include "X3DRenderSystemManager.h"
#include "XDataVolumeSequence.h"
#include "XImageDataSource.h"
#include "XPrivateXServer.h"
#include "XRendererPane.h"
#include "XSyntheticSample.h"
#include "XVolume.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <memory>

namespace {
using XClock = std::chrono::steady_clock;
constexpr int kWidth = 1280;
constexpr int kHeight = 800;

// Kept until the process ends, as the devices must not outlive the driver.
struct XViewerFrame {
    XViewerFrame()
        : source(new XImageDataSource(std::shared_ptr<const XDataVolumeSequence>(XSyntheticSample::Make()))),
          renderer(source), pane(XRect(0, 0, kWidth, kHeight))
    {
        pane.SetRenderer(&renderer);
        window = dynamic_cast<WCanvasWnd*>(renderer.GetRendererCanvasPane());
    }
    void Roll()
    {
        angle += 0.02;
        XRendererSceneState state;
        state.SetStateAndEnable(kSceneStateRotation, X3DMatrix::RotationMatrix(X3DMatrix::ColumnVector(0, 1, 0), angle, 3));
        renderer.SetSceneState(state);
    }
    boost::shared_ptr<XImageDataSource> source;
    X3DPlaneRenderer renderer;
    XRendererPane pane;
    WCanvasWnd* window = nullptr;
    double angle = 0;
};

XPrivateXServer* sServer = nullptr;
X3DRenderSystemManager* sManager = nullptr;

XViewerFrame* Frame()
{
    static XViewerFrame* sFrame = [] {
        sServer = new XPrivateXServer(kWidth + 64, kHeight + 64);
        if (sServer->IsRunning())
            setenv("DISPLAY", sServer->GetDisplayName().c_str(), 1);
        // The server must not outlive the run; the window's connection may simply drop.
        std::atexit([] { delete sServer; });
        sManager = new X3DRenderSystemManager;
        return new XViewerFrame;
    }();
    return sFrame;
}

void BM_ViewerFrame(benchmark::State& state)
{
    XViewerFrame& frame = *Frame();
    if (!frame.window || !frame.window->IsOnDisplay()) {
        state.SkipWithError(("no window on a private X server: " + sServer->GetError()).c_str());
        return;
    }
    frame.window->ProcessWindowEvents(0);
    double viewer = 0, exported = 0;
    for (auto _ : state) {
        const auto t0 = XClock::now();
        frame.Roll();
        frame.renderer.RefreshRendererWithImmediateRedraw();
        frame.window->ProcessWindowEvents(0);
        const auto t1 = XClock::now();
        std::unique_ptr<XVolume> image(
            frame.renderer.RenderToImage(XRect(0, 0, kWidth, kHeight), XRenderer::kRenderingIntentScreen));
        benchmark::DoNotOptimize(image.get());
        const auto t2 = XClock::now();
        const double v = std::chrono::duration<double>(t1 - t0).count();
        viewer += v;
        exported += std::chrono::duration<double>(t2 - t1).count();
        state.SetIterationTime(v);
    }
    const double n = double(state.iterations());
    state.counters["export_ms"] = 1000.0 * exported / n;
    state.counters["viewer_fps"] = viewer > 0 ? n / viewer : 0.0;
    state.counters["ratio"] = exported > 0 ? viewer / exported : 0.0;
}
BENCHMARK(BM_ViewerFrame)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(3.0);
} // namespace

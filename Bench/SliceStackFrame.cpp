// One 800 × 600 frame of the slice-stack renderer (loaded as a module, as a host
// would) showing the built-in three-channel sample, against the frame of the same
// renderer with no sample, measured in the same run: "x_empty" is the sample frame's
// time over the empty frame's, so it tells what drawing the volume costs.
#include "WOffscreenRendererView.h"
#include "XAppMessageCentre.h"
#include "XARGB32Volume.h"
#include "XModuleManager.h"
#include "XSampleDB.h"
#include "XSyntheticSample.h"
#include "XThread.h"
#include "XVolumeRendererBase.h"
#include "XVolumeRendererManager.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>

namespace {

constexpr int32_t kWidth = 800, kHeight = 600;
constexpr uint32_t kSliceStackID = 1001;

// The registry with the modules beside the executable loaded, made once.
XVolumeRendererManager* GetRegistry()
{
    static std::unique_ptr<XVolumeRendererManager> registry = [] {
        XThread::SetMainThread();
        XModuleManager::GetModuleManager().LoadModules();
        auto r = std::make_unique<XVolumeRendererManager>();
        XAppMessageCentre::GetAppMessageCentre().SendAppInitialised();
        XAppMessageCentre::GetAppMessageCentre().ProcessMessages();
        return r;
    }();
    return registry->FindStrategy(kSliceStackID) ? registry.get() : nullptr;
}

uint32_t GetSample()
{
    static const uint32_t id = XSampleDB::GetDB().AddSample(XSyntheticSample::Make());
    return id;
}

// A slice-stack renderer in an 800 × 600 offscreen view showing inSampleID (0: none).
std::unique_ptr<WOffscreenRendererView> MakeView(uint32_t inSampleID)
{
    XVolumeRendererManager* registry = GetRegistry();
    if (!registry)
        return nullptr;
    auto view = std::make_unique<WOffscreenRendererView>(kWidth, kHeight);
    registry->AttachRenderer(kSliceStackID, *view);
    XVolumeRendererBase* renderer = view->GetVolumeRenderer();
    renderer->SetSampleID(inSampleID);
    renderer->SetActive(true);
    // The first frame makes the textures; the figures are for frames after it.
    XARGB32Volume picture(kWidth, kHeight, 1);
    renderer->Render(picture);
    return view;
}

double SecondsPerFrame(XVolumeRendererBase& inRenderer, int inFrames)
{
    XARGB32Volume picture(kWidth, kHeight, 1);
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < inFrames; ++i)
        inRenderer.Render(picture);
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() / inFrames;
}

void BM_EmptySceneFrame(benchmark::State& state)
{
    std::unique_ptr<WOffscreenRendererView> view = MakeView(0);
    if (!view) {
        state.SkipWithError("the slice-stack module was not found in the modules folder beside the benchmark");
        return;
    }
    XARGB32Volume picture(kWidth, kHeight, 1);
    for (auto _ : state) {
        view->GetVolumeRenderer()->Render(picture);
        benchmark::DoNotOptimize(picture.GetData());
    }
    state.counters["fps"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}

void BM_SliceStackFrame(benchmark::State& state)
{
    std::unique_ptr<WOffscreenRendererView> empty = MakeView(0);
    std::unique_ptr<WOffscreenRendererView> view = MakeView(GetSample());
    if (!view || !empty) {
        state.SkipWithError("the slice-stack module was not found in the modules folder beside the benchmark");
        return;
    }
    const double emptySeconds = SecondsPerFrame(*empty->GetVolumeRenderer(), 10);
    XARGB32Volume picture(kWidth, kHeight, 1);
    double total = 0.0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        view->GetVolumeRenderer()->Render(picture);
        total += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        benchmark::DoNotOptimize(picture.GetData());
    }
    state.counters["fps"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["empty_ms"] = emptySeconds * 1e3;
    state.counters["x_empty"] = total / double(state.iterations()) / emptySeconds;
}

} // namespace

BENCHMARK(BM_EmptySceneFrame)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SliceStackFrame)->Unit(benchmark::kMillisecond)->UseRealTime();

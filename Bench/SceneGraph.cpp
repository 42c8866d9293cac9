// The scene graph against the simplest way to get the same result, each pair measured
// in turn in the same run. The "ratio" counter is the scene graph's time over the
// baseline's:
//   box nodes:  an 800 x 600 frame of 1,000 nodes that each draw their box outline
//               (UpdateGeometry and Render of the tree) against one BatchRenderBoxes of
//               the same 1,000 boxes: what a node costs per draw on top of its lines;
//   update:     UpdateGeometry of 10,000 empty nodes under one root against a bare loop
//               of the same local x parent products: what locking, bounds and the walk
//               cost on top of the matrices.
#include "X3DGC.h"
#include "X3DGCOffscreenTarget.h"
#include "X3DGCScopedLock.h"
#include "X3DRenderSystemManager.h"
#include "X3DSceneNode.h"
#include "XOpenGL.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <ctime>
#include <memory>
#include <vector>

namespace {
using XClock = std::chrono::steady_clock;

// One manager for the process, before any device: the module registers the OpenGL render system with it.
X3DRenderSystemManager sManager;

double ThreadSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + 1e-9 * double(t.tv_nsec);
}

// Times inBaseline and inSubject once per iteration, reports the subject's time as the
// iteration's and the ratio of the totals as a counter; cpu_ratio is the same for the
// calling thread's processor time, which neither a busy machine nor the driver's own
// threads (that fill the pixels) change.
template <class TBaseline, class TSubject>
void Compare(benchmark::State& state, TBaseline inBaseline, TSubject inSubject)
{
    double baseline = 0, subject = 0, baselineCPU = 0, subjectCPU = 0;
    for (auto _ : state) {
        const auto t0 = XClock::now();
        const double c0 = ThreadSeconds();
        inBaseline();
        const auto t1 = XClock::now();
        const double c1 = ThreadSeconds();
        inSubject();
        const auto t2 = XClock::now();
        const double c2 = ThreadSeconds();
        baseline += std::chrono::duration<double>(t1 - t0).count();
        const double s = std::chrono::duration<double>(t2 - t1).count();
        subject += s;
        baselineCPU += c1 - c0;
        subjectCPU += c2 - c1;
        state.SetIterationTime(s);
    }
    state.counters["baseline_ms"] = 1000.0 * baseline / double(state.iterations());
    state.counters["ratio"] = baseline > 0 ? subject / baseline : 0.0;
    state.counters["cpu_ratio"] = baselineCPU > 0 ? subjectCPU / baselineCPU : 0.0;
}

class XBoxNode : public X3DSceneNode {
protected:
    void RenderSelf(X3DGC& inGC, const XSceneRenderState&) override { RenderBox(inGC, GetLocalBounds()); }
};

void BM_BoxNodes(benchmark::State& state)
{
    constexpr int kWidth = 800, kHeight = 600, kNodes = 1000;
    X3DGC gc;
    gc.Initialise();
    X3DGCScopedLock lock(gc);
    auto* target = new X3DGCOffscreenTarget(gc, kWidth, kHeight);
    // A grid of small boxes across the view -1..1.
    X3DSceneNode root;
    std::vector<std::unique_ptr<XBoxNode>> nodes;
    for (int n = 0; n < kNodes; ++n) {
        nodes.push_back(std::make_unique<XBoxNode>());
        nodes.back()->SetPosition({-0.95f + 0.06f * float(n % 32), -0.95f + 0.06f * float(n / 32), 0.0f});
        nodes.back()->SetScale({0.04f, 0.04f, 0.04f});
        root.AddChild(*nodes.back());
    }
    XSceneRenderState sceneState;
    root.UpdateGeometry(XMatrix_4x4<float>(), sceneState);
    XVector<XBoundingBox> boxes;
    for (const auto& node : nodes)
        boxes.push_back(node->GetWorldBounds());
    const auto frame = [&](auto inDraw) {
        gc.AttachRenderTarget(target);
        gc.BeginRender();
        gc.SetViewport(X3DViewport(XRect(0, 0, kWidth, kHeight)));
        gc.SetProjection(XMatrix_4x4<float>::MakeOrthographic(-1, 1, -1, 1, -1, 1));
        gc.Clear(X3DGC::kClearColour | X3DGC::kClearDepth, XARGB32Colour::kBlack, 1.0f, 0);
        inDraw();
        gc.EndRender();
        glFinish(); // the driver queues work: time it done
    };
    Compare(
        state, [&] { frame([&] { X3DSceneNode::BatchRenderBoxes(gc, boxes, {XARGB32Colour::kWhite}); }); },
        [&] {
            frame([&] {
                root.UpdateGeometry(XMatrix_4x4<float>(), sceneState);
                root.Render(gc, sceneState);
            });
        });
    gc.AttachRenderTarget(nullptr);
    target->Destroy(gc);
}

void BM_UpdateGeometry(benchmark::State& state)
{
    constexpr int kNodes = 10000;
    X3DSceneNode root;
    std::vector<std::unique_ptr<X3DSceneNode>> nodes;
    std::vector<XMatrix_4x4<float>> locals, worlds(kNodes);
    for (int n = 0; n < kNodes; ++n) {
        nodes.push_back(std::make_unique<X3DSceneNode>());
        nodes.back()->SetPosition({float(n % 100), float(n / 100), 0.0f});
        nodes.back()->SetRotation(XQuaternion::MakeFromAxisAngle(XMathVectorF3(0, 0, 1), 0.001 * n));
        root.AddChild(*nodes.back());
        locals.push_back(nodes.back()->GetLocalTransform());
    }
    const XMatrix_4x4<float> parent = XMatrix_4x4<float>::MakeTranslation(1, 2, 3);
    const XSceneRenderState sceneState;
    Compare(
        state,
        [&] {
            for (int n = 0; n < kNodes; ++n)
                worlds[n] = locals[n] * parent;
            benchmark::DoNotOptimize(worlds.data());
            benchmark::ClobberMemory();
        },
        [&] { root.UpdateGeometry(parent, sceneState); });
}
} // namespace

BENCHMARK(BM_BoxNodes)->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK(BM_UpdateGeometry)->Unit(benchmark::kMicrosecond)->UseManualTime();

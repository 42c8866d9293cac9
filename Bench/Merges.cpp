// The three channel merges on a 1024 × 1024 × 64 stack of two 16-bit channels. Each
// writes a fresh 256 MB colour volume, whose first touch dominates, so each is
// reported against a memcpy of as many bytes into a freshly allocated buffer measured
// in the same run ("x_fresh_memcpy" = merge time / fresh memcpy time).
#include "MemcpyBaseline.h"
#include "XAverageMergeTool.h"
#include "XBPMergeTool.h"
#include "XCombineMergeTool.h"
#include "XGrey16Volume.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <memory>
#include <vector>

namespace {

constexpr int32_t kWidth = 1024, kHeight = 1024, kDepth = 64;

struct Stack {
    XGrey16Volume red{kWidth, kHeight, kDepth};
    XGrey16Volume green{kWidth, kHeight, kDepth};
    Stack()
    {
        // Values spread over the whole range so the display tables are used throughout.
        uint32_t seed = 12345;
        for (XGrey16Volume* v : {&red, &green}) {
            uint16_t* p = v->GetVoxelLayer(0);
            for (uint64_t i = 0; i < v->GetVoxelCount(); ++i) {
                seed = seed * 1664525u + 1013904223u;
                p[i] = uint16_t(seed >> 16);
            }
        }
        red.SetImageRenderer(XImageRenderer(XARGB32Colour::kRed, 100, 40000));
        green.SetImageRenderer(XImageRenderer(XARGB32Colour::kGreen, 500, 60000, 1.5));
    }
    size_t Bytes() const { return red.GetDataSize() + green.GetDataSize(); }
    // The merged colour volume: four bytes a voxel.
    static size_t OutputBytes() { return size_t(kWidth) * kHeight * kDepth * 4; }
};

Stack& GetStack()
{
    static Stack stack;
    return stack;
}

template <class F>
void RunMerge(benchmark::State& state, F&& inMerge)
{
    Stack& stack = GetStack();
    std::vector<const XVolume*> images = {&stack.red, &stack.green};
    std::vector<double> weights = {1.0, 0.8};
    double total = 0.0;
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        std::unique_ptr<XVolume> merged = inMerge(images, weights);
        benchmark::DoNotOptimize(merged.get());
        total += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    double perMerge = total / double(state.iterations());
    state.counters["x_fresh_memcpy"] = perMerge / MemcpyBaseline::FreshSeconds(Stack::OutputBytes());
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(stack.Bytes()));
}

void BM_MemcpyIntoFreshOutput(benchmark::State& state)
{
    MemcpyBaseline::RunFresh(state, Stack::OutputBytes());
}

void BM_BPMerge(benchmark::State& state)
{
    RunMerge(state, [](const auto& i, const auto& w) { return XBPMergeTool::MergeVolumesToVolume(i, w); });
}

void BM_AverageMerge(benchmark::State& state)
{
    RunMerge(state, [](const auto& i, const auto& w) { return XAverageMergeTool::AverageVolumesToVolume(i, w); });
}

void BM_CombineMerge(benchmark::State& state)
{
    RunMerge(state, [](const auto& i, const auto& w) { return XCombineMergeTool::CombineVolumesToVolume(i, w); });
}

} // namespace

BENCHMARK(BM_MemcpyIntoFreshOutput)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_BPMerge)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_AverageMerge)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_CombineMerge)->Unit(benchmark::kMillisecond)->Iterations(3);

// The peak resident memory of 'kestrin3d render' on a 512 x 512 x 128 stack of two
// 16-bit channels (128 MiB of voxels), written here, reported as a multiple of the
// stack's bytes ("x_stack_bytes" = the child's peak RSS / voxel bytes). The peak of
// 'kestrin3d --help' in the same run ("x_stack_bytes" of the help case) is what the
// program holds before any data.
#include "Kestrin3DChild.h"
#include "XGrey16Volume.h"
#include "XTIFFWriter.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int32_t kWidth = 512, kHeight = 512, kDepth = 128;
constexpr uint64_t kStackBytes = uint64_t(kWidth) * kHeight * kDepth * 2 * sizeof(uint16_t);

// Runs kestrin3d; returns its peak resident bytes, or 0 when it failed.
uint64_t PeakResidentBytes(const std::vector<std::string>& inArguments)
{
    const XChildRun run = RunKestrin3D(inArguments);
    return run.succeeded ? run.peakResidentBytes : 0;
}

struct Scratch : XBenchScratch {
    std::string stack = dir + "/cells.tif";
    Scratch() { WriteStack(); }

    // Channel 1 a bright ball in a dim, noisy background; channel 2 a shell around it,
    // with a zero background as many instruments write.
    void WriteStack() const
    {
        std::vector<std::unique_ptr<XGrey16Volume>> volumes;
        uint32_t seed = 7;
        for (int c = 0; c < 2; ++c) {
            auto v = std::make_unique<XGrey16Volume>(kWidth, kHeight, kDepth);
            for (int32_t z = 0; z < kDepth; ++z) {
                uint16_t* p = v->GetVoxelLayer(z);
                for (int32_t y = 0; y < kHeight; ++y)
                    for (int32_t x = 0; x < kWidth; ++x) {
                        seed = seed * 1664525u + 1013904223u;
                        const double dx = (x - kWidth / 2) / double(kWidth / 2), dy = (y - kHeight / 2) / double(kHeight / 2);
                        const double dz = (z - kDepth / 2) / double(kDepth / 2);
                        const double r = std::sqrt(dx * dx + dy * dy + dz * dz);
                        const double noise = double(seed >> 24);
                        const double value = c == 0 ? (r < 0.6 ? 1800.0 - 1000.0 * r : 100.0) + noise
                                                    : (std::fabs(r - 0.75) < 0.08 ? 3000.0 + 4.0 * noise : 0.0);
                        p[size_t(y) * kWidth + size_t(x)] = uint16_t(value);
                    }
            }
            volumes.push_back(std::move(v));
        }
        XTIFFWriter::XStack layout;
        layout.width = kWidth;
        layout.height = kHeight;
        layout.sliceCount = kDepth;
        layout.channelCount = 2;
        XTIFFWriter::WriteVolumes(stack, XTIFFWriter::XForm::kImageJ, layout, {volumes[0].get(), volumes[1].get()});
    }
};

Scratch& GetScratch()
{
    static Scratch scratch;
    return scratch;
}

void Measure(benchmark::State& state, const std::vector<std::string>& inArguments)
{
    GetScratch();
    uint64_t peak = 0;
    for (auto _ : state) {
        const uint64_t bytes = PeakResidentBytes(inArguments);
        if (bytes == 0) {
            state.SkipWithError("kestrin3d failed; run the same command by hand to see why");
            return;
        }
        peak = std::max(peak, bytes);
    }
    state.counters["peak_MiB"] = double(peak) / (1024.0 * 1024.0);
    state.counters["x_stack_bytes"] = double(peak) / double(kStackBytes);
}

void BM_Kestrin3DHelpPeakMemory(benchmark::State& state)
{
    Measure(state, {"--help"});
}

void BM_Kestrin3DRenderPeakMemory(benchmark::State& state)
{
    Measure(state, {"render", GetScratch().stack, "--size", "400x300", "-o", GetScratch().dir + "/cells.png"});
}

} // namespace

BENCHMARK(BM_Kestrin3DHelpPeakMemory)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_Kestrin3DRenderPeakMemory)->Unit(benchmark::kMillisecond)->Iterations(2);

// Loading a 512 × 512 × 128 ARGB volume as slice textures (XGLVolumeTextureStack::
// LoadVolume, in an offscreen GL context), against a plain copy of the same bytes
// measured in the same run ("x_memcpy" = load time / memcpy time; MB/s in bytes_per_second).
#include "MemcpyBaseline.h"
#include "WGLWnd.h"
#include "XARGB32Volume.h"
#include "XGLContextLock.h"
#include "XGLVolumeTextureStack.h"
#include "XOpenGL.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <memory>
#include <vector>

namespace {

constexpr int32_t kWidth = 512, kHeight = 512, kDepth = 128;
constexpr size_t kBytes = size_t(kWidth) * kHeight * kDepth * 4;

const XARGB32Volume& GetVolume()
{
    static const XARGB32Volume volume = [] {
        XARGB32Volume v(kWidth, kHeight, kDepth);
        uint32_t* p = reinterpret_cast<uint32_t*>(v.GetData());
        for (uint64_t i = 0; i < v.GetVoxelCount(); ++i)
            p[i] = uint32_t(i * 2654435761u);
        return v;
    }();
    return volume;
}

void BM_LoadVolumeStack(benchmark::State& state)
{
    const XARGB32Volume& volume = GetVolume();
    std::unique_ptr<WGLWnd> window;
    try {
        window = std::make_unique<WGLWnd>(16, 16);
    } catch (const std::exception& e) {
        state.SkipWithError(e.what());
        return;
    }
    const double memcpySeconds = MemcpyBaseline::Seconds(kBytes);
    double total = 0.0;
    {
        XGLContextLock lock(*window);
        XGLVolumeTextureStack stack;
        // The first load also pays for the driver's first touch of texture memory;
        // the figure is for loads into a context that has held textures before.
        stack.LoadVolume(volume);
        glFinish();
        for (auto _ : state) {
            auto start = std::chrono::steady_clock::now();
            stack.LoadVolume(volume);
            glFinish(); // the upload is done only when the driver says so
            total += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        }
        stack.ForgetVolume();
    }
    state.counters["x_memcpy"] = total / double(state.iterations()) / memcpySeconds;
    state.counters["memcpy_MB/s"] = double(kBytes) / memcpySeconds / 1e6;
    state.counters["load_MB/s"] = double(kBytes) * double(state.iterations()) / total / 1e6;
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kBytes));
}

void BM_MemcpyVolumeBytes(benchmark::State& state)
{
    MemcpyBaseline::Run(state, kBytes);
}

} // namespace

BENCHMARK(BM_MemcpyVolumeBytes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadVolumeStack)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

// XY, XZ and YZ plane copies out of a 1024 × 1024 × 64 stack of two 16-bit channels
// (one plane of each channel per iteration), each reported against a baseline measured
// in the same run ("x_baseline" = copy time / baseline time). XY and XZ planes are
// rows copied whole: their baseline is a memcpy of the same rows into a reused buffer.
// A YZ plane takes one voxel from every row, touching one cache line per voxel: its
// baseline is a strided read of the same voxels.
#include "XGrey16Volume.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <memory>
#include <vector>

namespace {

constexpr int32_t kWidth = 1024, kHeight = 1024, kDepth = 64;

struct Stack {
    XGrey16Volume channels[2] = {XGrey16Volume(kWidth, kHeight, kDepth), XGrey16Volume(kWidth, kHeight, kDepth)};
    Stack()
    {
        for (XGrey16Volume& v : channels) {
            uint16_t* p = v.GetVoxelLayer(0);
            for (uint64_t i = 0; i < v.GetVoxelCount(); ++i)
                p[i] = uint16_t(i * 2654435761u >> 16);
        }
    }
};

Stack& GetStack()
{
    static Stack stack;
    return stack;
}

enum Axis { kXY, kXZ, kYZ };

// Reads column inX of every plane of both channels, as a YZ copy does, without writing.
uint64_t ReadYZColumn(const Stack& inStack, int32_t inX)
{
    uint64_t sum = 0;
    for (const XGrey16Volume& v : inStack.channels)
        for (int32_t z = 0; z < kDepth; ++z) {
            const uint16_t* s = v.GetVoxelLayer(z) + inX;
            for (int32_t y = 0; y < kHeight; ++y)
                sum += s[size_t(y) * kWidth];
        }
    return sum;
}

// Copies the rows an XY or XZ plane copy reads, at the same step through the stack,
// into one reused buffer: the same reads and writes without making a volume.
void CopyRows(const Stack& inStack, Axis inAxis, int32_t inStep, std::vector<uint16_t>& outBuffer)
{
    uint16_t* to = outBuffer.data();
    for (const XGrey16Volume& v : inStack.channels) {
        if (inAxis == kXY) {
            std::memcpy(to, v.GetVoxelLayer(inStep % kDepth), size_t(kWidth) * kHeight * sizeof(uint16_t));
            to += size_t(kWidth) * kHeight;
        } else {
            const int32_t y = (inStep * 37) % kHeight;
            for (int32_t z = 0; z < kDepth; ++z, to += kWidth)
                std::memcpy(to, v.GetVoxelLayer(z) + size_t(y) * kWidth, size_t(kWidth) * sizeof(uint16_t));
        }
    }
    benchmark::DoNotOptimize(outBuffer.data());
    benchmark::ClobberMemory();
}

// Seconds per baseline of one plane of both channels, walking through the stack as
// the copy does, averaged over enough rounds to time reliably: a strided read for
// YZ, a copy of the same rows into a reused buffer for XY and XZ.
double BaselineSeconds(Axis inAxis, double inMinSeconds)
{
    const Stack& stack = GetStack();
    std::vector<uint16_t> buffer(2 * size_t(kWidth) * kHeight);
    int rounds = 0;
    double elapsed = 0.0;
    const auto start = std::chrono::steady_clock::now();
    while (elapsed < inMinSeconds || rounds < 3) {
        if (inAxis == kYZ)
            benchmark::DoNotOptimize(ReadYZColumn(stack, (rounds * 37) % kWidth));
        else
            CopyRows(stack, inAxis, rounds, buffer);
        ++rounds;
        elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    return elapsed / rounds;
}

size_t PlaneBytes(Axis inAxis)
{
    size_t voxels = inAxis == kXY ? size_t(kWidth) * kHeight : inAxis == kXZ ? size_t(kWidth) * kDepth : size_t(kHeight) * kDepth;
    return 2 * voxels * sizeof(uint16_t); // two channels
}

void BM_PlaneCopy(benchmark::State& state)
{
    Axis axis = Axis(state.range(0));
    Stack& stack = GetStack();
    double total = 0.0;
    int32_t step = 0;
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        for (const XGrey16Volume& v : stack.channels) {
            // Walk through the planes so that no plane stays warm in the cache.
            std::unique_ptr<XVolume> plane = axis == kXY ? v.CopyXYPlane(step % kDepth)
                                             : axis == kXZ ? v.CopyXZPlane((step * 37) % kHeight)
                                                           : v.CopyYZPlane((step * 37) % kWidth);
            benchmark::DoNotOptimize(plane.get());
        }
        ++step;
        total += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    state.counters["x_baseline"] = total / double(state.iterations()) / BaselineSeconds(axis, 0.2);
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(PlaneBytes(axis)));
    state.SetLabel(axis == kXY ? "XY" : axis == kXZ ? "XZ" : "YZ");
}

void BM_PlaneBaseline(benchmark::State& state)
{
    const Axis axis = Axis(state.range(0));
    const Stack& stack = GetStack();
    std::vector<uint16_t> buffer(2 * size_t(kWidth) * kHeight);
    int32_t step = 0;
    for (auto _ : state) {
        if (axis == kYZ)
            benchmark::DoNotOptimize(ReadYZColumn(stack, (step * 37) % kWidth));
        else
            CopyRows(stack, axis, step, buffer);
        ++step;
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(PlaneBytes(axis)));
    state.SetLabel(axis == kXY ? "XY rows copied" : axis == kXZ ? "XZ rows copied" : "YZ strided read");
}

} // namespace

BENCHMARK(BM_PlaneBaseline)->Arg(kXY)->Arg(kXZ)->Arg(kYZ)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PlaneCopy)->Arg(kXY)->Arg(kXZ)->Arg(kYZ)->Unit(benchmark::kMicrosecond);

#pragma once
// The baseline the benchmarks measure against: a plain memory copy of the same
// number of bytes, in the same run.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <cstring>
#include <vector>

namespace MemcpyBaseline {
// Seconds per memcpy of inBytes into memory already touched, averaged over enough
// copies (at least three, for at least inMinSeconds) to time reliably.
inline double Seconds(size_t inBytes, double inMinSeconds = 0.5)
{
    std::vector<uint8_t> from(inBytes, 1), to(inBytes, 2);
    int copies = 0;
    const auto start = std::chrono::steady_clock::now();
    double elapsed = 0.0;
    while (elapsed < inMinSeconds || copies < 3) {
        std::memcpy(to.data(), from.data(), inBytes);
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
        ++copies;
        elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    return elapsed / copies;
}

// The body of a benchmark that copies inBytes per iteration.
inline void Run(benchmark::State& state, size_t inBytes)
{
    std::vector<uint8_t> from(inBytes, 1), to(inBytes, 2);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), inBytes);
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(inBytes));
}
} // namespace MemcpyBaseline

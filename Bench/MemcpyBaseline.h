#pragma once
// The baseline the benchmarks measure against: a plain memory copy of the same
// number of bytes, in the same run.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <cstring>
#include <memory>
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

// Seconds per memcpy of inBytes from memory already touched into a freshly allocated
// buffer that nothing has touched yet, averaged over inCopies: the baseline of a tool
// that writes a new result, whose first touch of each output page is part of its cost.
inline double FreshSeconds(size_t inBytes, int inCopies = 3)
{
    std::vector<uint8_t> from(inBytes, 1);
    double total = 0.0;
    for (int i = 0; i < inCopies; ++i) {
        const auto start = std::chrono::steady_clock::now();
        std::unique_ptr<uint8_t[]> to(new uint8_t[inBytes]); // left uninitialised on purpose
        std::memcpy(to.get(), from.data(), inBytes);
        benchmark::DoNotOptimize(to.get());
        benchmark::ClobberMemory();
        total += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    return total / inCopies;
}

// The body of a benchmark that copies inBytes per iteration into a fresh buffer.
inline void RunFresh(benchmark::State& state, size_t inBytes)
{
    std::vector<uint8_t> from(inBytes, 1);
    for (auto _ : state) {
        std::unique_ptr<uint8_t[]> to(new uint8_t[inBytes]);
        std::memcpy(to.get(), from.data(), inBytes);
        benchmark::DoNotOptimize(to.get());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(inBytes));
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

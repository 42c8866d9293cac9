// What a user waits for: 'kestrin3d render' of the built-in sample at 800 x 600, from
// start to the written PNG (making the sample, loading the modules, OpenGL set-up,
// rendering, writing), reported against 'kestrin3d --help' measured in the same run
// ("x_help" = render time / help time: the cost above starting the program at all).
#include "Kestrin3DChild.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

// Runs kestrin3d; returns the seconds it took, or a negative value when it failed.
double TimeRun(const std::vector<std::string>& inArguments)
{
    const XChildRun run = RunKestrin3D(inArguments);
    return run.succeeded ? run.seconds : -1.0;
}

XBenchScratch& GetScratch()
{
    static XBenchScratch scratch;
    return scratch;
}

// The median of a few runs of 'kestrin3d --help'.
double GetHelpSeconds()
{
    static const double seconds = [] {
        std::vector<double> runs;
        for (int i = 0; i < 9; ++i)
            runs.push_back(TimeRun({"--help"}));
        std::sort(runs.begin(), runs.end());
        return runs[runs.size() / 2];
    }();
    return seconds;
}

void Measure(benchmark::State& state, const std::vector<std::string>& inArguments)
{
    GetScratch();
    const double baseline = GetHelpSeconds();
    if (baseline <= 0.0) {
        state.SkipWithError("kestrin3d --help failed");
        return;
    }
    double total = 0.0;
    for (auto _ : state) {
        const double seconds = TimeRun(inArguments);
        if (seconds < 0.0) {
            state.SkipWithError("kestrin3d failed; run the same command by hand to see why");
            return;
        }
        total += seconds;
        state.SetIterationTime(seconds);
    }
    state.counters["x_help"] = total / double(state.iterations()) / baseline;
}

void BM_Kestrin3DHelp(benchmark::State& state)
{
    Measure(state, {"--help"});
}

void BM_Kestrin3DRenderSample800x600(benchmark::State& state)
{
    Measure(state, {"render", "--size", "800x600", "--rotate", "-30,20,0", "-o", GetScratch().dir + "/sample.png"});
}

} // namespace

BENCHMARK(BM_Kestrin3DHelp)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Kestrin3DRenderSample800x600)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

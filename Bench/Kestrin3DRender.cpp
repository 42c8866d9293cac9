// What a user waits for: 'kestrin3d render' of the built-in sample at 800 x 600, from
// start to the written PNG (making the sample, loading the modules, OpenGL set-up,
// rendering, writing), reported against 'kestrin3d --help' measured in the same run
// ("x_help" = render time / help time: the cost above starting the program at all).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#ifndef KESTRIN3D_EXECUTABLE
#error "the build passes the path of kestrin3d"
#endif

namespace {

// Runs kestrin3d with its output discarded; returns the seconds it took, or a
// negative value when it failed.
double TimeRun(const std::vector<std::string>& inArguments)
{
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child == 0) {
        const int null = open("/dev/null", O_WRONLY);
        if (null < 0 || dup2(null, 1) < 0 || dup2(null, 2) < 0)
            _exit(127);
        std::vector<char*> argv{const_cast<char*>(KESTRIN3D_EXECUTABLE)};
        for (const std::string& argument : inArguments)
            argv.push_back(const_cast<char*>(argument.c_str()));
        argv.push_back(nullptr);
        execv(KESTRIN3D_EXECUTABLE, argv.data());
        _exit(127);
    }
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return -1.0;
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

struct Scratch {
    std::string dir;
    Scratch()
    {
        std::string pattern = std::filesystem::temp_directory_path().string() + "/kestrin-bench-XXXXXX";
        if (!mkdtemp(pattern.data()))
            std::abort();
        dir = pattern;
        // The user's own preferences and log stay untouched.
        setenv("KESTRIN_PREFS_FILE", (dir + "/prefs").c_str(), 1);
        setenv("KESTRIN_LOG_FILE", (dir + "/session.log").c_str(), 1);
    }
    ~Scratch()
    {
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }
};

Scratch& GetScratch()
{
    static Scratch scratch;
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

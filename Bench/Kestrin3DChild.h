#pragma once
// Runs of the built kestrin3d as a child process, for the benchmarks of what a user
// waits for and what the program holds.
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#ifndef KESTRIN3D_EXECUTABLE
#error "the build passes the path of kestrin3d"
#endif

struct XChildRun {
    bool succeeded = false;
    double seconds = 0.0;
    uint64_t peakResidentBytes = 0;
};

// Runs kestrin3d with its output discarded.
inline XChildRun RunKestrin3D(const std::vector<std::string>& inArguments)
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
    struct rusage usage {};
    XChildRun run;
    if (child < 0 || wait4(child, &status, 0, &usage) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return run;
    run.succeeded = true;
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.peakResidentBytes = uint64_t(usage.ru_maxrss) * 1024; // kilobytes on Linux
    return run;
}

// A scratch folder for the run's files; the user's own preferences and log stay untouched.
struct XBenchScratch {
    std::string dir;
    XBenchScratch()
    {
        std::string pattern = std::filesystem::temp_directory_path().string() + "/kestrin-bench-XXXXXX";
        if (!mkdtemp(pattern.data()))
            std::abort();
        dir = pattern;
        setenv("KESTRIN_PREFS_FILE", (dir + "/prefs").c_str(), 1);
        setenv("KESTRIN_LOG_FILE", (dir + "/session.log").c_str(), 1);
    }
    ~XBenchScratch()
    {
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }
    XBenchScratch(const XBenchScratch&) = delete;
    XBenchScratch& operator=(const XBenchScratch&) = delete;
};

#pragma once
// Runs the built kestrin3d as a user would, in a child process, and keeps what it
// printed. Environment entries are set in the child only.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace XKestrin3DRunner {
struct XRun {
    int exitCode = -1; // -1 when the program did not exit normally
    std::string out;
    std::string err;
};

XRun RunKestrin3D(const std::vector<std::string>& inArguments, const std::map<std::string, std::string>& inEnvironment = {});

// The run ended with inExitCode and said each of inSaid: on stdout when it succeeded, on
// stderr when it failed.
::testing::AssertionResult Ran(const XRun& inRun, int inExitCode, const std::vector<std::string>& inSaid = {});

bool Contains(const std::string& inText, const std::string& inWhat);
bool FileExists(const std::string& inPath);
std::string ReadFile(const std::string& inPath);
} // namespace XKestrin3DRunner

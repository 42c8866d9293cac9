#pragma once
// Per-process scratch space for tests: preferences, logs and files go below a
// fresh temporary folder, never into the user's home.
#include <string>

namespace XTestEnvironment {
// The scratch folder of this test process (created on first use, removed at exit).
const std::string& GetScratchDir();
// A new empty folder below the scratch folder.
std::string MakeTempDir(const std::string& inName);
} // namespace XTestEnvironment

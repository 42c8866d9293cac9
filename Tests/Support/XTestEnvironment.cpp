#include "XTestEnvironment.h"

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <unistd.h>

namespace {
struct Scratch {
    std::string dir;
    Scratch()
    {
        std::string base = std::filesystem::temp_directory_path().string() + "/kestrin-test-XXXXXX";
        if (!mkdtemp(base.data()))
            throw std::runtime_error("cannot make a scratch folder for the tests");
        dir = base;
    }
    ~Scratch()
    {
        std::error_code ec;
        if (!std::getenv("KESTRIN_KEEP_TEST_FILES"))
            std::filesystem::remove_all(dir, ec);
    }
};
Scratch& GetScratch()
{
    static Scratch sScratch;
    return sScratch;
}
} // namespace

const std::string& XTestEnvironment::GetScratchDir() { return GetScratch().dir; }

std::string XTestEnvironment::MakeTempDir(const std::string& inName)
{
    static std::atomic<int> sCounter{0};
    std::string dir = GetScratchDir() + "/" + inName + "-" + std::to_string(sCounter++);
    std::filesystem::create_directories(dir);
    return dir;
}

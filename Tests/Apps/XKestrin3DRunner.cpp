#include "XKestrin3DRunner.h"

#include "XTestEnvironment.h"

#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#ifndef KESTRIN3D_EXECUTABLE
#error "the suite passes the path of the built kestrin3d"
#endif

namespace XKestrin3DRunner {
XRun RunKestrin3D(const std::vector<std::string>& inArguments, const std::map<std::string, std::string>& inEnvironment)
{
    const std::string folder = XTestEnvironment::MakeTempDir("kestrin3d-output");
    const std::string outPath = folder + "/out.txt", errPath = folder + "/err.txt";
    const pid_t child = fork();
    if (child == 0) {
        const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (out < 0 || err < 0 || dup2(out, 1) < 0 || dup2(err, 2) < 0)
            _exit(127);
        for (const auto& [name, value] : inEnvironment)
            setenv(name.c_str(), value.c_str(), 1);
        std::vector<char*> argv;
        argv.push_back(const_cast<char*>(KESTRIN3D_EXECUTABLE));
        for (const std::string& argument : inArguments)
            argv.push_back(const_cast<char*>(argument.c_str()));
        argv.push_back(nullptr);
        execv(KESTRIN3D_EXECUTABLE, argv.data());
        _exit(127);
    }
    XRun run;
    int status = 0;
    if (child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status))
        run.exitCode = WEXITSTATUS(status);
    run.out = ReadFile(outPath);
    run.err = ReadFile(errPath);
    return run;
}

bool Contains(const std::string& inText, const std::string& inWhat)
{
    return inText.find(inWhat) != std::string::npos;
}

bool FileExists(const std::string& inPath)
{
    struct stat info;
    return ::stat(inPath.c_str(), &info) == 0;
}

std::string ReadFile(const std::string& inPath)
{
    std::ifstream file(inPath, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

::testing::AssertionResult Ran(const XRun& inRun, int inExitCode, const std::vector<std::string>& inSaid)
{
    const std::string& said = inExitCode == 0 ? inRun.out : inRun.err;
    if (inRun.exitCode != inExitCode)
        return ::testing::AssertionFailure() << "exit code " << inRun.exitCode << ", expected " << inExitCode
                                             << "; stderr:\n" << inRun.err;
    for (const std::string& text : inSaid)
        if (!Contains(said, text))
            return ::testing::AssertionFailure() << "\"" << text << "\" is not in\n" << said;
    return ::testing::AssertionSuccess();
}
} // namespace XKestrin3DRunner

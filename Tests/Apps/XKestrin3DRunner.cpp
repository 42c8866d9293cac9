#include "XKestrin3DRunner.h"

#include "XPNGFile.h"
#include "XTestEnvironment.h"

#include <cstdlib>
#include <cstring>
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

std::unique_ptr<XVolume> RunForPicture(std::vector<std::string> inArguments, const std::string& inName, std::string* outSaid)
{
    const std::string out = XTestEnvironment::MakeTempDir("pictures") + "/" + inName;
    inArguments.insert(inArguments.end(), {"-o", out});
    const XRun run = RunKestrin3D(inArguments);
    if (outSaid)
        *outSaid = run.out;
    const ::testing::AssertionResult ran = Ran(run, 0, {"Wrote " + out});
    EXPECT_TRUE(ran);
    return ran && FileExists(out) ? XPNGFile::Read(out) : nullptr;
}

std::string WriteStack(const std::string& inName, const XTIFFWriter::XStack& inStack,
                       const std::function<int(uint32_t, uint32_t, int, int, int)>& inValue)
{
    const std::string file = XTestEnvironment::MakeTempDir("stacks") + "/" + inName;
    const size_t voxelSize = inStack.voxelType == XVoxelType::kGrey8 ? 1 : 2;
    std::vector<uint8_t> plane(size_t(inStack.width) * size_t(inStack.height) * voxelSize);
    XTIFFWriter::Write(file, XTIFFWriter::XForm::kImageJ, inStack, [&](uint32_t inChannel, uint32_t inSlice, uint32_t inT) {
        uint8_t* voxel = plane.data();
        for (int y = 0; y < inStack.height; ++y)
            for (int x = 0; x < inStack.width; ++x, voxel += voxelSize) {
                const uint16_t value = uint16_t(inValue(inChannel, inT, x, y, int(inSlice)));
                if (voxelSize == 1)
                    *voxel = uint8_t(value);
                else
                    std::memcpy(voxel, &value, 2);
            }
        return static_cast<const void*>(plane.data());
    });
    return file;
}

const std::string& CellsStack()
{
    static const std::string path = [] {
        XTIFFWriter::XStack stack;
        stack.width = 32;
        stack.height = 24;
        stack.sliceCount = 8;
        stack.channelCount = stack.timepointCount = 2;
        stack.calibration[0] = stack.calibration[1] = 0.25;
        stack.calibration[2] = 1.5;
        stack.timeIncrement = 30;
        return WriteStack("cells.tif", stack, [](uint32_t inChannel, uint32_t, int x, int y, int z) {
            const bool inRows = y >= 6 && y < 18 && z >= 2 && z < 6;
            if (inChannel == 0)
                return inRows && x >= 3 && x < 14 ? 1000 : 7;
            return inRows && x >= 18 && x < 30 ? 10 + 10 * x : 0;
        });
    }();
    return path;
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

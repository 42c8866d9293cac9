#pragma once
// Runs the built kestrin3d as a user would, in a child process, and keeps what it
// printed. Environment entries are set in the child only.
#include <gtest/gtest.h>

#include "XTIFFWriter.h"
#include "XVolume.h"

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace XKestrin3DRunner {
struct XRun {
    int exitCode = -1; // -1 when the program did not exit normally
    std::string out;
    std::string err;
};

XRun RunKestrin3D(const std::vector<std::string>& inArguments, const std::map<std::string, std::string>& inEnvironment = {});

// Runs a command that draws a picture, adding "-o" and a scratch file named inName; the
// picture read back, or null (and the test failed) when the run failed or said nothing
// of it. outSaid receives what it printed.
std::unique_ptr<XVolume> RunForPicture(std::vector<std::string> inArguments, const std::string& inName,
                                       std::string* outSaid = nullptr);

// The run ended with inExitCode and said each of inSaid: on stdout when it succeeded, on
// stderr when it failed.
::testing::AssertionResult Ran(const XRun& inRun, int inExitCode, const std::vector<std::string>& inSaid = {});

// An ImageJ TIFF of inStack's shape (grey 8 or 16 bits) in a scratch folder, each voxel
// inValue(channel, timepoint, x, y, z), all from 0.
std::string WriteStack(const std::string& inName, const XTIFFWriter::XStack& inStack,
                       const std::function<int(uint32_t, uint32_t, int, int, int)>& inValue);
// Two channels, 32 x 24 x 8 voxels of 0.25 x 0.25 x 1.5 um, two timepoints 30 s apart:
// channel 1 a bright block on the left (1000 over x 3-13, y 6-17, z 2-5; 7 elsewhere),
// channel 2 a block on the right whose values rise along x (190 to 300 over x 18-29; 0
// elsewhere). The blocks do not overlap, so each colour shows what the renderer does
// where channels meet.
const std::string& CellsStack();

bool Contains(const std::string& inText, const std::string& inWhat);
bool FileExists(const std::string& inPath);
std::string ReadFile(const std::string& inPath);
} // namespace XKestrin3DRunner

// The iso command of kestrin3d on a small stack written here: the mesh lies where the
// voxels are, in micrometres, closed and turned outwards; refused command lines and
// an empty mask write nothing.
#include "XGrey16Volume.h"
#include "XKestrin3DRunner.h"
#include "XTIFFWriter.h"
#include "XTestEnvironment.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

using namespace XKestrin3DRunner;

namespace {
// One channel, 12 x 10 x 6 voxels of 0.25 x 0.25 x 1.5 µm: a block of 1000 over voxels
// 4-7, 3-5, 2-3 (10 elsewhere), so from 1 to 2, 0.75 to 1.5 and 3 to 6 µm.
const std::string& StackPath()
{
    static const std::string path = [] {
        const std::string file = XTestEnvironment::MakeTempDir("isostack") + "/block.tif";
        XGrey16Volume volume(12, 10, 6);
        for (int32_t z = 0; z < 6; ++z)
            for (int32_t y = 0; y < 10; ++y)
                for (int32_t x = 0; x < 12; ++x)
                    volume.SetVoxel(x, y, z, x >= 4 && x < 8 && y >= 3 && y < 6 && z >= 2 && z < 4 ? 1000 : 10);
        XTIFFWriter::XStack stack;
        stack.width = 12;
        stack.height = 10;
        stack.sliceCount = 6;
        stack.channelCount = 1;
        stack.timepointCount = 1;
        stack.calibration[0] = stack.calibration[1] = 0.25;
        stack.calibration[2] = 1.5;
        XTIFFWriter::WriteVolumes(file, XTIFFWriter::XForm::kImageJ, stack, {&volume});
        return file;
    }();
    return path;
}

float FloatAt(const std::string& inBytes, size_t inOffset)
{
    float value;
    std::memcpy(&value, inBytes.data() + inOffset, sizeof value);
    return value;
}
} // namespace

TEST(Kestrin3DIso, WritesTheBlocksSurfaceInMicrometres)
{
    const std::string folder = XTestEnvironment::MakeTempDir("meshes");
    // Simplified, the block keeps its bounds and volume on fewer faces.
    uint32_t plainTriangles = 0;
    double plainVolume = 0;
    for (const bool simplify : {false, true}) {
        SCOPED_TRACE(simplify ? "simplified" : "plain");
        std::vector<std::string> arguments = {"iso", StackPath(), "--channel", "1", "--threshold", "500", "-o", folder + "/block.stl"};
        if (simplify)
            arguments.push_back("--simplify");
        const XRun run = RunKestrin3D(arguments);
        ASSERT_EQ(run.exitCode, 0) << run.err;
        EXPECT_TRUE(Contains(run.out, "block.stl")) << run.out;
        EXPECT_EQ(Contains(run.out, "triangles"), simplify) << run.out;
        const std::string stl = ReadFile(folder + "/block.stl");
        ASSERT_GE(stl.size(), 84u);
        uint32_t triangles;
        std::memcpy(&triangles, stl.data() + 80, 4);
        ASSERT_EQ(stl.size(), 84u + 50u * triangles);
        if (simplify) {
            EXPECT_LT(triangles, plainTriangles);
        }
        plainTriangles = triangles;
        float low[3] = {1e9f, 1e9f, 1e9f}, high[3] = {-1e9f, -1e9f, -1e9f};
        double volume = 0;
        for (uint32_t t = 0; t < triangles; ++t) {
            double v[3][3];
            for (size_t k = 0; k < 3; ++k)
                for (size_t i = 0; i < 3; ++i) {
                    const float value = FloatAt(stl, 84 + 50 * t + 12 * (k + 1) + 4 * i);
                    v[k][i] = value;
                    low[i] = std::min(low[i], value);
                    high[i] = std::max(high[i], value);
                }
            volume += (v[0][0] * (v[1][1] * v[2][2] - v[1][2] * v[2][1]) - v[0][1] * (v[1][0] * v[2][2] - v[1][2] * v[2][0]) +
                       v[0][2] * (v[1][0] * v[2][1] - v[1][1] * v[2][0])) /
                      6.0;
        }
        const float expectedLow[3] = {1.0f, 0.75f, 3.0f}, expectedHigh[3] = {2.0f, 1.5f, 6.0f};
        for (size_t i = 0; i < 3; ++i) {
            // The surface passes 127/255 of a voxel from the last inside voxel's centre.
            EXPECT_NEAR(low[i], expectedLow[i], 0.01f) << "axis " << i;
            EXPECT_NEAR(high[i], expectedHigh[i], 0.01f) << "axis " << i;
        }
        if (simplify) {
            EXPECT_NEAR(volume, plainVolume, 1e-4 * plainVolume);
        }
        plainVolume = volume;
        EXPECT_GT(volume, 0.5 * 2.25) << "faces turn counter-clockwise seen from outside";
        EXPECT_LT(volume, 2.25);
    }

    const XRun ascii =
        RunKestrin3D({"iso", StackPath(), "--channel", "1", "--threshold", "500", "--ascii", "-o", folder + "/block.ply"});
    ASSERT_EQ(ascii.exitCode, 0) << ascii.err;
    EXPECT_EQ(ReadFile(folder + "/block.ply").rfind("ply\nformat ascii 1.0\n", 0), 0u);
}

TEST(Kestrin3DIso, RefusedCommandsAndEmptyMasksWriteNothing)
{
    const std::string folder = XTestEnvironment::MakeTempDir("refused");
    const std::string mesh = folder + "/mesh.ply";
    struct Case {
        std::vector<std::string> arguments;
        int exitCode;
        const char* said;
    };
    const Case cases[] = {
        {{"--threshold", "500", "-o", mesh}, 2, "--channel"},
        {{"--channel", "1", "-o", mesh}, 2, "--threshold"},
        {{"--channel", "1", "--threshold", "500"}, 2, "-o"},
        {{"--channel", "1", "--threshold", "500", "-o", folder + "/mesh.vtk"}, 2, ".ply, .obj or .stl"},
        {{"--channel", "1", "--threshold", "500", "--ascii", "-o", folder + "/mesh.stl"}, 2, "PLY only"},
        {{"--channel", "2", "--threshold", "500", "-o", mesh}, 2, "1 channels"},
        {{"--channel", "1", "--threshold", "500", "--timepoint", "2", "-o", mesh}, 2, "--timepoint 1 to 1"},
        {{"--channel", "1", "--threshold", "lots", "-o", mesh}, 2, "must be a number"},
        {{"--channel", "1", "--threshold", "1000", "-o", mesh}, 1, "give a lower --threshold"},
        {{"--channel", "1", "--threshold", "500", "-o", folder + "/none/mesh.ply"}, 1, "does not exist"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> arguments = {"iso", StackPath()};
        arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
        SCOPED_TRACE(arguments.back());
        const XRun run = RunKestrin3D(arguments);
        EXPECT_EQ(run.exitCode, c.exitCode) << run.err;
        EXPECT_TRUE(Contains(run.err, c.said)) << run.err;
        EXPECT_TRUE(std::filesystem::is_empty(folder)) << "nothing was written";
    }
}

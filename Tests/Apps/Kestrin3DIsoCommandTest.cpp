// The iso command of kestrin3d on a small stack written here: the mesh lies where the
// voxels are, in micrometres, closed and turned outwards.
#include "XKestrin3DRunner.h"
#include "XTestEnvironment.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

using namespace XKestrin3DRunner;

namespace {
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
    const double kBlock = 2.75 * 3 * 6; // cubic micrometres
    // Simplified, the block keeps its bounds and volume on fewer faces.
    uint32_t plainTriangles = 0;
    double plainVolume = 0;
    for (const bool simplify : {false, true}) {
        SCOPED_TRACE(simplify ? "simplified" : "plain");
        std::vector<std::string> arguments = {"iso", CellsStack(), "--channel", "1", "--threshold", "500", "-o", folder + "/block.stl"};
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
        // The block of channel 1 over voxels 3-13, 6-17 and 2-5.
        const float expectedLow[3] = {0.75f, 1.5f, 3.0f}, expectedHigh[3] = {3.5f, 4.5f, 9.0f};
        for (size_t i = 0; i < 3; ++i) {
            // The surface passes 127/255 of a voxel from the last inside voxel's centre.
            EXPECT_NEAR(low[i], expectedLow[i], 0.01f) << "axis " << i;
            EXPECT_NEAR(high[i], expectedHigh[i], 0.01f) << "axis " << i;
        }
        if (simplify) {
            EXPECT_NEAR(volume, plainVolume, 1e-4 * plainVolume);
        }
        plainVolume = volume;
        EXPECT_GT(volume, 0.5 * kBlock) << "faces turn counter-clockwise seen from outside";
        EXPECT_LT(volume, kBlock);
    }

    const XRun ascii =
        RunKestrin3D({"iso", CellsStack(), "--channel", "1", "--threshold", "500", "--ascii", "-o", folder + "/block.ply"});
    ASSERT_EQ(ascii.exitCode, 0) << ascii.err;
    EXPECT_EQ(ReadFile(folder + "/block.ply").rfind("ply\nformat ascii 1.0\n", 0), 0u);
}

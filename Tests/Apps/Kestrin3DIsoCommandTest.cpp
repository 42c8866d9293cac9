// The iso command of kestrin3d on a small stack written here: the mesh lies where the
// voxels are, in micrometres (its faces and their simplification are the Iso suite's).
#include "XKestrin3DRunner.h"
#include "XTestEnvironment.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

using namespace XKestrin3DRunner;

TEST(Kestrin3DIso, WritesTheBlocksSurfaceInMicrometres)
{
    const std::string folder = XTestEnvironment::MakeTempDir("meshes");
    uint32_t plainTriangles = 0;
    for (const bool simplify : {false, true}) {
        SCOPED_TRACE(simplify ? "simplified" : "plain");
        std::vector<std::string> arguments = {"iso", CellsStack(), "--channel", "1", "--threshold", "500", "-o", folder + "/block.stl"};
        if (simplify)
            arguments.push_back("--simplify");
        const XRun run = RunKestrin3D(arguments);
        ASSERT_TRUE(Ran(run, 0, {"block.stl"}));
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
        for (uint32_t t = 0; t < triangles; ++t)
            for (size_t k = 0; k < 3; ++k)
                for (size_t i = 0; i < 3; ++i) {
                    float value;
                    std::memcpy(&value, stl.data() + 84 + 50 * t + 12 * (k + 1) + 4 * i, sizeof value);
                    low[i] = std::min(low[i], value);
                    high[i] = std::max(high[i], value);
                }
        // The block of channel 1 over voxels 3-13, 6-17 and 2-5 of 0.25 x 0.25 x 1.5 um;
        // the surface passes 127/255 of a voxel from the last inside voxel's centre.
        const float expectedLow[3] = {0.75f, 1.5f, 3.0f}, expectedHigh[3] = {3.5f, 4.5f, 9.0f};
        for (size_t i = 0; i < 3; ++i) {
            EXPECT_NEAR(low[i], expectedLow[i], 0.01f) << "axis " << i;
            EXPECT_NEAR(high[i], expectedHigh[i], 0.01f) << "axis " << i;
        }
    }

    ASSERT_TRUE(Ran(RunKestrin3D({"iso", CellsStack(), "--channel", "1", "--threshold", "500", "--ascii", "-o", folder + "/block.ply"}), 0));
    EXPECT_EQ(ReadFile(folder + "/block.ply").rfind("ply\nformat ascii 1.0\n", 0), 0u);
}

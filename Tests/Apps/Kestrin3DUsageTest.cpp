// Every kestrin3d command's answer to a mistake, as one table: the exit code (2 for a
// usage error, 1 for a failure), words that say what to change, and nothing written.
#include "XKestrin3DRunner.h"
#include "XTestEnvironment.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

using namespace XKestrin3DRunner;

TEST(Kestrin3DUsage, MistakesSayWhatToChangeAndWriteNothing)
{
    const std::string inputs = XTestEnvironment::MakeTempDir("usage-inputs");
    const std::string folder = XTestEnvironment::MakeTempDir("usage-outputs");
    const std::string out = folder + "/never.png", mesh = folder + "/mesh.ply", frames = folder + "/frames";
    const std::string stack = CellsStack();
    const std::string corrupt = inputs + "/corrupt.tif";
    {
        // A TIFF header whose first page lies past the end of the file.
        std::FILE* file = std::fopen(corrupt.c_str(), "wb");
        ASSERT_TRUE(file);
        const unsigned char header[] = {'I', 'I', 42, 0, 0x00, 0x10, 0, 0, 1, 2, 3};
        std::fwrite(header, 1, sizeof header, file);
        std::fclose(file);
    }
    XTIFFWriter::XStack flatShape;
    flatShape.width = 24;
    flatShape.height = 20;
    flatShape.voxelType = XVoxelType::kGrey8;
    const std::string flat = WriteStack("flat.tif", flatShape, [](uint32_t, uint32_t, int x, int, int) { return x * 10; });

    // Movies: three frames, none, and one cut short.
    const std::string movie = inputs + "/three.kmovie", empty = inputs + "/empty.kmovie", damaged = inputs + "/damaged.kmovie";
    for (const std::string& path : {movie, empty, damaged})
        ASSERT_EQ(RunKestrin3D({"movie", "new", path}).exitCode, 0);
    for (const std::string& path : {movie, damaged})
        ASSERT_EQ(RunKestrin3D({"movie", "add-keyframe", path, "--frames", "3"}).exitCode, 0);
    std::string cut = ReadFile(damaged);
    cut.resize(cut.size() - 3);
    std::ofstream(damaged, std::ios::binary | std::ios::trunc) << cut;
    std::vector<std::string> movieBytes;
    for (const std::string& path : {movie, empty, damaged})
        movieBytes.push_back(ReadFile(path));

    const std::string check = "Check that it is a complete TIFF file";
    // Render lines start "render -o OUT"; iso lines "iso STACK".
    const struct {
        std::vector<std::string> arguments;
        int exitCode;
        std::vector<std::string> said;
    } cases[] = {
        {{"--help"}, 0, {"movie new", "movie add-keyframe", "movie add-timepoints", "movie scale", "movie resize", "movie show"}},
        {{"movie", "add-keyframe", "--help"}, 0, {"--rotate"}},
        {{}, 2, {"no command"}},
        {{"render-everything"}, 2, {"render-everything", "--help"}},
        {{"movie", "explode"}, 2, {"explode", "movie show"}}, // the group's commands are listed
        {{"info", "--gl", stack}, 2, {"takes no FILE"}},
        {{"info", corrupt}, 1, {"corrupt.tif", check}},

        {{"render"}, 2, {"-o OUT.png"}},
        {{"render", "-o", out, "--size", "0x10"}, 2, {"1 to 8192"}},
        {{"render", "-o", out, "--zoom", "-2"}, 2, {"--zoom"}},
        {{"render", "-o", out, "--rotate", "10,20"}, 2, {"--rotate"}},
        {{"render", "-o", out, "--colour", "1=GG0000"}, 2, {"RRGGBB"}},
        {{"render", "-o", out, "--range", "1=5"}, 2, {"LOW,HIGH"}},
        {{"render", "-o", out, "--model", "phong"}, 2, {"maximum or fluorescence"}},
        {{"render", "-o", out, "--timepoint", "0"}, 2, {"count from 1"}},
        {{"render", "-o", out, "--sparkle"}, 2, {"--sparkle"}},
        {{"render", "-o", out, inputs + "/absent.tif"}, 1, {"absent.tif does not exist"}},
        {{"render", "-o", out, corrupt}, 1, {"corrupt.tif", check}},
        {{"render", "-o", out, stack, "--channels", "1,3"}, 2, {"give channels 1 to 2"}},
        {{"render", "-o", out, stack, "--timepoint", "3"}, 2, {"give --timepoint 1 to 2"}},
        // The renderer gives the ranges of its shading properties.
        {{"render", "-o", out, stack, "--brightness", "11"}, 2, {"--brightness must lie between 0 and 10"}},
        {{"render", "-o", out, stack, "--opacity", "1.5"}, 2, {"--opacity must lie between 0 and 1"}},
        {{"render", "-o", folder + "/no/such/folder/view.png", stack}, 1, {"does not exist; create it"}},
        {{"render", "-o", folder, stack}, 1, {"is a folder"}},

        {{"render", "-o", out, "--view", "sideways"}, 2, {"volume or planes"}},
        {{"render", "-o", out, "--planes", "0.5,0.5,0.5"}, 2, {"add --view planes"}},
        {{"render", "-o", out, "--view", "planes", "--planes", "0.5,1.5,0"}, 2, {"from 0 to 1"}},
        {{"render", "-o", out, "--view", "planes", "--merge", "brightest"}, 2, {"maximum, average or combine"}},
        {{"render", "-o", out, "--view", "planes", "--weight", "1=-2"}, 2, {"0 or more"}},
        {{"render", "-o", out, "--view", "planes", "--plane-opacity", "1=1.5"}, 2, {"from 0 to 1"}},
        {{"render", "-o", out, "--view", "planes", "--reference-plane", "1@0"}, 2, {"count from 1"}},
        {{"render", "-o", out, "--view", "planes", "--model", "maximum"}, 2, {"volume view"}},
        {{"render", "-o", out, "--iso", "1=100"}, 2, {"add --view planes"}},
        {{"render", "-o", out, "--view", "planes", "--iso", "100"}, 2, {"CHANNEL=VALUE"}},
        {{"render", "-o", out, "--view", "planes", "--iso", "0=100"}, 2, {"counted from 1"}},
        {{"render", "-o", out, stack, "--view", "planes", "--iso", "3=100"}, 2, {"channels 1 to 2"}},
        {{"render", "-o", out, stack, "--view", "planes", "--reference-plane", "1@9"}, 2, {"1 to 8"}},
        {{"render", "-o", out, stack, "--view", "planes", "--weight", "3=1"}, 2, {"channels 1 to 2"}},
        {{"render", "-o", out, flat, "--view", "planes"}, 2, {"at least 2 along each axis"}},

        {{"scene"}, 2, {"-o OUT.png"}},
        {{"scene", "-o", out, "--light", "0,0,0"}, 2, {"at least 0.1"}},
        {{"scene", "-o", out, "--rotate", "1,nan,2"}, 2, {"--rotate"}},
        {{"scene", "-o", out, "--size", "0x10"}, 2, {"pixels a side"}},
        {{"scene", "-o", out, "--zoom", "2"}, 2, {"no option --zoom"}},
        {{"scene", "/no/such/stack.tif", "-o", out}, 1, {"/no/such/stack.tif"}},

        {{"iso", stack, "--threshold", "500", "-o", mesh}, 2, {"--channel"}},
        {{"iso", stack, "--channel", "1", "-o", mesh}, 2, {"--threshold"}},
        {{"iso", stack, "--channel", "1", "--threshold", "500"}, 2, {"-o"}},
        {{"iso", stack, "--channel", "1", "--threshold", "500", "-o", folder + "/mesh.vtk"}, 2, {".ply, .obj or .stl"}},
        {{"iso", stack, "--channel", "3", "--threshold", "500", "-o", mesh}, 2, {"2 channels"}},
        {{"iso", stack, "--channel", "1", "--threshold", "500", "--timepoint", "3", "-o", mesh}, 2, {"--timepoint 1 to 2"}},
        {{"iso", stack, "--channel", "1", "--threshold", "1000", "-o", mesh}, 1, {"give a lower --threshold"}},
        {{"iso", stack, "--channel", "1", "--threshold", "500", "-o", folder + "/none/mesh.ply"}, 1, {"does not exist"}},

        {{"movie", "add-keyframe", inputs + "/absent.kmovie"}, 1, {"does not exist", "movie new"}},
        {{"movie", "add-keyframe", damaged}, 1, {damaged}},
        {{"movie", "add-keyframe", empty, "--colour", "red"}, 2, {"--colour"}},
        {{"movie", "add-keyframe", empty, "--eye", "0,0,0"}, 2, {}}, // the eye on the look-at point
        {{"movie", "add-keyframe", movie, "--data", "x.tif"}, 2, {"add --thumbnail"}},
        {{"movie", "show", empty, "--frame", "0"}, 2, {}}, // an empty movie has no frame 0
        {{"movie", "add-timepoints", empty, "--frames", "3", "--from", "2"}, 2, {}},
        {{"movie", "scale", movie, "0"}, 2, {}},
        {{"movie", "resize", movie, "many"}, 2, {}},
        {{"movie", "render", movie}, 2, {"add -o DIR"}},
        {{"movie", "render", "-o", frames}, 2, {"needs the movie FILE"}},
        {{"movie", "render", movie, "-o", frames, "--frames", "2-5"}, 2, {"frames 0 to 2"}},
        {{"movie", "render", empty, "-o", frames}, 2, {"has no frames"}},
        {{"movie", "render", movie, "-o", frames, "--view", "planes", "--renderer", "1"}, 2, {"volume view"}},
        {{"movie", "render", movie, "extra", "-o", frames}, 2, {"one movie FILE"}},
    };
    for (const auto& c : cases) {
        std::string line;
        for (const std::string& argument : c.arguments)
            line += argument + " ";
        SCOPED_TRACE(line);
        const XRun run = RunKestrin3D(c.arguments);
        EXPECT_TRUE(Ran(run, c.exitCode, c.said));
        if (c.exitCode == 2) {
            EXPECT_FALSE(Contains(run.err, "Making the built-in sample")) << "refused before the sample is made";
        }
        EXPECT_TRUE(std::filesystem::is_empty(folder)) << "nothing was written";
    }
    // A failed command leaves its movie alone.
    EXPECT_EQ((std::vector<std::string>{ReadFile(movie), ReadFile(empty), ReadFile(damaged)}), movieBytes);
}

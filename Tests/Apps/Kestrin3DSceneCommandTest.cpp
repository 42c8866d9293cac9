// The scene command of kestrin3d, run as a user runs it.
#include "TestPicture.h"
#include "XGrey16Volume.h"
#include "XKestrin3DRunner.h"
#include "XPNGFile.h"
#include "XTIFFWriter.h"
#include "XTestEnvironment.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace XKestrin3DRunner;
using namespace TestPicture;

namespace {
// 32 x 24 x 8 voxels of 0.25 x 0.25 x 1.5 µm.
const std::string& StackPath()
{
    static const std::string path = [] {
        const std::string file = XTestEnvironment::MakeTempDir("scene-stack") + "/box.tif";
        XGrey16Volume volume(32, 24, 8);
        XTIFFWriter::XStack stack;
        stack.width = 32;
        stack.height = 24;
        stack.sliceCount = 8;
        stack.calibration[0] = stack.calibration[1] = 0.25;
        stack.calibration[2] = 1.5;
        XTIFFWriter::WriteVolumes(file, XTIFFWriter::XForm::kImageJ, stack, {&volume});
        return file;
    }();
    return path;
}

struct XScene {
    XRun run;
    std::unique_ptr<XVolume> picture;
};

XScene DrawScene(std::vector<std::string> inArguments, const std::string& inName)
{
    const std::string out = XTestEnvironment::MakeTempDir("scenes") + "/" + inName + ".png";
    inArguments.insert(inArguments.begin(), "scene");
    inArguments.insert(inArguments.end(), {"-o", out, "--size", "240x180"});
    XScene scene{RunKestrin3D(inArguments), nullptr};
    EXPECT_EQ(scene.run.exitCode, 0) << scene.run.err;
    if (scene.run.exitCode == 0 && FileExists(out))
        scene.picture = XPNGFile::Read(out);
    return scene;
}

int CountWhere(const XVolume& inPicture, const XRect& inArea, bool (*inTest)(const XARGB32Colour&))
{
    int count = 0;
    for (int y = inArea.top; y < inArea.bottom; ++y)
        for (int x = inArea.left; x < inArea.right; ++x)
            count += inTest(PixelAt(inPicture, x, y)) ? 1 : 0;
    return count;
}
} // namespace

TEST(Kestrin3DScene, DrawsTheFurnitureAndPrintsTheScale)
{
    struct XCase {
        const char* name;
        std::vector<std::string> arguments;
        const char* spacing;
        const char* grid;
    };
    const XCase cases[] = {
        {"sample", {}, "one interval is 5.16 \u00b5m", "10 x 10 x 7 intervals"},
        // x has the most voxels: (32 + 2) x 0.25 / 10 = 0.85 µm; 26 x 0.25 and 10 x 1.5 rounded up.
        {"stack", {StackPath()}, "one interval is 0.85 \u00b5m", "10 x 8 x 18 intervals"},
    };
    for (const XCase& c : cases) {
        SCOPED_TRACE(c.name);
        const XScene scene = DrawScene(c.arguments, c.name);
        ASSERT_NE(scene.picture, nullptr);
        EXPECT_TRUE(Contains(scene.run.out, c.spacing)) << scene.run.out;
        EXPECT_TRUE(Contains(scene.run.out, c.grid)) << scene.run.out;
        EXPECT_EQ(scene.picture->GetWidth(), 240);
        EXPECT_EQ(scene.picture->GetHeight(), 180);
        // The orientation marker's green x arrow in the bottom-left third (rows from the top).
        const int green = CountWhere(*scene.picture, XRect(0, 120, 80, 180),
            [](const XARGB32Colour& p) { return p.green > 150 && p.red < 80 && p.blue < 80; });
        EXPECT_GT(green, 5);
        // The floor fills the bottom of the frame, grey, outside the marker.
        const int floor = CountWhere(*scene.picture, XRect(100, 170, 240, 180),
            [](const XARGB32Colour& p) { return !IsBackground(p) && p.red == p.green && p.green == p.blue; });
        EXPECT_GT(floor, 200);
    }
}

TEST(Kestrin3DScene, OptionsChangeWhatIsDrawn)
{
    const XScene bare = DrawScene({StackPath()}, "bare");
    const XScene plain = DrawScene({StackPath(), "--plain-floor", "--floor-colour", "204060"}, "plain");
    const XScene extras = DrawScene({StackPath(), "--ball", "--light", "0.8,0.6,0.9"}, "extras");
    ASSERT_TRUE(bare.picture && plain.picture && extras.picture);
    const int floorColour = CountWhere(*plain.picture, XRect(0, 0, 240, 180),
        [](const XARGB32Colour& p) { return p.red == 0x20 && p.green == 0x40 && p.blue == 0x60; });
    EXPECT_GT(floorColour, 1000) << "the plain floor in its colour";
    EXPECT_GT(CountDifferences(*bare.picture, *extras.picture), 100) << "balls and the light marker";
}

TEST(Kestrin3DScene, RefusesWhatItCannotDraw)
{
    struct XCase {
        std::vector<std::string> arguments;
        const char* message;
    };
    const std::string out = XTestEnvironment::MakeTempDir("scene-refused") + "/never.png";
    const XCase cases[] = {
        {{"scene"}, "-o OUT.png"},
        {{"scene", "-o", out, "--light", "0,0,0"}, "at least 0.1"},
        {{"scene", "-o", out, "--light", "1,2"}, "three numbers"},
        {{"scene", "-o", out, "--rotate", "1,nan,2"}, "--rotate"},
        {{"scene", "-o", out, "--floor-colour", "green"}, "--floor-colour"},
        {{"scene", "-o", out, "--size", "0x10"}, "pixels a side"},
        {{"scene", "-o", out, "--zoom", "2"}, "no option --zoom"},
    };
    for (const XCase& c : cases) {
        const XRun run = RunKestrin3D(c.arguments);
        EXPECT_EQ(run.exitCode, 2) << c.message;
        EXPECT_TRUE(Contains(run.err, c.message)) << run.err;
    }
    EXPECT_FALSE(FileExists(out));
    const XRun missing = RunKestrin3D({"scene", "/no/such/stack.tif", "-o", out});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_TRUE(Contains(missing.err, "/no/such/stack.tif")) << missing.err;
    EXPECT_FALSE(FileExists(out));
}

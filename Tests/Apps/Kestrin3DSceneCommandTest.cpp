// The scene command of kestrin3d, run as a user runs it.
#include "TestPicture.h"
#include "XKestrin3DRunner.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace XKestrin3DRunner;
using namespace TestPicture;

namespace {
struct XScene {
    std::string said;
    std::unique_ptr<XVolume> picture;
};

XScene DrawScene(std::vector<std::string> inArguments, const std::string& inName)
{
    inArguments.insert(inArguments.begin(), "scene");
    inArguments.insert(inArguments.end(), {"--size", "240x180"});
    XScene scene;
    scene.picture = RunForPicture(inArguments, inName + ".png", &scene.said);
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

TEST(Kestrin3DScene, DrawsTheFurniturePrintsTheScaleAndFollowsItsOptions)
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
        {"stack", {CellsStack()}, "one interval is 0.85 \u00b5m", "10 x 8 x 18 intervals"},
    };
    std::unique_ptr<XVolume> stack;
    for (const XCase& c : cases) {
        SCOPED_TRACE(c.name);
        XScene scene = DrawScene(c.arguments, c.name);
        ASSERT_NE(scene.picture, nullptr);
        EXPECT_TRUE(Contains(scene.said, c.spacing)) << scene.said;
        EXPECT_TRUE(Contains(scene.said, c.grid)) << scene.said;
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
        stack = std::move(scene.picture);
    }

    const XScene plain = DrawScene({CellsStack(), "--plain-floor", "--floor-colour", "204060"}, "plain");
    const XScene extras = DrawScene({CellsStack(), "--ball", "--light", "0.8,0.6,0.9"}, "extras");
    ASSERT_TRUE(plain.picture && extras.picture);
    const int floorColour = CountWhere(*plain.picture, XRect(0, 0, 240, 180),
        [](const XARGB32Colour& p) { return p.red == 0x20 && p.green == 0x40 && p.blue == 0x60; });
    EXPECT_GT(floorColour, 1000) << "the plain floor in its colour";
    EXPECT_GT(CountDifferences(*stack, *extras.picture), 100) << "balls and the light marker";
}

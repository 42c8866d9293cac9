// 'kestrin3d render --view planes' run as a user runs it: stacks drawn as three
// planes with merges, reference planes and surfaces (its mistakes are in the usage table).
#include "TestPicture.h"
#include "XKestrin3DRunner.h"
#include "XTIFFWriter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>
#include <string>
#include <vector>

using namespace XKestrin3DRunner;

namespace {
// Two channels of 24 x 20 x 6 voxels: channel 1 bright (200) in the left half,
// channel 2 bright in the top half, so the planes show red, green and their merge.
std::string WriteHalves(const std::string& inName)
{
    XTIFFWriter::XStack stack;
    stack.width = 24;
    stack.height = 20;
    stack.sliceCount = 6;
    stack.channelCount = 2;
    stack.voxelType = XVoxelType::kGrey8;
    return WriteStack(inName, stack, [](uint32_t c, uint32_t, int x, int y, int) { return (c == 0 ? x < 12 : y < 10) ? 200 : 0; });
}

// Channel 1 is 200 where inInside holds on a 24^3 grid, channel 2 is empty.
std::string WriteShape(const std::string& inName, const std::function<bool(int, int, int)>& inInside)
{
    XTIFFWriter::XStack stack;
    stack.width = stack.height = 24;
    stack.sliceCount = 24;
    stack.channelCount = 2;
    stack.voxelType = XVoxelType::kGrey8;
    return WriteStack(inName, stack, [&](uint32_t c, uint32_t, int x, int y, int z) { return c == 0 && inInside(x, y, z) ? 200 : 0; });
}

std::unique_ptr<XVolume> RenderPlanes(std::vector<std::string> inOptions, const std::string& inName, std::string* outText = nullptr)
{
    std::vector<std::string> arguments = {"render", "--view", "planes", "--size", "120x90", "--colour", "1=FF0000",
        "--colour", "2=00FF00", "--range", "1=0,255", "--range", "2=0,255"};
    arguments.insert(arguments.end(), inOptions.begin(), inOptions.end());
    return RunForPicture(arguments, inName, outText);
}

int Count(const XVolume& inPicture, bool (*inTest)(const XARGB32Colour&))
{
    return TestPicture::SpreadOf(inPicture, inTest).count;
}
bool IsYellow(const XARGB32Colour& p) { return p.red > 150 && p.green > 150 && p.blue < 60; }
bool IsRed(const XARGB32Colour& p) { return p.red > 150 && p.green < 60; }
bool IsDimYellow(const XARGB32Colour& p) { return p.red > 70 && p.red < 130 && p.green > 70 && p.green < 130; }

TEST(Kestrin3DPlanes, DrawsThePlanesMergedAsAsked)
{
    const std::string stack = WriteHalves("two.tif");
    std::string text;
    const auto merged = RenderPlanes({stack}, "merged.png", &text);
    ASSERT_TRUE(merged);
    EXPECT_TRUE(Contains(text, "view 3D Planes")) << text;
    EXPECT_EQ(merged->GetWidth(), 120);
    EXPECT_GT(Count(*merged, IsYellow), 30) << "where both channels are bright, the maximum merge shows yellow";
    EXPECT_GT(Count(*merged, IsRed), 30);
    // Averaged, the overlap is half as bright; weight 0 takes channel 2 out of a combine.
    const auto averaged = RenderPlanes({stack, "--merge", "average"}, "average.png");
    ASSERT_TRUE(averaged);
    EXPECT_EQ(Count(*averaged, IsYellow), 0);
    EXPECT_GT(Count(*averaged, IsDimYellow), 30);
    const auto weighted = RenderPlanes({stack, "--merge", "combine", "--weight", "2=0"}, "weighted.png");
    ASSERT_TRUE(weighted);
    EXPECT_EQ(Count(*weighted, IsYellow), 0);
    EXPECT_GT(Count(*weighted, IsRed), 30);
}

TEST(Kestrin3DPlanes, AReferencePlaneShowsAProjection)
{
    const std::string stack = WriteHalves("reference.tif");
    // Only channel 2 is sliced; channel 1's projection is a half-transparent plane.
    const auto without = RenderPlanes({stack, "--channels", "2", "--rotate", "70,0,0"}, "no-reference.png");
    const auto with = RenderPlanes({stack, "--channels", "2", "--rotate", "70,0,0", "--reference-plane", "1@1",
                                       "--plane-opacity", "1=0.5"}, "reference.png");
    ASSERT_TRUE(without && with);
    // Half-strength red: the projection; the red frame of the XY slice is full red
    // apart from a few smoothed pixels along it.
    const auto halfRed = [](const XARGB32Colour& p) { return p.red > 60 && p.red < 160 && p.green < 40; };
    EXPECT_GT(Count(*with, halfRed), Count(*without, halfRed) + 40) << "the projection of channel 1 shows at half strength";
}

// A pixel of a cyan surface, however it is lit: its hue (green equal to blue, red
// well below) and not the background; highlights that wash out to white are left out.
bool IsCyan(const XARGB32Colour& p) { return p.green > 4 && p.blue > 4 && std::abs(p.green - p.blue) < 10 && 2 * p.red < p.green; }
bool IsBrightCyan(const XARGB32Colour& p) { return IsCyan(p) && p.green > 128; }

// A box and a ball of channel 1, centred in the volume, drawn as cyan surfaces seen
// head-on: centred in the picture only with the half-voxel shift (else half a voxel up
// and left), filled, as the picture waits for the surfaces, and lit from the viewer's
// side (a light behind the volume leaves the faces seen head-on at the ambient level,
// about a tenth of full).
TEST(Kestrin3DPlanes, IsoRegionsAreDrawnAsSurfacesWhereTheVoxelsAre)
{
    const struct {
        const char* name;
        std::function<bool(int, int, int)> inside;
        double voxelsAcross;
    } cases[] = {
        {"box", [](int x, int y, int z) { return x >= 8 && x < 16 && y >= 8 && y < 16 && z >= 8 && z < 16; }, 8},
        {"ball", [](int x, int y, int z) { return std::hypot(x - 11.5, y - 11.5, z - 11.5) < 6; }, 12},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string stack = WriteShape(std::string(c.name) + ".tif", c.inside);
        const auto picture = RenderPlanes({stack, "--size", "200x200", "--zoom", "4", "--channels", "2", "--colour",
                                              "1=00FFFF", "--iso", "1=100"},
                                          std::string(c.name) + ".png");
        ASSERT_TRUE(picture);
        TestPicture::SavePNG(*picture, std::string("planes-iso-") + c.name);
        const TestPicture::XSpread cyan = TestPicture::SpreadOf(*picture, IsCyan);
        ASSERT_GT(cyan.count, 50) << "no surface drawn";
        EXPECT_GT(cyan.GetFill(), 0.6);
        const double voxel = (cyan.right - cyan.left + 1) / c.voxelsAcross;
        EXPECT_NEAR(cyan.centreX, 100, 0.2 * voxel) << "half a voxel is " << 0.5 * voxel << " pixels";
        EXPECT_NEAR(cyan.centreY, 100, 0.2 * voxel);
        EXPECT_GT(Count(*picture, IsBrightCyan), cyan.count / 3) << "the surface facing the camera is dark: the light is behind it";
    }
}

} // namespace

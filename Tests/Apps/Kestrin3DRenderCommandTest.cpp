// The info and render commands of kestrin3d on a small TIFF stack written here and
// on the built-in sample, run as a user runs them.
#include "TestPicture.h"
#include "XKestrin3DRunner.h"
#include "XTestEnvironment.h"

#include <gtest/gtest.h>
#include <tiffio.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

using namespace XKestrin3DRunner;
using namespace TestPicture;

namespace {
std::unique_ptr<XVolume> RenderPicture(std::vector<std::string> inArguments, const std::string& inName)
{
    inArguments.insert(inArguments.begin(), "render");
    return RunForPicture(inArguments, inName);
}
} // namespace

TEST(Kestrin3DInfo, DescribesAStackAndTheBuiltInSample)
{
    // The file stores no display ranges: each comes from the channel's histogram, the
    // zero background of channel 2 left out.
    EXPECT_TRUE(Ran(RunKestrin3D({"info", CellsStack()}), 0,
                    {"32 x 24 x 8 voxels", "0.25 x 0.25 x 1.5", "Channels: 2", "Timepoints: 2", "values 7 to 1000",
                     "values 0 to 300", "display range 7 to 1000 (auto", "display range 190 to 300 (auto"}));

    // A range the file stores is used as it stands (per-channel ranges of hyperstacks are
    // the Import suite's).
    const std::string stored = XTestEnvironment::MakeTempDir("stacks") + "/stored-range.tif";
    TIFF* tif = TIFFOpen(stored.c_str(), "w");
    ASSERT_TRUE(tif);
    for (uint16_t page = 0; page < 2; ++page) {
        const std::vector<uint16_t> values(64, uint16_t(1000 * page + 3));
        TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, 8u);
        TIFFSetField(tif, TIFFTAG_IMAGELENGTH, 8u);
        TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, uint16_t(16));
        TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, uint16_t(1));
        TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, uint16_t(PHOTOMETRIC_MINISBLACK));
        TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, 8u);
        if (page == 0)
            TIFFSetField(tif, TIFFTAG_IMAGEDESCRIPTION, "ImageJ=1.11a\nimages=2\nslices=2\nmin=10.0\nmax=250.5\n");
        ASSERT_GE(TIFFWriteEncodedStrip(tif, 0, const_cast<uint16_t*>(values.data()), 128), 0);
        ASSERT_TRUE(TIFFWriteDirectory(tif));
    }
    TIFFClose(tif);
    EXPECT_TRUE(Ran(RunKestrin3D({"info", stored}), 0, {"display range 10 to 250.5\n"}));

    const XRun sample = RunKestrin3D({"info"});
    EXPECT_TRUE(Ran(sample, 0, {"256 x 256 x 64 voxels", "Channels: 3", "Timepoints: 5"}));
    EXPECT_TRUE(Contains(sample.err, "Making the built-in sample")) << "progress goes to stderr";
}

TEST(Kestrin3DInfo, DescribesTheOpenGLDevice)
{
    const XRun gl = RunKestrin3D({"info", "--gl"});
    ASSERT_EQ(gl.exitCode, 0) << gl.err;
    // The value after each label; a fault in what the device reads leaves it empty or zero.
    auto value = [&](const std::string& inLabel) {
        const size_t at = gl.out.find("  " + inLabel + ": ");
        if (at == std::string::npos)
            return std::string();
        const size_t start = at + inLabel.size() + 4;
        return gl.out.substr(start, gl.out.find('\n', start) - start);
    };
    const struct {
        const char* label;
        bool (*ok)(const std::string&);
    } cases[] = {
        {"Renderer", [](const std::string& v) { return !v.empty() && v.find("not given") == std::string::npos; }},
        {"Version", [](const std::string& v) { return !v.empty() && v[0] >= '1' && v[0] <= '9'; }},
        {"Texture units", [](const std::string& v) { return !v.empty() && std::atol(v.c_str()) > 0; }},
        {"Max texture size", [](const std::string& v) { return !v.empty() && std::atol(v.c_str()) >= 64; }},
        {"Max renderbuffer size", [](const std::string& v) { return !v.empty() && std::atol(v.c_str()) >= 64; }},
        {"Offscreen targets", [](const std::string& v) { return v == "framebuffer objects"; }}, // offered on this GL
        {"Multisampling", [](const std::string& v) { return v == "off" || v.find(" samples per pixel") != std::string::npos; }},
        {"Shader runtime", [](const std::string& v) { return v.find("GLSL") != std::string::npos; }},
    };
    for (const auto& c : cases)
        EXPECT_TRUE(c.ok(value(c.label))) << c.label << " in\n" << gl.out;
}

TEST(Kestrin3DRender, DrawsAStackAtTheAskedSizeAndHidesChannels)
{
    const std::vector<std::string> colours = {"--colour", "1=FF0000", "--colour", "2=00FF00", "--rotate", "20,30,0",
                                               "--zoom", "2"};
    std::vector<std::string> both = {CellsStack(), "--size", "96x64"};
    both.insert(both.end(), colours.begin(), colours.end());
    const auto picture = RenderPicture(both, "both.png");
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->GetWidth(), 96);
    EXPECT_EQ(picture->GetHeight(), 64);
    const auto reddish = [](const XARGB32Colour& p) { return p.red > 60 && p.red > p.green + 30; };
    const auto greenish = [](const XARGB32Colour& p) { return p.green > 60 && p.green > p.red + 30; };
    EXPECT_GT(SpreadOf(*picture, reddish).count, 20) << "the block of channel 1 shows red";
    EXPECT_GT(SpreadOf(*picture, greenish).count, 20) << "the block of channel 2 shows green";

    std::vector<std::string> second = both;
    second.insert(second.end(), {"--channels", "2"});
    const auto hidden = RenderPicture(second, "second.png");
    ASSERT_TRUE(hidden);
    EXPECT_EQ(SpreadOf(*hidden, reddish).count, 0) << "channel 1 is hidden";
    EXPECT_GT(SpreadOf(*hidden, greenish).count, 20);

    // A display range above the block's values leaves channel 2 black.
    std::vector<std::string> dark = second;
    dark.insert(dark.end(), {"--range", "2=5000,6000"});
    const auto black = RenderPicture(dark, "dark.png");
    ASSERT_TRUE(black);
    EXPECT_EQ(CountNonBackground(*black), 0);
}

TEST(Kestrin3DRender, DrawsTheBuiltInSampleWithDecorationsOnlyWhenAsked)
{
    const auto bare = RenderPicture({"--size", "160x120", "--zoom", "2"}, "bare.png");
    ASSERT_TRUE(bare);
    EXPECT_GT(CountNonBackground(*bare), 160 * 120 / 40) << "the six cells show";
    // Nothing but the volume: the corners stay background.
    for (const auto& [x, y] : {std::pair{1, 1}, {158, 1}, {1, 118}, {158, 118}})
        EXPECT_TRUE(IsBackground(PixelAt(*bare, x, y))) << x << "," << y;

    const auto floor = RenderPicture({"--size", "160x120", "--zoom", "2", "--floor"}, "floor.png");
    ASSERT_TRUE(floor);
    // Where the floor lies is the SceneRenderer suite's.
    EXPECT_GT(CountDifferences(*floor, *bare), 200) << "the floor is drawn";

    const auto marked =
        RenderPicture(
        {"--size", "160x120", "--zoom", "2", "--orientation", "--scale", "--time", "--background", "203040"}, "marked.png");
    ASSERT_TRUE(marked);
    EXPECT_EQ(PixelAt(*marked, 1, 1).GetPacked() & 0xFFFFFF, 0x203040u) << "the background colour";
    const XARGB32Colour background(255, 0x20, 0x30, 0x40);
    int decorated = 0;
    for (int y = 0; y < 120; ++y)
        for (int x = 0; x < 160; ++x)
            if (IsBackground(PixelAt(*bare, x, y)) && PixelAt(*marked, x, y).GetPacked() != background.GetPacked())
                ++decorated;
    EXPECT_GT(decorated, 50) << "marker, scale and time stamp draw outside the volume";
}

// How stereo and each model draw is the SceneRenderer and Planes suites' to say; here,
// that the options reach the renderer.
TEST(Kestrin3DRender, StereoAndTheModelReachTheRenderer)
{
    const std::vector<std::string> view = {"--size", "120x90", "--zoom", "2", "--rotate", "0,40,0"};
    const auto mono = RenderPicture(view, "mono.png");
    ASSERT_TRUE(mono);
    for (const std::vector<std::string>& option : {std::vector<std::string>{"--stereo"}, {"--model", "maximum"}}) {
        SCOPED_TRACE(option[0]);
        std::vector<std::string> line = view;
        line.insert(line.end(), option.begin(), option.end());
        const auto picture = RenderPicture(line, option[0].substr(2) + ".png");
        ASSERT_TRUE(picture);
        EXPECT_GT(CountNonBackground(*picture), 200);
        EXPECT_GT(CountDifferences(*picture, *mono), 200);
    }
}

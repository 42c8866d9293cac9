// The info and render commands of kestrin3d on a small TIFF stack written here and
// on the built-in sample, run as a user runs them.
#include "TestPicture.h"
#include "XGrey16Volume.h"
#include "XKestrin3DRunner.h"
#include "XPNGFile.h"
#include "XTIFFWriter.h"
#include "XTestEnvironment.h"

#include <gtest/gtest.h>
#include <tiffio.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

using namespace XKestrin3DRunner;
using namespace TestPicture;

namespace {
// Two channels, 32 x 24 x 8 voxels, two timepoints: channel 1 a bright block on the
// left (1000, 7 elsewhere), channel 2 a block on the right whose values rise along x
// (190 to 300, 0 elsewhere). The blocks do not overlap, so each colour shows
// whatever the renderer does where channels meet.
const std::string& StackPath()
{
    static const std::string path = [] {
        const std::string file = XTestEnvironment::MakeTempDir("stack") + "/cells.tif";
        std::vector<std::unique_ptr<XGrey16Volume>> volumes;
        std::vector<const XVolume*> pointers;
        for (uint32_t channel = 0; channel < 2; ++channel)
            for (uint32_t t = 0; t < 2; ++t) {
                auto volume = std::make_unique<XGrey16Volume>(32, 24, 8);
                for (int32_t z = 0; z < 8; ++z)
                    for (int32_t y = 0; y < 24; ++y)
                        for (int32_t x = 0; x < 32; ++x) {
                            const bool inRows = y >= 6 && y < 18 && z >= 2 && z < 6;
                            if (channel == 0)
                                volume->SetVoxel(x, y, z, inRows && x >= 3 && x < 14 ? 1000 : 7);
                            else
                                volume->SetVoxel(x, y, z, inRows && x >= 18 && x < 30 ? uint16_t(10 + 10 * x) : 0);
                        }
                pointers.push_back(volume.get());
                volumes.push_back(std::move(volume));
            }
        XTIFFWriter::XStack stack;
        stack.width = 32;
        stack.height = 24;
        stack.sliceCount = 8;
        stack.channelCount = 2;
        stack.timepointCount = 2;
        stack.calibration[0] = stack.calibration[1] = 0.25;
        stack.calibration[2] = 1.5;
        stack.timeIncrement = 30;
        XTIFFWriter::WriteVolumes(file, XTIFFWriter::XForm::kImageJ, stack, pointers);
        return file;
    }();
    return path;
}

std::string OutputPath(const std::string& inName)
{
    return XTestEnvironment::MakeTempDir("pictures") + "/" + inName;
}

// Renders and reads the picture back; fails the test when either step fails.
std::unique_ptr<XVolume> RenderPicture(std::vector<std::string> inArguments, const std::string& inName)
{
    const std::string out = OutputPath(inName);
    inArguments.insert(inArguments.begin(), "render");
    inArguments.insert(inArguments.end(), {"-o", out});
    const XRun run = RunKestrin3D(inArguments);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_TRUE(Contains(run.out, out)) << run.out;
    if (run.exitCode != 0 || !FileExists(out))
        return nullptr;
    return XPNGFile::Read(out);
}

int CountWhere(const XVolume& inPicture, bool (*inTest)(const XARGB32Colour&))
{
    int count = 0;
    for (int y = 0; y < inPicture.GetHeight(); ++y)
        for (int x = 0; x < inPicture.GetWidth(); ++x)
            count += inTest(PixelAt(inPicture, x, y)) ? 1 : 0;
    return count;
}
} // namespace

TEST(Kestrin3DInfo, DescribesAStackAndTheBuiltInSample)
{
    // The file stores no display ranges: each comes from the channel's histogram, the
    // zero background of channel 2 left out.
    EXPECT_TRUE(Ran(RunKestrin3D({"info", StackPath()}), 0,
                    {"32 x 24 x 8 voxels", "0.25 x 0.25 x 1.5", "Channels: 2", "Timepoints: 2", "values 7 to 1000",
                     "values 0 to 300", "display range 7 to 1000 (auto", "display range 190 to 300 (auto"}));

    // A range the file stores is used as it stands.
    const std::string stored = OutputPath("stored-range.tif");
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

    // A hyperstack's ranges are per channel; one it cannot use leaves that channel automatic.
    std::vector<std::unique_ptr<XGrey16Volume>> volumes;
    std::vector<const XVolume*> pointers;
    for (uint16_t channel = 0; channel < 2; ++channel) {
        volumes.push_back(std::make_unique<XGrey16Volume>(8, 8, 2));
        for (int32_t x = 0; x < 8; ++x)
            volumes.back()->SetVoxel(x, 0, 0, uint16_t(100 * channel + 10 * x + 1));
        pointers.push_back(volumes.back().get());
    }
    XTIFFWriter::XStack hyper;
    hyper.width = hyper.height = 8;
    hyper.sliceCount = 2;
    hyper.channelCount = 2;
    hyper.displayRanges = {{5, 900}, {20, 20}};
    const std::string ranged = OutputPath("stored-ranges.tif");
    XTIFFWriter::WriteVolumes(ranged, XTIFFWriter::XForm::kImageJ, hyper, pointers);
    const XRun ranges = RunKestrin3D({"info", ranged});
    EXPECT_TRUE(Ran(ranges, 0, {"display range 5 to 900\n"}));
    const size_t automatic = ranges.out.find("(auto");
    EXPECT_TRUE(automatic != std::string::npos && automatic == ranges.out.rfind("(auto")) << ranges.out;

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

    EXPECT_TRUE(Ran(RunKestrin3D({"info", "--gl", StackPath()}), 2, {"takes no FILE"}));
}

TEST(Kestrin3DRender, DrawsAStackAtTheAskedSizeAndHidesChannels)
{
    const std::vector<std::string> colours = {"--colour", "1=FF0000", "--colour", "2=00FF00", "--rotate", "20,30,0",
                                               "--zoom", "2"};
    std::vector<std::string> both = {StackPath(), "--size", "96x64"};
    both.insert(both.end(), colours.begin(), colours.end());
    const auto picture = RenderPicture(both, "both.png");
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->GetWidth(), 96);
    EXPECT_EQ(picture->GetHeight(), 64);
    const auto reddish = [](const XARGB32Colour& p) { return p.red > 60 && p.red > p.green + 30; };
    const auto greenish = [](const XARGB32Colour& p) { return p.green > 60 && p.green > p.red + 30; };
    EXPECT_GT(CountWhere(*picture, reddish), 20) << "the block of channel 1 shows red";
    EXPECT_GT(CountWhere(*picture, greenish), 20) << "the block of channel 2 shows green";

    std::vector<std::string> second = both;
    second.insert(second.end(), {"--channels", "2"});
    const auto hidden = RenderPicture(second, "second.png");
    ASSERT_TRUE(hidden);
    EXPECT_EQ(CountWhere(*hidden, reddish), 0) << "channel 1 is hidden";
    EXPECT_GT(CountWhere(*hidden, greenish), 20);

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
    EXPECT_EQ(bare->GetWidth(), 160);
    EXPECT_EQ(bare->GetHeight(), 120);
    EXPECT_GT(CountNonBackground(*bare), 160 * 120 / 40) << "the six cells show";
    // Nothing but the volume: the corners stay background.
    for (const auto& [x, y] : {std::pair{1, 1}, {158, 1}, {1, 118}, {158, 118}})
        EXPECT_TRUE(IsBackground(PixelAt(*bare, x, y))) << x << "," << y;

    const auto floor = RenderPicture({"--size", "160x120", "--zoom", "2", "--floor"}, "floor.png");
    ASSERT_TRUE(floor);
    int lower = 0, upper = 0;
    for (int y = 0; y < 120; ++y)
        for (int x = 0; x < 160; ++x)
            if (PixelAt(*floor, x, y).GetPacked() != PixelAt(*bare, x, y).GetPacked())
                (y >= 60 ? lower : upper)++;
    EXPECT_GT(lower, 200) << "the floor lies under the volume";
    EXPECT_GT(lower, upper);

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

TEST(Kestrin3DRender, RedCyanStereoAndMaximumProjection)
{
    const std::vector<std::string> view = {"--size", "120x90", "--zoom", "2", "--rotate", "0,40,0"};
    std::vector<std::string> stereoView = view;
    stereoView.push_back("--stereo");
    const auto stereo = RenderPicture(stereoView, "stereo.png");
    const auto mono = RenderPicture(view, "mono.png");
    ASSERT_TRUE(stereo && mono);
    // The right eye's picture fills green and blue alike; the mono picture's colours do not.
    // Faint pixels (the volume's edges) are left out: rounding decides their colour.
    const auto shown = [](const XARGB32Colour& p) { return std::max({p.red, p.green, p.blue}) > 8; };
    const auto shownGreyRight = [](const XARGB32Colour& p) {
        return std::max({p.red, p.green, p.blue}) > 8 && std::abs(p.green - p.blue) <= 3;
    };
    EXPECT_EQ(CountWhere(*stereo, shownGreyRight), CountWhere(*stereo, shown));
    EXPECT_LT(CountWhere(*mono, shownGreyRight), CountWhere(*mono, shown) / 2);

    std::vector<std::string> maximumView = view;
    maximumView.insert(maximumView.end(), {"--model", "maximum"});
    const auto maximum = RenderPicture(maximumView, "maximum.png");
    ASSERT_TRUE(maximum);
    EXPECT_GT(CountNonBackground(*maximum), 120 * 90 / 20);
    EXPECT_GT(CountDifferences(*maximum, *mono), 120 * 90 / 20) << "the model reaches the renderer";
}

TEST(Kestrin3DRender, BadOptionsAreRefusedBeforeAnyWork)
{
    const std::string out = OutputPath("never.png");
    const struct {
        std::vector<std::string> options;
        std::string named; // the message names what is wrong
    } cases[] = {
        {{"--size", "0x10"}, "1 to 8192"},
        {{"--size", "big"}, "WIDTHxHEIGHT"},
        {{"--zoom", "-2"}, "--zoom"},
        {{"--rotate", "10,20"}, "--rotate"},
        {{"--colour", "1=GG0000"}, "RRGGBB"},
        {{"--colour", "red"}, "CHANNEL=VALUE"},
        {{"--range", "1=5"}, "LOW,HIGH"},
        {{"--model", "phong"}, "maximum or fluorescence"},
        {{"--timepoint", "0"}, "count from 1"},
        {{"--channels", "1,x"}, "--channels"},
        {{"--background", "12345"}, "RRGGBB"},
        {{"--sparkle"}, "--sparkle"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> arguments = {"render", "-o", out};
        arguments.insert(arguments.end(), c.options.begin(), c.options.end());
        const XRun run = RunKestrin3D(arguments);
        EXPECT_TRUE(Ran(run, 2, {c.named})) << c.options[0];
        EXPECT_FALSE(Contains(run.err, "Making the built-in sample")) << "refused before the sample is made";
    }
    EXPECT_FALSE(FileExists(out));
    EXPECT_TRUE(Ran(RunKestrin3D({"render"}), 2, {"-o OUT.png"}));
}

TEST(Kestrin3DRender, FailuresSayWhatToDoAndLeaveNoPicture)
{
    const std::string folder = XTestEnvironment::MakeTempDir("failures");
    const std::string out = folder + "/view.png";

    const std::string corrupt = folder + "/corrupt.tif";
    {
        // A TIFF header whose first page lies past the end of the file.
        std::FILE* file = std::fopen(corrupt.c_str(), "wb");
        ASSERT_TRUE(file);
        const unsigned char header[] = {'I', 'I', 42, 0, 0x00, 0x10, 0, 0, 1, 2, 3};
        std::fwrite(header, 1, sizeof header, file);
        std::fclose(file);
    }
    const std::string check = "Check that it is a complete TIFF file";
    const struct {
        std::vector<std::string> arguments;
        int exitCode;
        std::vector<std::string> said;
    } cases[] = {
        {{"render", folder + "/absent.tif", "-o", out}, 1, {"absent.tif does not exist"}},
        {{"info", corrupt}, 1, {"corrupt.tif", check}},
        {{"render", corrupt, "-o", out}, 1, {"corrupt.tif", check}},
        {{"render", StackPath(), "--channels", "1,3", "-o", out}, 2, {"give channels 1 to 2"}},
        {{"render", StackPath(), "--timepoint", "3", "-o", out}, 2, {"give --timepoint 1 to 2"}},
        // The renderer gives the ranges of its shading properties.
        {{"render", StackPath(), "--brightness", "11", "-o", out}, 2, {"--brightness must lie between 0 and 10"}},
        {{"render", StackPath(), "--opacity", "1.5", "-o", out}, 2, {"--opacity must lie between 0 and 1"}},
        {{"render", StackPath(), "-o", folder + "/no/such/folder/view.png"}, 1, {"does not exist; create it"}},
        {{"render", StackPath(), "-o", folder}, 1, {"is a folder"}},
    };
    for (const auto& c : cases)
        EXPECT_TRUE(Ran(RunKestrin3D(c.arguments), c.exitCode, c.said)) << c.arguments[1];
    EXPECT_FALSE(FileExists(out));
}

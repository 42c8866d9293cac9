// 'kestrin3d movie render' and keyframe thumbnails run as a user runs them: the
// frames a movie has, what each shows, failed runs, and the ffmpeg call.
#include "TestPicture.h"
#include "XKestrin3DRunner.h"
#include "XPNGFile.h"
#include "XTestEnvironment.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

using namespace XKestrin3DRunner;
namespace fs = std::filesystem;

namespace {
const std::string& Scratch()
{
    static const std::string folder = XTestEnvironment::MakeTempDir("kestrin3d-movie-render");
    return folder;
}

// A movie made by the movie commands, each a line of arguments after "movie".
std::string MakeMovie(const std::string& inName, const std::vector<std::vector<std::string>>& inSteps)
{
    const std::string path = Scratch() + "/" + inName + ".kmovie";
    EXPECT_EQ(RunKestrin3D({"movie", "new", path, "--rate", "12", "--force"}).exitCode, 0);
    for (std::vector<std::string> step : inSteps) {
        step.insert(step.begin() + 1, path);
        step.insert(step.begin(), "movie");
        EXPECT_EQ(RunKestrin3D(step).exitCode, 0) << step[1];
    }
    return path;
}

std::vector<std::string> Listing(const std::string& inFolder)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(inFolder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::unique_ptr<XVolume> Picture(const std::string& inPath) { return XPNGFile::Read(XString(inPath)); }

// "movie render MOVIE -o OUT" with small frames of the small stack: quick to draw.
std::vector<std::string> RenderLine(const std::string& inMovie, const std::string& inOut)
{
    return {"movie", "render", inMovie, "-o", inOut, "--view", "planes", "--size", "64x48", "--data", CellsStack()};
}
} // namespace

TEST(Kestrin3DMovieRender, FramesFollowTheKeyframesAndSequences)
{
    struct XCase {
        const char* name;
        std::vector<std::vector<std::string>> steps;
        std::vector<std::string> extra;
        std::vector<std::string> frames;
    };
    for (const XCase& c : {
             XCase{"keyframes", {{"add-keyframe", "--frames", "2"}, {"add-keyframe", "--rotate", "0,90,0", "--frames", "1"}},
                 {}, {"frame-00000.png", "frame-00001.png", "frame-00002.png"}},
             XCase{"a sequence without keyframes", {{"add-timepoints", "--frames", "4"}}, {},
                 {"frame-00000.png", "frame-00001.png", "frame-00002.png", "frame-00003.png"}},
             XCase{"a range of frames", {{"add-keyframe", "--frames", "6"}}, {"--frames", "2-3"},
                 {"frame-00002.png", "frame-00003.png"}},
         }) {
        SCOPED_TRACE(c.name);
        const std::string movie = MakeMovie(c.name[0] == 'k' ? "keys" : "frames", c.steps);
        const std::string out = Scratch() + "/" + std::to_string(std::hash<std::string>{}(c.name));
        std::vector<std::string> line = RenderLine(movie, out);
        line.insert(line.end(), c.extra.begin(), c.extra.end());
        ASSERT_TRUE(Ran(RunKestrin3D(line, {{"PATH", Scratch()}}), 0, {"ffmpeg is not on PATH"}));
        EXPECT_EQ(Listing(out), c.frames);
    }
}

TEST(Kestrin3DMovieRender, EachFrameIsTheRenderCommandsViewOfItsKeyframeAtItsTimepoint)
{
    // Planes: frame 0 is the first keyframe's view (camera 2 from the centre is zoom
    // 1.75); frame 2 shows the last one. The sequence plays the sample's five timepoints
    // over the three frames: 1, 3, 5. Volume: the keyframe's turn replaces the options',
    // and its state shows the floor.
    const std::string planes = MakeMovie("views", {{"add-keyframe", "--frames", "2"},
        {"add-keyframe", "--rotate", "0,90,0", "--frames", "1"}, {"add-timepoints", "--frames", "3"}});
    const std::string volume = MakeMovie("volume", {{"add-keyframe", "--rotate", "0,40,0", "--state", "6=1", "--frames", "1"}});
    const std::vector<std::string> planesLine{"--view", "planes", "--size", "64x48", "--time"};
    struct XCase {
        const std::string& movie;
        std::vector<std::string> options;
        const char* frame;
        std::vector<std::string> render;
    };
    for (const XCase& c : {
             XCase{planes, planesLine, "frame-00000.png",
                 {"--view", "planes", "--size", "64x48", "--time", "--zoom", "1.75", "--rotate", "0,0,0", "--timepoint", "1"}},
             XCase{planes, planesLine, "frame-00002.png",
                 {"--view", "planes", "--size", "64x48", "--time", "--zoom", "1.75", "--rotate", "0,90,0", "--timepoint", "5"}},
             XCase{volume, {"--size", "64x48", "--rotate", "90,0,0"}, "frame-00000.png",
                 {"--size", "64x48", "--rotate", "0,40,0", "--floor"}},
         }) {
        SCOPED_TRACE(c.movie + " " + c.frame);
        const std::string out = c.movie + "-frames";
        std::vector<std::string> line{"movie", "render", c.movie, "-o", out};
        line.insert(line.end(), c.options.begin(), c.options.end());
        if (!FileExists(out)) { // one run of each movie
            ASSERT_EQ(RunKestrin3D(line).exitCode, 0);
        }
        const std::string expected = out + "-expected.png";
        std::vector<std::string> render{"render", "-o", expected};
        render.insert(render.end(), c.render.begin(), c.render.end());
        ASSERT_EQ(RunKestrin3D(render).exitCode, 0);
        const auto frame = Picture(out + "/" + c.frame);
        EXPECT_EQ(TestPicture::CountDifferences(*frame, *Picture(expected)), 0);
        EXPECT_GT(TestPicture::CountNonBackground(*frame), 100);
    }
    EXPECT_GT(TestPicture::CountDifferences(*Picture(planes + "-frames/frame-00000.png"),
                                            *Picture(planes + "-frames/frame-00001.png")), 0)
        << "the view turns between keyframes";
}

TEST(Kestrin3DMovieRender, AFailedRunLeavesNoPartialFrame)
{
    const std::string movie = MakeMovie("fail", {{"add-keyframe", "--frames", "4"}});
    const std::string out = Scratch() + "/fail";
    // The third frame's name is taken by a folder: the run stops there.
    fs::create_directories(out + "/frame-00002.png");
    const std::vector<std::string> line = RenderLine(movie, out);
    EXPECT_TRUE(Ran(RunKestrin3D(line), 1, {"frame-00002.png"}));
    EXPECT_EQ(Listing(out), (std::vector<std::string>{"frame-00000.png", "frame-00001.png", "frame-00002.png"}));
    for (const char* frame : {"frame-00000.png", "frame-00001.png"})
        EXPECT_EQ(Picture(out + "/" + frame)->GetBounds(), X3DRect(0, 0, 0, 64, 48, 1)) << frame;
}

TEST(Kestrin3DMovieRender, FfmpegJoinsTheFramesAtTheMoviesRate)
{
    // A stand-in ffmpeg records its arguments and writes its output, then exits with
    // the status it is given.
    const std::string bin = Scratch() + "/bin";
    fs::create_directories(bin);
    {
        std::ofstream script(bin + "/ffmpeg");
        script << "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"$RECORD\"\nfor a; do last=$a; done\n: > \"$last\"\n"
                  "exit \"$STATUS\"\n";
    }
    fs::permissions(bin + "/ffmpeg", fs::perms::owner_all);
    const std::string movie = MakeMovie("mp4", {{"add-keyframe", "--frames", "5"}});
    struct XCase {
        const char* status;
        int exitCode;
        std::vector<std::string> said;
        bool made;
    };
    for (const XCase& c : {XCase{"0", 0, {"movie.mp4", "12 frames per second"}, true},
                           XCase{"3", 1, {"exit status 3", "frames are kept"}, false}}) {
        SCOPED_TRACE(c.status);
        const std::string out = Scratch() + "/mp4-" + c.status;
        const std::string record = out + "-arguments.txt";
        std::vector<std::string> line = RenderLine(movie, out);
        line.insert(line.end(), {"--frames", "1-4"});
        EXPECT_TRUE(Ran(RunKestrin3D(line, {{"PATH", bin}, {"RECORD", record}, {"STATUS", c.status}}), c.exitCode, c.said));
        const std::string arguments = ReadFile(record);
        for (const std::string& expected : std::vector<std::string>{"-framerate\n12\n", "-start_number\n1\n", "-frames:v\n4\n",
                 "\n" + out + "/frame-%05d.png\n"})
            EXPECT_TRUE(Contains(arguments, expected)) << expected << " in\n" << arguments;
        EXPECT_EQ(FileExists(out + "/movie.mp4"), c.made);
        EXPECT_EQ(Listing(out).size(), c.made ? 5u : 4u) << "frames are kept, and no part of the movie";
    }
}

TEST(Kestrin3DMovieRender, KeyframeThumbnailsAreStoredAndWritten)
{
    const std::string movie = MakeMovie("thumbs", {{"add-keyframe"}, {"add-keyframe", "--rotate", "30,40,0", "--thumbnail", "--data", CellsStack()}});
    const std::string out = Scratch() + "/thumbs";
    ASSERT_TRUE(Ran(RunKestrin3D({"movie", "show", movie, "--thumbnails", out}), 0, {"2: frames", "with a thumbnail"}));
    ASSERT_EQ(Listing(out), std::vector<std::string>{"keyframe-2.png"}) << "only the keyframe made with one";
    const auto thumbnail = Picture(out + "/keyframe-2.png");
    EXPECT_EQ(thumbnail->GetBounds(), X3DRect(0, 0, 0, 160, 120, 1));
    EXPECT_GT(TestPicture::CountNonBackground(*thumbnail), 200);
}

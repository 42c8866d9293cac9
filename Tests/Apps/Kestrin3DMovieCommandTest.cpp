// The kestrin3d program's movie commands, run as a user runs them.
#include "XKestrin3DRunner.h"
#include "XStream.h"
#include "XTestEnvironment.h"
#include "XVolumeKeyframeMovie.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

namespace {
using namespace XKestrin3DRunner;

std::string MoviePath(const std::string& inName)
{
    static const std::string folder = XTestEnvironment::MakeTempDir("kestrin3d-movies");
    return folder + "/" + inName;
}

XVolumeKeyframeMovie ReadMovie(const std::string& inPath)
{
    XStream stream = XStream::LoadFromFile(inPath);
    XVolumeKeyframeMovie movie;
    movie.ReadStream2(stream);
    EXPECT_EQ(stream.GetBytesLeft(), 0u);
    return movie;
}
} // namespace

TEST(Kestrin3DCommands, HelpAndUsageErrors)
{
    const XRun help = RunKestrin3D({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    for (const char* command : {"movie new", "movie add-keyframe", "movie add-timepoints", "movie scale", "movie resize",
                                "movie show"})
        EXPECT_TRUE(Contains(help.out, command)) << command;

    const XRun none = RunKestrin3D({});
    EXPECT_EQ(none.exitCode, 2);
    EXPECT_TRUE(Contains(none.err, "no command"));

    const XRun unknown = RunKestrin3D({"render-everything"});
    EXPECT_EQ(unknown.exitCode, 2);
    EXPECT_TRUE(Contains(unknown.err, "render-everything"));
    EXPECT_TRUE(Contains(unknown.err, "--help"));

    const XRun badSub = RunKestrin3D({"movie", "explode"});
    EXPECT_EQ(badSub.exitCode, 2);
    EXPECT_TRUE(Contains(badSub.err, "explode"));
    EXPECT_TRUE(Contains(badSub.err, "movie show")) << "the group's commands are listed";

    const XRun commandHelp = RunKestrin3D({"movie", "add-keyframe", "--help"});
    EXPECT_EQ(commandHelp.exitCode, 0);
    EXPECT_TRUE(Contains(commandHelp.out, "--rotate"));
}

TEST(Kestrin3DCommands, BuildAMovieAndShowAFrame)
{
    const std::string path = MoviePath("fly.kmovie");
    ASSERT_EQ(RunKestrin3D({"movie", "new", path, "--name", "Fly", "--rate", "25"}).exitCode, 0);
    ASSERT_EQ(RunKestrin3D({"movie", "add-keyframe", path, "--eye", "0,0,3", "--frames", "10", "--state", "13=-0.5"}).exitCode, 0);
    ASSERT_EQ(RunKestrin3D({"movie", "add-keyframe", path, "--eye=3,0,0", "--rotate", "0,90,0", "--frames", "1", "--state",
                   "13=0.5"})
                  .exitCode,
              0);
    const XRun added = RunKestrin3D({"movie", "add-timepoints", path, "--frames", "11", "--playback", "backwards"});
    ASSERT_EQ(added.exitCode, 0) << added.err;
    EXPECT_TRUE(Contains(added.out, "2 keyframes, 1 timepoint sequence, 11 frames"));

    // The file holds the movie in its stream format.
    const XVolumeKeyframeMovie movie = ReadMovie(path);
    EXPECT_EQ(movie.GetName(), "Fly");
    EXPECT_EQ(movie.GetPlaybackRate(), 25.0f);
    ASSERT_EQ(movie.GetKeyframeCount(), 2u);
    EXPECT_EQ(movie.GetKeyframe(0).GetLength(), 10u);
    EXPECT_EQ(movie.GetTimepointSequence(0).GetPlayback(), XVolumeKeyframeMovie::kPlaybackBackwards);

    const XRun shown = RunKestrin3D({"movie", "show", path, "--frame", "5", "--timepoints", "5"});
    ASSERT_EQ(shown.exitCode, 0) << shown.err;
    EXPECT_TRUE(Contains(shown.out, "frames 0-9 (10 frames)"));
    EXPECT_TRUE(Contains(shown.out, "Frame 5:"));
    EXPECT_TRUE(Contains(shown.out, "eye (1.5, 0, 1.5)")) << shown.out;
    EXPECT_TRUE(Contains(shown.out, "45 degrees about (0, 1, 0)")) << shown.out;
    EXPECT_TRUE(Contains(shown.out, "13 floor height: 0\n")) << shown.out;
    EXPECT_TRUE(Contains(shown.out, "timepoint: 3 of 5")) << shown.out;
}

TEST(Kestrin3DCommands, ScaleAndResize)
{
    const std::string path = MoviePath("scale.kmovie");
    ASSERT_EQ(RunKestrin3D({"movie", "new", path}).exitCode, 0);
    for (const char* frames : {"10", "30"})
        ASSERT_EQ(RunKestrin3D({"movie", "add-keyframe", path, "--frames", frames}).exitCode, 0);
    ASSERT_EQ(RunKestrin3D({"movie", "scale", path, "2"}).exitCode, 0);
    EXPECT_EQ(ReadMovie(path).GetKeyframe(1).GetLength(), 60u);
    const XRun resized = RunKestrin3D({"movie", "resize", path, "79"});
    ASSERT_EQ(resized.exitCode, 0) << resized.err;
    EXPECT_EQ(ReadMovie(path).GetKeyframe(0).GetLength(), 19u) << "one frame less, taken from the first keyframe";
    EXPECT_EQ(RunKestrin3D({"movie", "scale", path, "0"}).exitCode, 2);
    EXPECT_EQ(RunKestrin3D({"movie", "resize", path, "many"}).exitCode, 2);
}

TEST(Kestrin3DCommands, BadFilesAndArgumentsSayWhatToDo)
{
    const XRun missing = RunKestrin3D({"movie", "add-keyframe", MoviePath("absent.kmovie")});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_TRUE(Contains(missing.err, "does not exist")) << missing.err;
    EXPECT_TRUE(Contains(missing.err, "movie new")) << missing.err;

    const std::string path = MoviePath("damaged.kmovie");
    ASSERT_EQ(RunKestrin3D({"movie", "new", path}).exitCode, 0);
    ASSERT_EQ(RunKestrin3D({"movie", "add-keyframe", path}).exitCode, 0);
    std::string bytes = ReadFile(path);
    bytes.resize(bytes.size() - 3);
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
    const XRun damaged = RunKestrin3D({"movie", "add-keyframe", path});
    EXPECT_EQ(damaged.exitCode, 1);
    EXPECT_TRUE(Contains(damaged.err, path)) << damaged.err;
    EXPECT_EQ(ReadFile(path), bytes) << "a failed command leaves the file alone";

    const std::string good = MoviePath("good.kmovie");
    ASSERT_EQ(RunKestrin3D({"movie", "new", good}).exitCode, 0);
    const XRun option = RunKestrin3D({"movie", "add-keyframe", good, "--colour", "red"});
    EXPECT_EQ(option.exitCode, 2);
    EXPECT_TRUE(Contains(option.err, "--colour"));
    const XRun vector = RunKestrin3D({"movie", "add-keyframe", good, "--eye", "1,2"});
    EXPECT_EQ(vector.exitCode, 2);
    EXPECT_TRUE(Contains(vector.err, "three numbers"));
    EXPECT_EQ(RunKestrin3D({"movie", "add-keyframe", good, "--eye", "0,0,0"}).exitCode, 2) << "eye on the look-at point";
    EXPECT_EQ(RunKestrin3D({"movie", "show", good, "--frame", "0"}).exitCode, 2) << "an empty movie has no frame 0";
    EXPECT_EQ(RunKestrin3D({"movie", "add-timepoints", good, "--frames", "3", "--from", "2"}).exitCode, 2);
    EXPECT_EQ(ReadMovie(good).GetKeyframeCount(), 0u);
}

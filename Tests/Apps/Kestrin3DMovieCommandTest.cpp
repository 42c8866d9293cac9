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
    EXPECT_TRUE(Ran(RunKestrin3D({"--help"}), 0,
                    {"movie new", "movie add-keyframe", "movie add-timepoints", "movie scale", "movie resize", "movie show"}));
    EXPECT_TRUE(Ran(RunKestrin3D({}), 2, {"no command"}));
    EXPECT_TRUE(Ran(RunKestrin3D({"render-everything"}), 2, {"render-everything", "--help"}));
    EXPECT_TRUE(Ran(RunKestrin3D({"movie", "explode"}), 2, {"explode", "movie show"})) << "the group's commands are listed";
    EXPECT_TRUE(Ran(RunKestrin3D({"movie", "add-keyframe", "--help"}), 0, {"--rotate"}));
}

TEST(Kestrin3DCommands, BuildAMovieAndShowAFrame)
{
    const std::string path = MoviePath("fly.kmovie");
    ASSERT_EQ(RunKestrin3D({"movie", "new", path, "--name", "Fly", "--rate", "25"}).exitCode, 0);
    ASSERT_EQ(RunKestrin3D({"movie", "add-keyframe", path, "--eye", "0,0,3", "--frames", "10", "--state", "13=-0.5"}).exitCode, 0);
    ASSERT_TRUE(Ran(RunKestrin3D({"movie", "add-keyframe", path, "--eye=3,0,0", "--rotate", "0,90,0", "--frames", "1",
                                  "--state", "13=0.5"}), 0));
    ASSERT_TRUE(Ran(RunKestrin3D({"movie", "add-timepoints", path, "--frames", "11", "--playback", "backwards"}), 0,
                    {"2 keyframes, 1 timepoint sequence, 11 frames"}));

    // The file holds the movie in its stream format.
    const XVolumeKeyframeMovie movie = ReadMovie(path);
    EXPECT_EQ(movie.GetName(), "Fly");
    EXPECT_EQ(movie.GetPlaybackRate(), 25.0f);
    ASSERT_EQ(movie.GetKeyframeCount(), 2u);
    EXPECT_EQ(movie.GetKeyframe(0).GetLength(), 10u);
    EXPECT_EQ(movie.GetTimepointSequence(0).GetPlayback(), XVolumeKeyframeMovie::kPlaybackBackwards);

    EXPECT_TRUE(Ran(RunKestrin3D({"movie", "show", path, "--frame", "5", "--timepoints", "5"}), 0,
                    {"frames 0-9 (10 frames)", "Frame 5:", "eye (1.5, 0, 1.5)", "45 degrees about (0, 1, 0)",
                     "13 floor height: 0\n", "timepoint: 3 of 5"}));
}

TEST(Kestrin3DCommands, ScaleAndResize)
{
    const std::string path = MoviePath("scale.kmovie");
    ASSERT_EQ(RunKestrin3D({"movie", "new", path}).exitCode, 0);
    for (const char* frames : {"10", "30"})
        ASSERT_EQ(RunKestrin3D({"movie", "add-keyframe", path, "--frames", frames}).exitCode, 0);
    ASSERT_EQ(RunKestrin3D({"movie", "scale", path, "2"}).exitCode, 0);
    EXPECT_EQ(ReadMovie(path).GetKeyframe(1).GetLength(), 60u);
    ASSERT_TRUE(Ran(RunKestrin3D({"movie", "resize", path, "79"}), 0));
    EXPECT_EQ(ReadMovie(path).GetKeyframe(0).GetLength(), 19u) << "one frame less, taken from the first keyframe";
    EXPECT_EQ(RunKestrin3D({"movie", "scale", path, "0"}).exitCode, 2);
    EXPECT_EQ(RunKestrin3D({"movie", "resize", path, "many"}).exitCode, 2);
}

TEST(Kestrin3DCommands, BadFilesAndArgumentsSayWhatToDo)
{
    EXPECT_TRUE(Ran(RunKestrin3D({"movie", "add-keyframe", MoviePath("absent.kmovie")}), 1, {"does not exist", "movie new"}));

    const std::string path = MoviePath("damaged.kmovie");
    ASSERT_EQ(RunKestrin3D({"movie", "new", path}).exitCode, 0);
    ASSERT_EQ(RunKestrin3D({"movie", "add-keyframe", path}).exitCode, 0);
    std::string bytes = ReadFile(path);
    bytes.resize(bytes.size() - 3);
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
    EXPECT_TRUE(Ran(RunKestrin3D({"movie", "add-keyframe", path}), 1, {path}));
    EXPECT_EQ(ReadFile(path), bytes) << "a failed command leaves the file alone";

    const std::string good = MoviePath("good.kmovie");
    ASSERT_EQ(RunKestrin3D({"movie", "new", good}).exitCode, 0);
    EXPECT_TRUE(Ran(RunKestrin3D({"movie", "add-keyframe", good, "--colour", "red"}), 2, {"--colour"}));
    EXPECT_TRUE(Ran(RunKestrin3D({"movie", "add-keyframe", good, "--eye", "1,2"}), 2, {"three numbers"}));
    EXPECT_EQ(RunKestrin3D({"movie", "add-keyframe", good, "--eye", "0,0,0"}).exitCode, 2) << "eye on the look-at point";
    EXPECT_EQ(RunKestrin3D({"movie", "show", good, "--frame", "0"}).exitCode, 2) << "an empty movie has no frame 0";
    EXPECT_EQ(RunKestrin3D({"movie", "add-timepoints", good, "--frames", "3", "--from", "2"}).exitCode, 2);
    EXPECT_EQ(ReadMovie(good).GetKeyframeCount(), 0u);
}

// The kestrin3d program's movie commands, run as a user runs them (their mistakes are in
// the usage table).
#include "XKestrin3DRunner.h"
#include "XStream.h"
#include "XTestEnvironment.h"
#include "XVolumeKeyframeMovie.h"

#include <gtest/gtest.h>

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

TEST(Kestrin3DCommands, BuildScaleAndResizeAMovieAndShowAFrame)
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

    ASSERT_EQ(RunKestrin3D({"movie", "scale", path, "2"}).exitCode, 0);
    EXPECT_EQ(ReadMovie(path).GetKeyframe(1).GetLength(), 2u);
    ASSERT_TRUE(Ran(RunKestrin3D({"movie", "resize", path, "21"}), 0));
    EXPECT_EQ(ReadMovie(path).GetKeyframe(0).GetLength(), 19u) << "one frame less, taken from the first keyframe";
}

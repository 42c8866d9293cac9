// Frame arithmetic, frame views, timepoints and editing of keyframe movies.
#include "XVolumeKeyframeMovie.h"

#include "XAssertRecorder.h"
#include "XException.h"
#include "XRenderer.h"

#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <memory>
#include <vector>

namespace {
using XSequence = XVolumeKeyframeMovie::XTimepointSequence;
constexpr uint64_t kMax = XVolumeKeyframeMovie::kMaxFrames;

XBookmark3D Scene(std::initializer_list<std::pair<XRendererStateName, double>> inStates, uint32_t inChannel = 0)
{
    XRendererSceneState state;
    for (const auto& [name, value] : inStates)
        state.SetStateAndEnable(name, X3DMatrix(1, 1, value), inChannel);
    return XBookmark3D(state);
}

XVolumeKeyframeMovie MovieOfLengths(std::initializer_list<uint64_t> inLengths)
{
    XVolumeKeyframeMovie movie("test");
    double height = 0;
    for (uint64_t length : inLengths)
        movie.AppendKeyframeTransition(Scene({{kSceneStateFloorHeight, height++}}), length);
    return movie;
}

std::vector<uint64_t> KeyframeLengths(const XVolumeKeyframeMovie& inMovie)
{
    std::vector<uint64_t> lengths;
    for (const auto* keyframe : inMovie.GetKeyframes())
        lengths.push_back(keyframe->GetLength());
    return lengths;
}

// Records the fraction each interpolation was asked for.
class XFractionRenderer : public XRenderer {
public:
    mutable std::vector<float> itsFractions;

protected:
    X3DMatrix GetStateValueAtTimeSelf(XRendererStateName inName, uint32_t inChannel, const XRendererSceneState& inFrom,
                                      const XRendererSceneState& inTo, float inTime) const override
    {
        itsFractions.push_back(inTime);
        return XRenderer::GetStateValueAtTimeSelf(inName, inChannel, inFrom, inTo, inTime);
    }
};

// The value of inName (enabled) in the bookmark made for inFrame.
double ValueAt(const XVolumeKeyframeMovie& inMovie, uint64_t inFrame, XRendererStateName inName = kSceneStateFloorHeight,
               uint32_t inChannel = 0)
{
    XRenderer renderer;
    std::unique_ptr<XBookmark3D> frame(inMovie.MakeFrameBookmark(renderer, inFrame));
    EXPECT_TRUE(frame->GetSceneState().HasStateAndEnabled(inName, inChannel));
    return frame->GetSceneState().GetState(inName, inChannel)(0, 0);
}
} // namespace

TEST(XVolumeKeyframeMovieFrames, StartsEndsAndLengths)
{
    XVolumeKeyframeMovie movie = MovieOfLengths({10, 1});
    const auto& keyframes = movie.GetKeyframes();
    EXPECT_EQ(movie.GetKeyframeStart(*keyframes[0]), 0u);
    EXPECT_EQ(movie.GetKeyframeEnd(*keyframes[0]), 9u);
    EXPECT_EQ(movie.GetKeyframeStart(*keyframes[1]), 10u);
    EXPECT_EQ(movie.GetKeyframeEnd(*keyframes[1]), 10u);
    EXPECT_EQ(movie.GetKeyframesLength(), 11u);
    EXPECT_EQ(movie.GetTimepointSequencesLength(), 0u);
    EXPECT_EQ(movie.GetLength(), 11u);

    movie.AppendTimepointSequence(XSequence(1, 5, 0));
    movie.AppendTimepointSequence(XSequence(2, 15, 5));
    EXPECT_EQ(movie.GetTimepointSequenceEnd(movie.GetTimepointSequence(1)), 19u);
    EXPECT_EQ(movie.GetTimepointSequencesLength(), 20u);
    EXPECT_EQ(movie.GetLength(), 20u) << "the longer of keyframes and sequences";

    XAssertRecorder recorder;
    const XVolumeKeyframeMovie::XKeyframe stranger(XBookmark3D(), 3);
    movie.GetKeyframeStart(stranger);
    EXPECT_TRUE(recorder.Has("keyIter != itsKeyframes.end()"));
}

TEST(XVolumeKeyframeMovieFrames, TotalsNeverPassTwoToTheSixtyThird)
{
    XVolumeKeyframeMovie movie = MovieOfLengths({kMax - 1});
    movie.AppendKeyframeTransition(XBookmark3D(), 1);
    EXPECT_EQ(movie.GetKeyframesLength(), kMax);
    EXPECT_THROW(movie.AppendKeyframeTransition(XBookmark3D(), 1), XException);
    EXPECT_THROW(movie.AppendKeyframeTransition(XBookmark3D(), ~uint64_t(0)), XException);
    EXPECT_EQ(movie.GetKeyframeCount(), 2u);
    EXPECT_THROW(movie.SetKeyframeLength(1, 2), XException);
    EXPECT_THROW(movie.SetKeyframeLength(0, ~uint64_t(0)), XException);
    EXPECT_EQ(movie.GetKeyframesLength(), kMax) << "a refused length changed the movie";
    movie.SetKeyframeLength(1, 0);
    movie.SetKeyframeLength(0, kMax);
    EXPECT_EQ(movie.GetKeyframesLength(), kMax) << "the keyframe's own length does not count against it";
}

TEST(XVolumeKeyframeMovieFrames, SequencesRefuseNoFramesAndEndsBeyondTheLimit)
{
    XVolumeKeyframeMovie movie;
    movie.AppendTimepointSequence(XSequence(1, 4, 2));
    XSequence& sequence = movie.GetTimepointSequence(0);
    // Each edit is refused and leaves the sequence at 4 frames from frame 2.
    const std::vector<std::pair<const char*, std::function<void()>>> refused = {
        {"constructed with 0 frames", [] { (void)XSequence(1, 0, 0); }},
        {"constructed ending beyond 2^63", [] { (void)XSequence(1, 2, kMax - 1); }},
        {"constructed with the largest length", [] { (void)XSequence(1, ~uint64_t(0), 5); }},
        {"length set to 0", [&] { sequence.SetLength(0); }},
        {"length set beyond 2^63", [&] { sequence.SetLength(kMax - 1); }},
        {"start set beyond 2^63", [&] { sequence.SetStart(kMax - 3); }},
        {"the largest start", [&] { sequence.SetStart(~uint64_t(0)); }},
    };
    for (const auto& [what, edit] : refused) {
        SCOPED_TRACE(what);
        EXPECT_THROW(edit(), XException);
        EXPECT_EQ(sequence.GetLength(), 4u);
        EXPECT_EQ(sequence.GetStart(), 2u);
    }
    sequence.SetStart(kMax - 4);
    EXPECT_EQ(movie.GetTimepointSequencesLength(), kMax) << "ending exactly at the limit is allowed";
}

TEST(XVolumeKeyframeMovieFrames, FramesBlendBetweenKeyframesAndPastThemShowTheLastOne)
{
    XVolumeKeyframeMovie movie = MovieOfLengths({10, 1});
    XFractionRenderer renderer;
    std::unique_ptr<XBookmark3D> frame(movie.MakeFrameBookmark(renderer, 5));
    EXPECT_EQ(renderer.itsFractions, std::vector<float>{0.5f});
    EXPECT_DOUBLE_EQ(frame->GetSceneState().GetState(kSceneStateFloorHeight)(0, 0), 0.5);
    EXPECT_DOUBLE_EQ(ValueAt(movie, 0), 0.0);
    EXPECT_DOUBLE_EQ(ValueAt(movie, 10), 1.0) << "the last keyframe's own frame shows it";
    movie.AppendTimepointSequence(XSequence(1, 20, 0));
    ASSERT_EQ(movie.GetLength(), 20u);
    EXPECT_DOUBLE_EQ(ValueAt(movie, 15), 1.0);
    EXPECT_DOUBLE_EQ(ValueAt(movie, 19), 1.0);
}

TEST(XVolumeKeyframeMovieFrames, StatesSpanKeyframesThatDoNotSetThem)
{
    // The floor colour is set in keyframes 0 and 2 only; frame 6 lies in keyframe 1.
    XVolumeKeyframeMovie movie;
    movie.AppendKeyframeTransition(Scene({{kSceneStateFloorHeight, 0}, {kSceneStateYZPlane, 0}}), 4);
    movie.AppendKeyframeTransition(Scene({{kSceneStateFloorHeight, 1}}), 4);
    movie.AppendKeyframeTransition(Scene({{kSceneStateFloorHeight, 2}, {kSceneStateYZPlane, 1}}), 1);
    EXPECT_DOUBLE_EQ(ValueAt(movie, 6, kSceneStateYZPlane), 0.75) << "(6 - 0) / (8 - 0)";
    EXPECT_DOUBLE_EQ(ValueAt(movie, 6), 1.5) << "(6 - 4) / (8 - 4)";
}

TEST(XVolumeKeyframeMovieFrames, StateOfOneKeyframeHoldsForTheWholeMovie)
{
    XVolumeKeyframeMovie movie;
    movie.AppendKeyframeTransition(Scene({{kSceneStateFloorHeight, 7}, {kSceneStateOrientator, 1}}), 3);
    movie.AppendKeyframeTransition(Scene({{kSceneStateOrientator, 0}}), 3);
    movie.AppendKeyframeTransition(Scene({{kSceneStateOrientator, 1}, {kSceneStateXYPlane, 0.25}}), 2);
    for (uint64_t t = 0; t < movie.GetLength(); ++t) {
        SCOPED_TRACE(t);
        EXPECT_DOUBLE_EQ(ValueAt(movie, t), 7.0) << "enabled only in the first keyframe";
        EXPECT_DOUBLE_EQ(ValueAt(movie, t, kSceneStateXYPlane), 0.25) << "enabled only in the last keyframe";
        EXPECT_EQ(ValueAt(movie, t, kSceneStateOrientator), t < 3 || t >= 6 ? 1.0 : 0.0)
            << "a flag holds until the next keyframe";
    }
}

TEST(XVolumeKeyframeMovieFrames, ChannelStatesNeedTheChannel)
{
    XVolumeKeyframeMovie movie;
    movie.AppendKeyframeTransition(Scene({{kSceneStateFloorHeight, 0}}, 2), 4);
    movie.AppendKeyframeTransition(Scene({{kSceneStateFloor, 1}}), 4); // channel 0 only
    movie.AppendKeyframeTransition(Scene({{kSceneStateFloorHeight, 8}}, 2), 1);
    EXPECT_DOUBLE_EQ(ValueAt(movie, 2, kSceneStateFloorHeight, 2), 2.0);
    EXPECT_DOUBLE_EQ(ValueAt(movie, 6, kSceneStateFloorHeight, 2), 6.0);
    XRenderer renderer;
    std::unique_ptr<XBookmark3D> frame(movie.MakeFrameBookmark(renderer, 6));
    EXPECT_FALSE(frame->GetSceneState().HasState(kSceneStateFloorHeight, 0));
}

TEST(XVolumeKeyframeMovieFrames, MisuseIsReportedAndStillAnswered)
{
    XAssertRecorder recorder;
    XRenderer renderer;
    const XVolumeKeyframeMovie empty;
    std::unique_ptr<XBookmark3D> none(empty.MakeFrameBookmark(renderer, 0));
    EXPECT_TRUE(recorder.Has("GetKeyframeCount() > 0"));
    EXPECT_TRUE(none->GetSceneState().IsEmpty());

    const XVolumeKeyframeMovie movie = MovieOfLengths({3, 3});
    recorder.Clear();
    std::unique_ptr<XBookmark3D> late(movie.MakeFrameBookmark(renderer, 6));
    EXPECT_TRUE(recorder.Has("inTime < GetLength()"));
    EXPECT_DOUBLE_EQ(late->GetSceneState().GetState(kSceneStateFloorHeight)(0, 0), 1.0);

    XBookmark3D single = Scene({{kSceneStateFloorHeight, 4}});
    single.SetName("only");
    XVolumeKeyframeMovie one;
    one.AppendKeyframeTransition(single, 5);
    recorder.Clear();
    std::unique_ptr<XBookmark3D> copy(one.MakeFrameBookmark(renderer, 2));
    EXPECT_EQ(recorder.GetCount(), 0u);
    EXPECT_EQ(copy->GetSceneState(), single.GetSceneState());
    EXPECT_EQ(copy->GetName(), "only");
}

TEST(XVolumeKeyframeMovieTimepoints, PlaybackDirectionsAndRanges)
{
    const auto run = [](const XSequence& inSequence, uint32_t inCount) {
        XVolumeKeyframeMovie movie;
        movie.AppendTimepointSequence(inSequence);
        std::vector<uint32_t> timepoints;
        for (uint64_t t = inSequence.GetStart(); t < inSequence.GetStart() + inSequence.GetLength(); ++t)
            timepoints.push_back(movie.GetTimepointAtTime(t, 99, inCount));
        return timepoints;
    };
    EXPECT_EQ(run(XSequence(1, 5, 0), 5), (std::vector<uint32_t>{1, 2, 3, 4, 5}));
    EXPECT_EQ(run(XSequence(2, 5, 0), 5), (std::vector<uint32_t>{5, 4, 3, 2, 1}));
    EXPECT_EQ(run(XSequence(1, 9, 3), 5), (std::vector<uint32_t>{1, 2, 2, 3, 3, 4, 4, 5, 5}));
    EXPECT_EQ(run(XSequence(0, 3, 0), 5), (std::vector<uint32_t>{99, 99, 99})) << "playback 0 keeps the current";

    XSequence range(3, 3, 0);
    range.SetTimepointRange(2, 4);
    EXPECT_EQ(run(range, 10), (std::vector<uint32_t>{2, 3, 4}));
    range.SetTimepointRange(3, XVolumeKeyframeMovie::kLastTimepoint);
    EXPECT_EQ(run(range, 7), (std::vector<uint32_t>{3, 5, 7})) << "the end 0xFFFFFFFF is the last timepoint";
    range.SetTimepointRange(20, 30);
    EXPECT_EQ(run(range, 7), (std::vector<uint32_t>{7, 7, 7})) << "a range past the end is clamped";
    EXPECT_EQ(run(XSequence(1, 1, 4), 6), (std::vector<uint32_t>{1})) << "one frame shows the first timepoint";
}

TEST(XVolumeKeyframeMovieTimepoints, FramesOutsideSequences)
{
    XVolumeKeyframeMovie movie;
    movie.AppendTimepointSequence(XSequence(2, 5, 0));
    movie.AppendTimepointSequence(XSequence(1, 5, 10));
    // Between sequences and after them the current timepoint (9) stays.
    for (const auto& [frame, timepoint] : {std::pair{0, 5u}, {4, 1u}, {7, 9u}, {12, 3u}, {15, 9u}})
        EXPECT_EQ(movie.GetTimepointAtTime(uint64_t(frame), 9, 5), timepoint) << "frame " << frame;
    EXPECT_EQ(movie.GetTimepointAtTime(12, 9, 0), 9u) << "no timepoints: nothing to choose";
}

TEST(XVolumeKeyframeMovieTimepoints, InterfaceClampsImpossibleValues)
{
    XSequence sequence(7, 4, 0);
    EXPECT_EQ(sequence.GetPlayback(), XVolumeKeyframeMovie::kPlaybackRange);
    sequence.SetPlayback(1000);
    EXPECT_EQ(sequence.GetPlayback(), XVolumeKeyframeMovie::kPlaybackRange);
    sequence.SetTimepointRange(0, 0);
    EXPECT_EQ(sequence.GetStartTimepoint(), 1u);
    EXPECT_EQ(sequence.GetEndTimepoint(), 1u);

    XVolumeKeyframeMovie movie;
    EXPECT_THROW(movie.SetPlaybackRate(0.0f), XException);
    EXPECT_THROW(movie.SetPlaybackRate(std::numeric_limits<float>::quiet_NaN()), XException);
    EXPECT_EQ(movie.GetPlaybackRate(), 10.0f) << "a refused rate changed the movie";
}

TEST(XVolumeKeyframeMovieEditing, ScaleRoundsAndKeepsAtLeastOneFrame)
{
    XVolumeKeyframeMovie movie = MovieOfLengths({1, 50, 149, 1000});
    movie.AppendTimepointSequence(XSequence(1, 120, 30));
    XVolumeKeyframeMovie::ScaleMovieBy(0.01f, movie);
    EXPECT_EQ(KeyframeLengths(movie), (std::vector<uint64_t>{1, 1, 1, 10}));
    EXPECT_EQ(movie.GetTimepointSequence(0).GetLength(), 1u);
    EXPECT_EQ(movie.GetTimepointSequence(0).GetStart(), 30u) << "starts are not scaled";

    XVolumeKeyframeMovie doubled = MovieOfLengths({3, 5});
    XVolumeKeyframeMovie::ScaleMovieBy(2.5f, doubled);
    EXPECT_EQ(KeyframeLengths(doubled), (std::vector<uint64_t>{8, 13})) << "7.5 and 12.5 round up";
}

TEST(XVolumeKeyframeMovieEditing, ScaleRefusesBadFactorsWithoutChange)
{
    XVolumeKeyframeMovie movie = MovieOfLengths({4, kMax / 4});
    EXPECT_THROW(XVolumeKeyframeMovie::ScaleMovieBy(-1.0f, movie), XException);
    EXPECT_THROW(XVolumeKeyframeMovie::ScaleMovieBy(std::numeric_limits<float>::quiet_NaN(), movie), XException);
    EXPECT_THROW(XVolumeKeyframeMovie::ScaleMovieBy(5.0f, movie), XException) << "beyond 2^63 frames";
    EXPECT_EQ(KeyframeLengths(movie), (std::vector<uint64_t>{4, kMax / 4}));
}

TEST(XVolumeKeyframeMovieEditing, ResizeByFewFramesTouchesTheFirstKeyframes)
{
    const struct {
        uint64_t to;
        std::vector<uint64_t> lengths;
    } cases[] = {{9, {4, 3, 2}} /* the one-frame keyframe goes */, {14, {6, 2, 4, 2}}, {11, {5, 1, 3, 2}}};
    for (const auto& c : cases) {
        XVolumeKeyframeMovie movie = MovieOfLengths({5, 1, 3, 2});
        XVolumeKeyframeMovie::ResizeMovieTo(c.to, movie);
        EXPECT_EQ(KeyframeLengths(movie), c.lengths) << "to " << c.to;
        if (c.to == 9) {
            EXPECT_DOUBLE_EQ(movie.GetKeyframe(1).GetBookmark().GetSceneState().GetState(kSceneStateFloorHeight)(0, 0), 2.0);
        }
    }
}

TEST(XVolumeKeyframeMovieEditing, ResizeByManyFramesScales)
{
    XVolumeKeyframeMovie movie = MovieOfLengths({10, 30});
    XVolumeKeyframeMovie::ResizeMovieTo(80, movie);
    EXPECT_EQ(KeyframeLengths(movie), (std::vector<uint64_t>{20, 60}));
    XVolumeKeyframeMovie::ResizeMovieTo(20, movie);
    EXPECT_EQ(KeyframeLengths(movie), (std::vector<uint64_t>{5, 15}));

    XVolumeKeyframeMovie empty;
    XVolumeKeyframeMovie::ResizeMovieTo(50, empty);
    EXPECT_EQ(empty.GetLength(), 0u) << "nothing to stretch";
    EXPECT_THROW(XVolumeKeyframeMovie::ResizeMovieTo(kMax + 1, movie), XException);
}

TEST(XVolumeKeyframeMovieEditing, CopiesAreDeep)
{
    XVolumeKeyframeMovie movie = MovieOfLengths({3, 4});
    movie.AppendTimepointSequence(XSequence(2, 7, 0));
    XVolumeKeyframeMovie copy(movie);
    std::unique_ptr<XVolumeKeyframeMovie> clone(movie.Clone());
    movie.SetKeyframeLength(0, 100);
    movie.GetKeyframe(0).GetBookmark().GetSceneState().SetStateAndEnable(kSceneStateFloor, X3DMatrix(1, 1, 1.0));
    movie.GetTimepointSequence(0).SetLength(1);
    for (const XVolumeKeyframeMovie* other : {&copy, clone.get()}) {
        EXPECT_EQ(KeyframeLengths(*other), (std::vector<uint64_t>{3, 4}));
        EXPECT_FALSE(other->GetKeyframe(0).GetBookmark().GetSceneState().HasState(kSceneStateFloor));
        EXPECT_EQ(other->GetTimepointSequence(0).GetLength(), 7u);
    }
    copy = movie;
    EXPECT_EQ(KeyframeLengths(copy), (std::vector<uint64_t>{100, 4}));
}

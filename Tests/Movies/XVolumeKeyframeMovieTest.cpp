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

XVolumeKeyframeMovie MovieOfLengths(const std::vector<uint64_t>& inLengths)
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

TEST(XVolumeKeyframeMovieFrames, EditsBeyondTwoToTheSixtyThirdOrOfNoFramesAreRefused)
{
    XVolumeKeyframeMovie movie = MovieOfLengths({kMax - 1, 1});
    EXPECT_EQ(movie.GetKeyframesLength(), kMax);
    movie.AppendTimepointSequence(XSequence(1, 4, 2));
    XSequence& sequence = movie.GetTimepointSequence(0);
    // Each edit is refused and leaves the movie as it was.
    const std::vector<std::pair<const char*, std::function<void()>>> refused = {
        {"a keyframe past the limit", [&] { movie.AppendKeyframeTransition(XBookmark3D(), 1); }},
        {"a keyframe of the largest length", [&] { movie.AppendKeyframeTransition(XBookmark3D(), ~uint64_t(0)); }},
        {"a keyframe made longer", [&] { movie.SetKeyframeLength(1, 2); }},
        {"a keyframe of the largest length set", [&] { movie.SetKeyframeLength(0, ~uint64_t(0)); }},
        {"a sequence constructed with 0 frames", [] { (void)XSequence(1, 0, 0); }},
        {"a sequence constructed ending beyond 2^63", [] { (void)XSequence(1, 2, kMax - 1); }},
        {"a sequence constructed with the largest length", [] { (void)XSequence(1, ~uint64_t(0), 5); }},
        {"a sequence's length set to 0", [&] { sequence.SetLength(0); }},
        {"a sequence's length set beyond 2^63", [&] { sequence.SetLength(kMax - 1); }},
        {"a sequence's start set beyond 2^63", [&] { sequence.SetStart(kMax - 3); }},
        {"the largest start", [&] { sequence.SetStart(~uint64_t(0)); }},
    };
    for (const auto& [what, edit] : refused) {
        SCOPED_TRACE(what);
        EXPECT_THROW(edit(), XException);
        EXPECT_EQ(KeyframeLengths(movie), (std::vector<uint64_t>{kMax - 1, 1}));
        EXPECT_EQ(sequence.GetLength(), 4u);
        EXPECT_EQ(sequence.GetStart(), 2u);
    }
    sequence.SetStart(kMax - 4);
    EXPECT_EQ(movie.GetTimepointSequencesLength(), kMax) << "ending exactly at the limit is allowed";
    movie.SetKeyframeLength(1, 0);
    movie.SetKeyframeLength(0, kMax);
    EXPECT_EQ(movie.GetKeyframesLength(), kMax) << "the keyframe's own length does not count against it";
}

TEST(XVolumeKeyframeMovieFrames, EachStateBlendsBetweenTheKeyframesThatSetIt)
{
    struct XState {
        XRendererStateName name;
        double value;
        uint32_t channel = 0;
    };
    struct XKeyframe {
        std::vector<XState> states;
        uint64_t length;
    };
    struct XProbe {
        uint64_t frame;
        XState expected;
        bool present = true;
    };
    constexpr XRendererStateName kHeight = kSceneStateFloorHeight, kFlag = kSceneStateOrientator;
    const struct {
        const char* what;
        std::vector<XKeyframe> keyframes;
        uint64_t sequence; // frames of a timepoint sequence, 0 for none
        std::vector<XProbe> probes;
    } cases[] = {
        {"past the last keyframe it shows", {{{{kHeight, 0}}, 10}, {{{kHeight, 1}}, 1}}, 20,
         {{0, {kHeight, 0}}, {5, {kHeight, 0.5}}, {10, {kHeight, 1}}, {15, {kHeight, 1}}, {19, {kHeight, 1}}}},
        // (6 - 0) / (8 - 0) of the way for the plane set in keyframes 0 and 2, (6 - 4) / (8 - 4) for the height.
        {"across keyframes that do not set it",
         {{{{kHeight, 0}, {kSceneStateYZPlane, 0}}, 4}, {{{kHeight, 1}}, 4}, {{{kHeight, 2}, {kSceneStateYZPlane, 1}}, 1}}, 0,
         {{6, {kSceneStateYZPlane, 0.75}}, {6, {kHeight, 1.5}}}},
        // Set only in the first or the last keyframe, a state holds throughout; a flag until the next keyframe.
        {"from one keyframe", {{{{kHeight, 7}, {kFlag, 1}}, 3}, {{{kFlag, 0}}, 3}, {{{kFlag, 1}, {kSceneStateXYPlane, 0.25}}, 2}}, 0,
         {{0, {kHeight, 7}}, {7, {kHeight, 7}}, {0, {kSceneStateXYPlane, 0.25}}, {5, {kSceneStateXYPlane, 0.25}}, {0, {kFlag, 1}},
          {2, {kFlag, 1}}, {3, {kFlag, 0}}, {5, {kFlag, 0}}, {6, {kFlag, 1}}, {7, {kFlag, 1}}}},
        {"of its channel", {{{{kHeight, 0, 2}}, 4}, {{{kSceneStateFloor, 1}}, 4}, {{{kHeight, 8, 2}}, 1}}, 0,
         {{2, {kHeight, 2, 2}}, {6, {kHeight, 6, 2}}, {6, {kHeight, 0, 0}, false}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        XVolumeKeyframeMovie movie;
        for (const XKeyframe& keyframe : c.keyframes) {
            XRendererSceneState state;
            for (const XState& s : keyframe.states)
                state.SetStateAndEnable(s.name, X3DMatrix(1, 1, s.value), s.channel);
            movie.AppendKeyframeTransition(XBookmark3D(state), keyframe.length);
        }
        if (c.sequence)
            movie.AppendTimepointSequence(XSequence(1, c.sequence, 0));
        for (const XProbe& p : c.probes) {
            SCOPED_TRACE(testing::Message() << "frame " << p.frame << ", state " << p.expected.name);
            XFractionRenderer renderer;
            std::unique_ptr<XBookmark3D> frame(movie.MakeFrameBookmark(renderer, p.frame));
            const XRendererSceneState& state = frame->GetSceneState();
            ASSERT_EQ(state.HasStateAndEnabled(p.expected.name, p.expected.channel), p.present);
            if (p.present) {
                EXPECT_DOUBLE_EQ(state.GetState(p.expected.name, p.expected.channel)(0, 0), p.expected.value);
            }
        }
    }
    // The renderer's interpolation is asked, with the fraction of the way.
    XFractionRenderer renderer;
    std::unique_ptr<XBookmark3D> frame(MovieOfLengths({10, 1}).MakeFrameBookmark(renderer, 5));
    EXPECT_EQ(renderer.itsFractions, std::vector<float>{0.5f});
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

// Impossible playbacks and timepoint ranges are the edit round trip's (Stream test).
TEST(XVolumeKeyframeMovieTimepoints, ImpossibleRatesAreRefused)
{
    XVolumeKeyframeMovie movie;
    EXPECT_THROW(movie.SetPlaybackRate(0.0f), XException);
    EXPECT_THROW(movie.SetPlaybackRate(std::numeric_limits<float>::quiet_NaN()), XException);
    EXPECT_EQ(movie.GetPlaybackRate(), 10.0f) << "a refused rate changed the movie";
}

TEST(XVolumeKeyframeMovieEditing, ScaleAndResizeRoundKeepAFrameAndRefuseWithoutChange)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const struct {
        const char* what;
        std::vector<uint64_t> lengths;
        bool scale; // else resize
        double by;
        std::vector<uint64_t> expected; // keyframe lengths after, the same when refused
        bool refused = false;
    } cases[] = {
        {"scaled down, each keeps a frame", {1, 50, 149, 1000}, true, 0.01, {1, 1, 1, 10}},
        {"7.5 and 12.5 round up", {3, 5}, true, 2.5, {8, 13}},
        {"a negative factor", {4, kMax / 4}, true, -1, {4, kMax / 4}, true},
        {"a NaN factor", {4, kMax / 4}, true, nan, {4, kMax / 4}, true},
        {"scaled beyond 2^63 frames", {4, kMax / 4}, true, 5, {4, kMax / 4}, true},
        {"resized by few frames: the one-frame keyframe goes", {5, 1, 3, 2}, false, 9, {4, 3, 2}},
        {"resized by few frames, the first ones grow", {5, 1, 3, 2}, false, 14, {6, 2, 4, 2}},
        {"resized to its length", {5, 1, 3, 2}, false, 11, {5, 1, 3, 2}},
        {"resized by many frames: scaled", {10, 30}, false, 80, {20, 60}},
        {"resized by many frames down", {10, 30}, false, 20, {5, 15}},
        {"nothing to stretch", {}, false, 50, {}},
        {"resized beyond 2^63", {10, 30}, false, double(kMax + 1), {10, 30}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        XVolumeKeyframeMovie movie = MovieOfLengths(c.lengths);
        const auto edit = [&] {
            if (c.scale)
                XVolumeKeyframeMovie::ScaleMovieBy(float(c.by), movie);
            else
                XVolumeKeyframeMovie::ResizeMovieTo(uint64_t(c.by), movie);
        };
        if (c.refused) {
            EXPECT_THROW(edit(), XException);
        } else {
            edit();
        }
        EXPECT_EQ(KeyframeLengths(movie), c.expected);
    }
    XVolumeKeyframeMovie dropped = MovieOfLengths({5, 1, 3, 2});
    XVolumeKeyframeMovie::ResizeMovieTo(9, dropped);
    EXPECT_DOUBLE_EQ(dropped.GetKeyframe(1).GetBookmark().GetSceneState().GetState(kSceneStateFloorHeight)(0, 0), 2.0)
        << "the keyframe after the dropped one";
    // Sequence lengths are scaled, their starts are not.
    XVolumeKeyframeMovie sequence;
    sequence.AppendTimepointSequence(XSequence(1, 120, 30));
    XVolumeKeyframeMovie::ScaleMovieBy(0.01f, sequence);
    EXPECT_EQ(sequence.GetTimepointSequence(0).GetLength(), 1u);
    EXPECT_EQ(sequence.GetTimepointSequence(0).GetStart(), 30u);
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

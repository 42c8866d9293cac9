// Storing keyframe movies, reading older layouts, and refusing damaged or hostile streams.
#include "XVolumeKeyframeMovie.h"

#include "XARGB32Volume.h"
#include "XClassRegistry.h"
#include "XDBGetSample.h"
#include "XDataVolumeKeyframeMovie.h"
#include "XException.h"
#include "XRenderer.h"
#include "XSampleDB.h"
#include "XStream.h"

#include <gtest/gtest.h>

#include <functional>
#include <iterator>
#include <limits>
#include <random>

namespace {
using XSequence = XVolumeKeyframeMovie::XTimepointSequence;

std::unique_ptr<XARGB32Volume> MakeThumbnail(uint8_t inShade)
{
    auto thumbnail = std::make_unique<XARGB32Volume>(2, 2, 1);
    thumbnail->Fill(XARGB32Colour(255, inShade, 0, 0));
    return thumbnail;
}

XBookmark3D MakeBookmark(double inHeight, bool inThumbnail = false)
{
    XRendererSceneState state;
    state.SetStateAndEnable(kSceneStateCamera,
                            XRenderer::MakeCameraStateValue(X3DMatrix::ColumnVector(inHeight, 1, 3),
                                                            X3DMatrix::ColumnVector(0, 0, 0),
                                                            X3DMatrix::ColumnVector(0, 1, 0)));
    state.SetStateAndEnable(kSceneStateFloorHeight, X3DMatrix(1, 1, inHeight));
    state.SetState(kSceneStateFloor, X3DMatrix(1, 1, 1.0));
    state.SetStateAndEnable(kSceneStateMergeWeight, X3DMatrix(1, 1, 0.5), 1);
    XBookmark3D bookmark(state);
    if (inThumbnail)
        bookmark.AttachThumbnail(MakeThumbnail(uint8_t(inHeight * 10)));
    return bookmark;
}

XVolumeKeyframeMovie MakeMovie()
{
    XVolumeKeyframeMovie movie("Fly µ");
    movie.SetPlaybackRate(12.5f);
    movie.AppendKeyframeTransition(MakeBookmark(1, true), 10);
    movie.AppendKeyframeTransition(MakeBookmark(2), 5);
    movie.AppendKeyframeTransition(MakeBookmark(3), 1);
    movie.AppendTimepointSequence(XSequence(1, 8, 0));
    XSequence range(3, 12, 8);
    range.SetTimepointRange(2, 6);
    movie.AppendTimepointSequence(range);
    movie.AppendTimepointSequence(XSequence(0, 4, 20));
    return movie;
}

std::vector<uint8_t> Write(const XStorable& inObject)
{
    XStream stream;
    inObject.WriteStream2(stream);
    return stream.GetBuffer();
}

// Reads into a movie that already holds something; on failure it must not change.
// Returns the error code, or -1 when the stream read.
int32_t ReadInto(XVolumeKeyframeMovie& inOutMovie, const std::vector<uint8_t>& inBytes)
{
    const std::vector<uint8_t> before = Write(inOutMovie);
    XStream stream(inBytes);
    try {
        inOutMovie.ReadStream2(stream);
        return -1;
    } catch (const XException& e) {
        EXPECT_EQ(Write(inOutMovie), before) << "a failed read changed the movie: " << e.GetErrorMessage();
        return e.GetErrorCode();
    }
}

struct XOldKeyframe {
    XBookmark3D bookmark;
    uint64_t length;
    const XVolume* thumbnail;
};
struct XOldSequence {
    uint32_t playback;
    uint64_t length;
    uint64_t start;
};

// The start of a movie stream: its version, the name "old", the rate and the keyframe count.
XStream BeginMovie(uint32_t inVersion, float inRate, uint32_t inKeyframes)
{
    XStream stream;
    stream.WriteVersion(inVersion);
    stream.WriteString("old");
    stream.WriteFloat32S(inRate);
    stream.Write32(inKeyframes);
    return stream;
}

// A movie in the layout of major versions 0 and 1.
std::vector<uint8_t> WriteOldMovie(uint32_t inMajor, const std::vector<XOldKeyframe>& inKeyframes,
                                   const std::vector<XOldSequence>& inSequences)
{
    XStream stream = BeginMovie((inMajor << 16) | 0x3B00, 15.0f, uint32_t(inKeyframes.size()));
    for (const XOldKeyframe& keyframe : inKeyframes) {
        XClassRegistry::WriteObject(stream, keyframe.bookmark);
        stream.Write64(keyframe.length);
        stream.Write8(keyframe.thumbnail ? 1 : 0);
        if (keyframe.thumbnail)
            XBookmark3D::WriteThumbnail(stream, *keyframe.thumbnail);
    }
    stream.Write32(uint32_t(inSequences.size()));
    for (const XOldSequence& sequence : inSequences) {
        stream.Write32(sequence.playback);
        stream.Write64(sequence.length);
        stream.Write64(sequence.start);
    }
    return stream.GetBuffer();
}

// The stream of a movie with one sequence whose fields are given.
std::vector<uint8_t> WriteWithSequence(uint32_t inPlayback, uint64_t inLength, uint64_t inStart, uint32_t inFirst,
                                       uint32_t inLast)
{
    XStream stream = BeginMovie(XVolumeKeyframeMovie::kClassVersion, 10.0f, 0);
    stream.Write32(1);
    stream.Write32(inPlayback);
    stream.Write64(inLength);
    stream.Write64(inStart);
    stream.Write32(inFirst);
    stream.Write32(inLast);
    return stream.GetBuffer();
}

} // namespace

// The movie's keyframes hold states set and disabled, of several channels, and a
// thumbnail: their round trips are tested here too.
TEST(XVolumeKeyframeMovieStream, RoundTripIsByteForByte)
{
    const XVolumeKeyframeMovie movie = MakeMovie();
    const std::vector<uint8_t> bytes = Write(movie);
    EXPECT_EQ(bytes.size(), movie.GetStreamUsage()) << "the usage is what is written";

    XVolumeKeyframeMovie read;
    ASSERT_EQ(ReadInto(read, bytes), -1);
    EXPECT_EQ(Write(read), bytes) << "name, keyframes, thumbnail and sequences read";

    const XVolumeKeyframeMovie empty;
    XVolumeKeyframeMovie emptyRead = MakeMovie();
    EXPECT_EQ(ReadInto(emptyRead, Write(empty)), -1);
    EXPECT_EQ(emptyRead.GetKeyframeCount(), 0u);
    EXPECT_EQ(Write(emptyRead), Write(empty));
}

TEST(XVolumeKeyframeMovieStream, RegisteredWhenTheModuleLoadsAndKeptByTheDatabase)
{
    // Nothing in this test program registers the classes: loading the module must have,
    // or the movie and its bookmarks do not read below.
    EXPECT_TRUE(XClassRegistry::IsRegistered("XRendererSceneState"));
    const XVolumeKeyframeMovie movie = MakeMovie();
    auto sample = std::make_unique<XDataVolumeKeyframeMovie>(movie);
    sample->SetName("Movie 1");
    for (const XStorable* object : {static_cast<const XStorable*>(&movie), static_cast<const XStorable*>(sample.get())}) {
        XStream stream;
        XClassRegistry::WriteObject(stream, *object);
        stream.Rewind();
        std::unique_ptr<XStorable> read = XClassRegistry::ReadObject(stream);
        if (auto* readSample = dynamic_cast<XDataVolumeKeyframeMovie*>(read.get())) {
            EXPECT_EQ(readSample->GetName(), "Movie 1");
            EXPECT_EQ(Write(readSample->GetObject()), Write(movie));
        } else {
            ASSERT_NE(dynamic_cast<XVolumeKeyframeMovie*>(read.get()), nullptr) << object->GetClassName();
            EXPECT_EQ(Write(*read), Write(movie));
        }
    }

    const uint32_t id = XSampleDB::GetDB().AddSample(std::move(sample));
    EXPECT_TRUE(XSampleDB::GetDB().GetSampleType(id).IsA(XVersion(XVolumeKeyframeMovie::kSampleType)));
    EXPECT_EQ(XDBGetSample<XDataVolumeKeyframeMovie>(id)->GetObject().GetLength(), movie.GetLength());
    XSampleDB::GetDB().RemoveSample(id);
}

TEST(XVolumeKeyframeMovieStream, OlderMajorVersionsRead)
{
    const auto thumbnail = MakeThumbnail(77);
    const std::vector<XOldKeyframe> keyframes = {{MakeBookmark(1), 6, thumbnail.get()}, {MakeBookmark(2), 2, nullptr}};
    // Stored starts are junk in these versions; playback 0 sequences are dropped but
    // still take their frames, and may be empty.
    const std::vector<XOldSequence> sequences = {{1, 4, 999}, {0, 3, 0}, {0, 0, 7}, {2, 5, 12345}};
    for (uint32_t major : {0u, 1u}) {
        SCOPED_TRACE(major);
        XVolumeKeyframeMovie movie;
        ASSERT_EQ(ReadInto(movie, WriteOldMovie(major, keyframes, sequences)), -1);
        EXPECT_EQ(movie.GetName(), "old");
        EXPECT_EQ(movie.GetPlaybackRate(), 15.0f);
        ASSERT_EQ(movie.GetKeyframeCount(), 2u);
        EXPECT_EQ(movie.GetKeyframe(0).GetLength(), 6u);
        ASSERT_NE(movie.GetKeyframe(0).GetThumbnail(), nullptr);
        EXPECT_EQ(static_cast<const XARGB32Volume*>(movie.GetKeyframe(0).GetThumbnail())->GetVoxel(0, 0),
                  XARGB32Colour(255, 77, 0, 0));
        EXPECT_EQ(movie.GetKeyframe(1).GetThumbnail(), nullptr);
        EXPECT_EQ(movie.GetKeyframe(1).GetBookmark().GetSceneState(), MakeBookmark(2).GetSceneState());

        ASSERT_EQ(movie.GetTimepointSequenceCount(), 2u);
        const XSequence& first = movie.GetTimepointSequence(0);
        const XSequence& second = movie.GetTimepointSequence(1);
        EXPECT_EQ(first.GetStart(), 0u);
        EXPECT_EQ(first.GetLength(), 4u);
        EXPECT_EQ(second.GetPlayback(), XVolumeKeyframeMovie::kPlaybackBackwards);
        EXPECT_EQ(second.GetStart(), 7u) << "4 + 3: the dropped sequence keeps its frames";
        EXPECT_EQ(second.GetStartTimepoint(), 1u);
        EXPECT_EQ(second.GetEndTimepoint(), XVolumeKeyframeMovie::kLastTimepoint);
        EXPECT_EQ(movie.GetTimepointAtTime(7, 3, 5), 5u);
        EXPECT_EQ(movie.GetTimepointAtTime(5, 3, 5), 3u) << "frames of the dropped sequence keep the timepoint";

        // Written again, it is a current movie that reads back the same.
        XVolumeKeyframeMovie again;
        ASSERT_EQ(ReadInto(again, Write(movie)), -1);
        EXPECT_EQ(Write(again), Write(movie));
    }
}

TEST(XVolumeKeyframeMovieStream, ForeignNewerAndImpossibleStreamsAreRefused)
{
    const std::vector<uint8_t> bytes = Write(MakeMovie());
    const auto patched = [&](size_t inAt, uint8_t inValue) {
        std::vector<uint8_t> copy = bytes;
        copy[inAt] = inValue;
        return copy;
    };
    // A keyframe object of another storable class.
    XStream other = BeginMovie(XVolumeKeyframeMovie::kClassVersion, 10.0f, 1);
    XClassRegistry::WriteObject(other, MakeBookmark(1).GetSceneState());
    other.Write64(5);
    other.Write32(0);

    constexpr uint64_t kMax = XVolumeKeyframeMovie::kMaxFrames;
    // A current stream with the given rate and a keyframe count but no keyframes.
    const auto header = [](float inRate, uint32_t inKeyframes) {
        XStream s = BeginMovie(XVolumeKeyframeMovie::kClassVersion, inRate, inKeyframes);
        s.Write32(0);
        return s.GetBuffer();
    };
    const struct {
        const char* what;
        std::vector<uint8_t> bytes;
        int32_t code; // -1: reads
    } cases[] = {
        {"a well-formed range", WriteWithSequence(3, 4, 0, 2, 3), -1},
        {"major 3", patched(2, 3), XException::kStreamNewerVersion},
        {"type 0x3B01", patched(0, 1), XException::kStreamWrongClass},
        {"a keyframe of another class", other.GetBuffer(), XException::kStreamWrongClass},
        {"playback 4", WriteWithSequence(4, 4, 0, 1, 3), XException::kStreamWrongClass},
        {"timepoint 0", WriteWithSequence(1, 4, 0, 0, 3), XException::kStreamWrongClass},
        {"0 frames", WriteWithSequence(1, 0, 0, 1, 3), XException::kStreamWrongClass},
        {"0 frames keeping the timepoint", WriteWithSequence(0, 0, 0, 1, 3), XException::kStreamWrongClass},
        {"ends beyond 2^63", WriteWithSequence(1, 2, kMax - 1, 1, 3), XException::kStreamCorrupt},
        {"an old empty sequence that plays timepoints", WriteOldMovie(1, {}, {{2, 0, 0}}), XException::kStreamWrongClass},
        {"an old empty sequence keeping the timepoint", WriteOldMovie(1, {}, {{0, 0, 0}}), -1},
        {"old sequences laid end to end beyond 2^63",
         WriteOldMovie(1, {}, {{1, uint64_t(1) << 62, 0}, {1, uint64_t(1) << 62, 0}, {1, 1, 0}}), XException::kStreamCorrupt},
        {"keyframes beyond 2^63",
         WriteOldMovie(0, {{MakeBookmark(1), kMax, nullptr}, {MakeBookmark(2), 1, nullptr}}, {}), XException::kStreamCorrupt},
        {"a NaN playback rate", header(std::numeric_limits<float>::quiet_NaN(), 0), XException::kStreamCorrupt},
        {"a count beyond the bytes", header(10.0f, 0xFFFFFFFFu), XException::kStreamCorrupt},
    };
    for (const auto& c : cases) {
        XVolumeKeyframeMovie target = MakeMovie();
        EXPECT_EQ(ReadInto(target, c.bytes), c.code) << c.what;
    }
}

// Flipped bytes are the fuzzer's (Fuzz/FuzzMovieReader.cpp): it holds whatever reads to
// the same round trip.
TEST(XVolumeKeyframeMovieStream, TruncatedStreamsFailCleanly)
{
    const std::vector<uint8_t> bytes = Write(MakeMovie());
    for (size_t length = 0; length < bytes.size(); ++length) {
        XVolumeKeyframeMovie target = MakeMovie();
        const int32_t code = ReadInto(target, std::vector<uint8_t>(bytes.begin(), bytes.begin() + std::ptrdiff_t(length)));
        EXPECT_NE(code, -1) << "a stream cut to " << length << " bytes read";
    }
}

TEST(XVolumeKeyframeMovieStream, EveryEditedMovieReadsBack)
{
    constexpr uint64_t kMax = XVolumeKeyframeMovie::kMaxFrames;
    const uint64_t frames[] = {0, 1, 2, 7, kMax / 2, kMax - 1, kMax, kMax + 1, ~uint64_t(0)};
    const uint32_t words[] = {0, 1, 2, 3, 4, 5, 0xFFFFFFFEu, 0xFFFFFFFFu};
    const float rates[] = {10.0f, 0.001f, std::numeric_limits<float>::denorm_min(), std::numeric_limits<float>::max(),
                           0.0f, -1.0f, std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity()};
    const float factors[] = {0.0f, 0.01f, 0.5f, 2.0f, 1e30f, -1.0f, std::numeric_limits<float>::quiet_NaN()};
    const char* const names[] = {"", "Fly µ", "tab\there", "x"};
    const double inf = std::numeric_limits<double>::infinity();
    const X3DMatrix values[] = {X3DMatrix(1, 1, -0.0), X3DMatrix::UnitMatrix(4), X3DMatrix(), X3DMatrix(64, 64, 1.0),
                                X3DMatrix(65, 64, 1.0), X3DMatrix(1, 1, std::numeric_limits<double>::quiet_NaN()),
                                X3DMatrix::ColumnVector(1, -inf, 0)};
    const uint32_t channels[] = {0, 2, XRendererSceneState::kMaxChannels - 1, XRendererSceneState::kMaxChannels};

    std::mt19937_64 random(20261207);
    const auto pick = [&](const auto& inValues) { return inValues[random() % std::size(inValues)]; };
    const auto index = [&](size_t inCount) { return inCount == 0 ? size_t(0) : size_t(random() % (inCount + 1)); };
    // Each edit may be refused; the index may be one past the end on purpose.
    const std::vector<std::pair<const char*, std::function<void(XVolumeKeyframeMovie&)>>> edits = {
        {"append keyframe",
         [&](XVolumeKeyframeMovie& m) { m.AppendKeyframeTransition(MakeBookmark(double(random() % 5), random() % 3 == 0), pick(frames)); }},
        {"set keyframe length", [&](XVolumeKeyframeMovie& m) { m.SetKeyframeLength(index(m.GetKeyframeCount()), pick(frames)); }},
        {"set a keyframe's state",
         [&](XVolumeKeyframeMovie& m) {
             XRendererSceneState& state = m.GetKeyframe(index(m.GetKeyframeCount())).GetBookmark().GetSceneState();
             state.SetStateAndEnable(XRendererStateName(random() % 40), pick(values), pick(channels));
         }},
        {"remove keyframe", [&](XVolumeKeyframeMovie& m) { m.RemoveKeyframe(index(m.GetKeyframeCount())); }},
        {"append sequence",
         [&](XVolumeKeyframeMovie& m) { m.AppendTimepointSequence(XSequence(pick(words), pick(frames), pick(frames))); }},
        {"set sequence length",
         [&](XVolumeKeyframeMovie& m) { m.GetTimepointSequence(index(m.GetTimepointSequenceCount())).SetLength(pick(frames)); }},
        {"set sequence start",
         [&](XVolumeKeyframeMovie& m) { m.GetTimepointSequence(index(m.GetTimepointSequenceCount())).SetStart(pick(frames)); }},
        {"set playback",
         [&](XVolumeKeyframeMovie& m) { m.GetTimepointSequence(index(m.GetTimepointSequenceCount())).SetPlayback(pick(words)); }},
        {"set timepoints",
         [&](XVolumeKeyframeMovie& m) {
             m.GetTimepointSequence(index(m.GetTimepointSequenceCount())).SetTimepointRange(pick(words), pick(words));
         }},
        {"remove sequence", [&](XVolumeKeyframeMovie& m) { m.RemoveTimepointSequence(index(m.GetTimepointSequenceCount())); }},
        {"set rate", [&](XVolumeKeyframeMovie& m) { m.SetPlaybackRate(pick(rates)); }},
        {"set name", [&](XVolumeKeyframeMovie& m) { m.SetName(pick(names)); }},
        {"scale", [&](XVolumeKeyframeMovie& m) { XVolumeKeyframeMovie::ScaleMovieBy(pick(factors), m); }},
        {"resize", [&](XVolumeKeyframeMovie& m) {
             const uint64_t length = m.GetLength();
             XVolumeKeyframeMovie::ResizeMovieTo(random() % 2 ? pick(frames) : length + 1 - random() % 3, m);
         }},
    };

    XVolumeKeyframeMovie movie;
    size_t accepted = 0, refused = 0;
    for (int step = 0; step < 3000 && !::testing::Test::HasFailure(); ++step) {
        const auto& [what, edit] = edits[random() % edits.size()];
        SCOPED_TRACE(::testing::Message() << "step " << step << ": " << what);
        const std::vector<uint8_t> before = Write(movie);
        try {
            edit(movie);
            ++accepted;
        } catch (const XException&) {
            ++refused;
            ASSERT_EQ(Write(movie), before) << "a refused edit changed the movie";
        }
        const std::vector<uint8_t> bytes = Write(movie);
        ASSERT_EQ(bytes.size(), movie.GetStreamUsage());
        XVolumeKeyframeMovie read;
        ASSERT_EQ(ReadInto(read, bytes), -1) << "a movie the interface built does not read back";
        ASSERT_EQ(Write(read), bytes);
        // Keep the movie small enough to stay quick.
        if (movie.GetKeyframeCount() > 6)
            movie.RemoveKeyframe(0);
        if (movie.GetTimepointSequenceCount() > 6)
            movie.RemoveTimepointSequence(0);
    }
    // The edge values must lead to both outcomes, or the run proves little.
    EXPECT_GT(accepted, 1000u);
    EXPECT_GT(refused, 300u);
}

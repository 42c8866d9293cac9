#include "XVolumeKeyframeMovie.h"

#include "XAssert.h"
#include "XClassRegistry.h"
#include "XDataVolumeKeyframeMovie.h"
#include "XException.h"
#include "XRenderer.h"
#include "XStream.h"
#include "XVolume.h"

#include <algorithm>
#include <cmath>
#include <set>
#include <vector>

namespace {
// Loading the module makes its stored classes known to the host.
struct XRegistrar {
    XRegistrar() { XVolumeKeyframeMovie::RegisterClasses(); }
} sRegistrar;

// Bytes a stored keyframe takes at the least: the class name's length field and the length.
constexpr size_t kMinKeyframeBytes = 4 + 8;
constexpr size_t kSequenceBytes = 4 + 8 + 8 + 4 + 4;
constexpr size_t kOldSequenceBytes = 4 + 8 + 8;

// a + b, or kMaxFrames + 1 when that would pass kMaxFrames (it never wraps).
uint64_t AddFrames(uint64_t inA, uint64_t inB)
{
    const uint64_t limit = XVolumeKeyframeMovie::kMaxFrames;
    if (inA > limit || inB > limit - inA)
        return limit + 1;
    return inA + inB;
}

XException TooLong(const char* inWhat)
{
    return XException(XException::kBadArgument,
                      XString("The movie would become too long: %1 would end beyond frame 2^63. Use fewer frames.")
                          .Replace(inWhat));
}

XException BadStoredValue(const XString& inWhat)
{
    return XException(XException::kStreamWrongClass,
                      XString("The stored movie is not a valid keyframe movie: %1. The data is damaged or was "
                              "written by another program; store the movie again.")
                          .Replace(inWhat));
}

XException StoredTooLong()
{
    return XException(XException::kStreamCorrupt,
                      "The stored movie claims more than 2^63 frames; the data is damaged. Store the movie again.");
}

XException BadIndex(const char* inWhat, size_t inIndex, size_t inCount)
{
    return XException(XException::kBadArgument, XString("There is no %1 %2; the movie has %3.")
                                                     .Replace(inWhat)
                                                     .Replace(int64_t(inIndex))
                                                     .Replace(int64_t(inCount)));
}

// max(1, floor(length x factor + 0.5)), or kMaxFrames + 1 when beyond kMaxFrames.
uint64_t ScaleLength(uint64_t inLength, float inFactor)
{
    const double scaled = std::floor(double(inLength) * double(inFactor) + 0.5);
    if (scaled > double(XVolumeKeyframeMovie::kMaxFrames))
        return XVolumeKeyframeMovie::kMaxFrames + 1;
    return std::max<uint64_t>(1, uint64_t(scaled));
}
} // namespace

// ---------------------------------------------------------------- XKeyframe

XVolumeKeyframeMovie::XKeyframe::XKeyframe(const XBookmark3D& inBookmark, uint64_t inLength)
    : itsBookmark(inBookmark.Clone()), itsLength(inLength)
{
}

XVolumeKeyframeMovie::XKeyframe::XKeyframe(std::unique_ptr<XBookmark3D> inBookmark, uint64_t inLength)
    : itsBookmark(inBookmark ? inBookmark.release() : new XBookmark3D), itsLength(inLength)
{
}

XVolumeKeyframeMovie::XKeyframe::XKeyframe(const XKeyframe& inOther)
    : itsBookmark(inOther.itsBookmark->Clone()), itsLength(inOther.itsLength)
{
}

XVolumeKeyframeMovie::XKeyframe::~XKeyframe()
{
    delete itsBookmark;
}

const XVolume* XVolumeKeyframeMovie::XKeyframe::GetThumbnail() const
{
    return itsBookmark ? itsBookmark->GetThumbnail() : nullptr;
}

void XVolumeKeyframeMovie::XKeyframe::AttachThumbnail(XVolume* inThumbnail)
{
    X_ASSERT(itsBookmark != 0);
    if (itsBookmark)
        itsBookmark->AttachThumbnail(inThumbnail);
    else
        delete inThumbnail;
}

// ---------------------------------------------------------------- XTimepointSequence

XVolumeKeyframeMovie::XTimepointSequence::XTimepointSequence(uint32_t inPlayback, uint64_t inLength, uint64_t inStart)
    : itsPlayback(kPlaybackKeepTimepoint), itsLength(inLength), itsStart(inStart)
{
    CheckFrames(inStart, inLength);
    SetPlayback(inPlayback);
}

void XVolumeKeyframeMovie::XTimepointSequence::CheckFrames(uint64_t inStart, uint64_t inLength)
{
    // The reader refuses both, so a movie holding such a sequence could be stored but never read.
    if (inLength == 0)
        throw XException(XException::kBadArgument,
                         "A timepoint sequence must be at least 1 frame long; give a length of 1 or more.");
    if (AddFrames(inStart, inLength) > kMaxFrames)
        throw TooLong("the timepoint sequence");
}

void XVolumeKeyframeMovie::XTimepointSequence::SetLength(uint64_t inLength)
{
    CheckFrames(itsStart, inLength);
    itsLength = inLength;
}

void XVolumeKeyframeMovie::XTimepointSequence::SetStart(uint64_t inStart)
{
    CheckFrames(inStart, itsLength);
    itsStart = inStart;
}

void XVolumeKeyframeMovie::XTimepointSequence::SetPlayback(uint32_t inPlayback)
{
    itsPlayback = XTimepointPlayback(std::min<uint32_t>(inPlayback, kPlaybackRange));
}

void XVolumeKeyframeMovie::XTimepointSequence::SetTimepointRange(uint32_t inStart, uint32_t inEnd)
{
    itsStartTimepoint = std::max<uint32_t>(inStart, 1);
    itsEndTimepoint = std::max<uint32_t>(inEnd, 1);
}

// ---------------------------------------------------------------- the movie

XVolumeKeyframeMovie::XVolumeKeyframeMovie() = default;

XVolumeKeyframeMovie::XVolumeKeyframeMovie(const XString& inName) : itsName(inName) {}

XVolumeKeyframeMovie::XVolumeKeyframeMovie(const XVolumeKeyframeMovie& inOther)
    : XVersioned(inOther), itsName(inOther.itsName), itsPlaybackRate(inOther.itsPlaybackRate)
{
    try {
        for (const XKeyframe* keyframe : inOther.itsKeyframes)
            itsKeyframes.push_back(new XKeyframe(*keyframe));
        for (const XTimepointSequence* sequence : inOther.itsSequences)
            itsSequences.push_back(new XTimepointSequence(*sequence));
    } catch (...) {
        itsKeyframes.DeleteAll();
        itsSequences.DeleteAll();
        throw;
    }
}

XVolumeKeyframeMovie& XVolumeKeyframeMovie::operator=(const XVolumeKeyframeMovie& inOther)
{
    if (this != &inOther) {
        XVolumeKeyframeMovie copy(inOther);
        Swap(copy);
    }
    return *this;
}

XVolumeKeyframeMovie::~XVolumeKeyframeMovie()
{
    itsKeyframes.DeleteAll();
    itsSequences.DeleteAll();
}

void XVolumeKeyframeMovie::Swap(XVolumeKeyframeMovie& inOther) noexcept
{
    std::swap(itsName, inOther.itsName);
    itsKeyframes.swap(inOther.itsKeyframes);
    itsSequences.swap(inOther.itsSequences);
    std::swap(itsPlaybackRate, inOther.itsPlaybackRate);
}

void XVolumeKeyframeMovie::SetPlaybackRate(float inRate)
{
    if (!std::isfinite(inRate) || inRate <= 0.0f)
        throw XException(XException::kBadArgument,
                         XString("A playback rate of %1 frames per second is not possible; give a positive number.")
                             .Replace(double(inRate)));
    itsPlaybackRate = inRate;
}

const XVolumeKeyframeMovie::XKeyframe& XVolumeKeyframeMovie::GetKeyframe(size_t inIndex) const
{
    if (inIndex >= itsKeyframes.size())
        throw BadIndex("keyframe", inIndex, itsKeyframes.size());
    return *itsKeyframes[inIndex];
}

XVolumeKeyframeMovie::XKeyframe& XVolumeKeyframeMovie::GetKeyframe(size_t inIndex)
{
    if (inIndex >= itsKeyframes.size())
        throw BadIndex("keyframe", inIndex, itsKeyframes.size());
    return *itsKeyframes[inIndex];
}

const XVolumeKeyframeMovie::XTimepointSequence& XVolumeKeyframeMovie::GetTimepointSequence(size_t inIndex) const
{
    if (inIndex >= itsSequences.size())
        throw BadIndex("timepoint sequence", inIndex, itsSequences.size());
    return *itsSequences[inIndex];
}

XVolumeKeyframeMovie::XTimepointSequence& XVolumeKeyframeMovie::GetTimepointSequence(size_t inIndex)
{
    if (inIndex >= itsSequences.size())
        throw BadIndex("timepoint sequence", inIndex, itsSequences.size());
    return *itsSequences[inIndex];
}

uint64_t XVolumeKeyframeMovie::GetKeyframeStart(const XKeyframe& inKeyframe) const
{
    auto keyIter = std::find(itsKeyframes.begin(), itsKeyframes.end(), &inKeyframe);
    X_ASSERT(keyIter != itsKeyframes.end());
    uint64_t start = 0;
    for (auto it = itsKeyframes.begin(); it != keyIter; ++it)
        start = AddFrames(start, (*it)->GetLength());
    return start;
}

uint64_t XVolumeKeyframeMovie::GetKeyframeEnd(const XKeyframe& inKeyframe) const
{
    const uint64_t start = GetKeyframeStart(inKeyframe);
    return inKeyframe.GetLength() == 0 ? start : AddFrames(start, inKeyframe.GetLength() - 1);
}

uint64_t XVolumeKeyframeMovie::GetTimepointSequenceEnd(const XTimepointSequence& inSequence) const
{
    return inSequence.GetLength() == 0 ? inSequence.GetStart()
                                       : AddFrames(inSequence.GetStart(), inSequence.GetLength() - 1);
}

uint64_t XVolumeKeyframeMovie::GetKeyframesLength() const
{
    uint64_t length = 0;
    for (const XKeyframe* keyframe : itsKeyframes)
        length = AddFrames(length, keyframe->GetLength());
    return length;
}

uint64_t XVolumeKeyframeMovie::GetTimepointSequencesLength() const
{
    if (itsSequences.empty())
        return 0;
    const XTimepointSequence& last = *itsSequences.back();
    return AddFrames(last.GetStart(), last.GetLength());
}

uint64_t XVolumeKeyframeMovie::GetLength() const
{
    return std::max(GetKeyframesLength(), GetTimepointSequencesLength());
}

void XVolumeKeyframeMovie::AppendKeyframeTransition(const XBookmark3D& inBookmark, uint64_t inLength)
{
    if (AddFrames(GetKeyframesLength(), inLength) > kMaxFrames)
        throw TooLong("the keyframes");
    itsKeyframes.push_back(new XKeyframe(inBookmark, inLength));
}

void XVolumeKeyframeMovie::RemoveKeyframe(size_t inIndex)
{
    if (inIndex >= itsKeyframes.size())
        throw BadIndex("keyframe", inIndex, itsKeyframes.size());
    delete itsKeyframes[inIndex];
    itsKeyframes.erase(itsKeyframes.begin() + std::ptrdiff_t(inIndex));
}

void XVolumeKeyframeMovie::SetKeyframeLength(size_t inIndex, uint64_t inLength)
{
    if (inIndex >= itsKeyframes.size())
        throw BadIndex("keyframe", inIndex, itsKeyframes.size());
    const uint64_t others = GetKeyframesLength() - itsKeyframes[inIndex]->GetLength();
    if (AddFrames(others, inLength) > kMaxFrames)
        throw TooLong("the keyframes");
    itsKeyframes[inIndex]->SetLength(inLength);
}

void XVolumeKeyframeMovie::AppendTimepointSequence(const XTimepointSequence& inSequence)
{
    // The sequence itself guarantees a length of 1 or more and an end within kMaxFrames.
    itsSequences.push_back(new XTimepointSequence(inSequence));
}

void XVolumeKeyframeMovie::RemoveTimepointSequence(size_t inIndex)
{
    if (inIndex >= itsSequences.size())
        throw BadIndex("timepoint sequence", inIndex, itsSequences.size());
    delete itsSequences[inIndex];
    itsSequences.erase(itsSequences.begin() + std::ptrdiff_t(inIndex));
}

size_t XVolumeKeyframeMovie::FindKeyframe(uint64_t inTime) const
{
    uint64_t start = 0;
    for (size_t i = 0; i < itsKeyframes.size(); ++i) {
        const uint64_t length = itsKeyframes[i]->GetLength();
        if (inTime >= start && inTime - start < length)
            return i;
        start = AddFrames(start, length);
    }
    return itsKeyframes.size();
}

XBookmark3D* XVolumeKeyframeMovie::MakeFrameBookmark(const XRenderer& inRenderer, uint64_t inTime) const
{
    X_ASSERT(GetKeyframeCount() > 0);
    X_ASSERT(inTime < GetLength());
    const size_t count = itsKeyframes.size();
    if (count == 0)
        return new XBookmark3D;
    if (count == 1)
        return itsKeyframes[0]->GetBookmark().Clone();

    std::vector<uint64_t> starts(count);
    for (size_t i = 1; i < count; ++i)
        starts[i] = AddFrames(starts[i - 1], itsKeyframes[i - 1]->GetLength());
    // Past the keyframes the movie rests on the last one: no later keyframe is
    // found below, so every state keeps the value it reached there.
    size_t k = FindKeyframe(inTime);
    if (k == count)
        k = count - 1;

    uint32_t channels = 0;
    for (const XKeyframe* keyframe : itsKeyframes)
        channels = std::max(channels, keyframe->GetBookmark().GetSceneState().GetChannelCount());

    XRendererSceneState result;
    for (uint32_t channel = 0; channel < channels; ++channel) {
        std::set<XRendererStateName> names;
        for (const XKeyframe* keyframe : itsKeyframes) {
            const XVector<XRendererStateName> enabled = keyframe->GetBookmark().GetSceneState().GetEnabledStates(channel);
            names.insert(enabled.begin(), enabled.end());
        }
        for (XRendererStateName name : names) {
            const auto defines = [&](size_t inIndex) {
                const XRendererSceneState& state = itsKeyframes[inIndex]->GetBookmark().GetSceneState();
                return state.GetChannelCount() > channel && state.HasStateAndEnabled(name, channel);
            };
            size_t earlier = count, later = count;
            for (size_t j = k + 1; j-- > 0;)
                if (defines(j)) {
                    earlier = j;
                    break;
                }
            for (size_t j = k + 1; j < count; ++j)
                if (defines(j)) {
                    later = j;
                    break;
                }
            X3DMatrix value;
            if (later == count) {
                value = itsKeyframes[earlier]->GetBookmark().GetSceneState().GetState(name, channel);
            } else if (earlier == count) {
                value = itsKeyframes[later]->GetBookmark().GetSceneState().GetState(name, channel);
            } else {
                // The frame lies in keyframe k, so start(earlier) <= t < start(later).
                const double fraction =
                    double(inTime - starts[earlier]) / double(starts[later] - starts[earlier]);
                value = inRenderer.GetStateValueAtTime(name, channel,
                                                       itsKeyframes[earlier]->GetBookmark().GetSceneState(),
                                                       itsKeyframes[later]->GetBookmark().GetSceneState(),
                                                       float(fraction));
            }
            result.SetStateAndEnable(name, value, channel);
        }
    }
    return new XBookmark3D(result);
}

uint32_t XVolumeKeyframeMovie::GetTimepointAtTime(uint64_t inTime, uint32_t inCurrent, uint32_t inCount) const
{
    const XTimepointSequence* sequence = nullptr;
    for (const XTimepointSequence* candidate : itsSequences)
        if (candidate->Contains(inTime)) {
            sequence = candidate;
            break;
        }
    if (!sequence || sequence->GetPlayback() == kPlaybackKeepTimepoint || inCount == 0)
        return inCurrent;

    uint32_t from = 1, to = inCount;
    switch (sequence->GetPlayback()) {
    case kPlaybackBackwards:
        std::swap(from, to);
        break;
    case kPlaybackRange:
        from = std::clamp<uint32_t>(sequence->GetStartTimepoint(), 1, inCount);
        to = std::clamp<uint32_t>(sequence->GetEndTimepoint(), 1, inCount);
        break;
    default:
        break;
    }
    if (sequence->GetLength() == 1 || from == to)
        return from;
    const float step = (float(to) - float(from)) / float(sequence->GetLength() - 1);
    const float value = std::floor(step * float(inTime - sequence->GetStart()) + float(from) + 0.5f);
    // Rounding in float must not step outside the range.
    return uint32_t(std::clamp(value, float(std::min(from, to)), float(std::max(from, to))));
}

void XVolumeKeyframeMovie::ScaleMovieBy(float inFactor, XVolumeKeyframeMovie& inOutMovie)
{
    if (!std::isfinite(inFactor) || inFactor < 0.0f)
        throw XException(XException::kBadArgument,
                         XString("A movie cannot be scaled by %1; give a positive factor.").Replace(double(inFactor)));
    // Work out every new length first, so that a movie that would grow too long is left as it was.
    std::vector<uint64_t> keyframeLengths;
    uint64_t total = 0;
    for (const XKeyframe* keyframe : inOutMovie.itsKeyframes) {
        keyframeLengths.push_back(ScaleLength(keyframe->GetLength(), inFactor));
        total = AddFrames(total, keyframeLengths.back());
    }
    if (total > kMaxFrames)
        throw TooLong("the keyframes");
    std::vector<uint64_t> sequenceLengths;
    for (const XTimepointSequence* sequence : inOutMovie.itsSequences) {
        sequenceLengths.push_back(ScaleLength(sequence->GetLength(), inFactor));
        if (AddFrames(sequence->GetStart(), sequenceLengths.back()) > kMaxFrames)
            throw TooLong("a timepoint sequence");
    }
    for (size_t i = 0; i < keyframeLengths.size(); ++i)
        inOutMovie.itsKeyframes[i]->SetLength(keyframeLengths[i]);
    for (size_t i = 0; i < sequenceLengths.size(); ++i)
        inOutMovie.itsSequences[i]->SetLength(sequenceLengths[i]);
}

void XVolumeKeyframeMovie::ResizeMovieTo(uint64_t inLength, XVolumeKeyframeMovie& inOutMovie)
{
    const uint64_t length = inOutMovie.GetLength();
    if (inLength == length)
        return;
    if (inLength > kMaxFrames)
        throw TooLong("the movie");
    // A movie without frames has nothing to stretch.
    if (length == 0)
        return;
    const uint64_t change = inLength > length ? inLength - length : length - inLength;
    XPtrVector<XKeyframe>& keyframes = inOutMovie.itsKeyframes;
    if (change >= keyframes.size()) {
        ScaleMovieBy(float(double(inLength) / double(length)), inOutMovie);
        return;
    }
    const bool shorten = inLength < length;
    if (!shorten && AddFrames(inOutMovie.GetKeyframesLength(), change) > kMaxFrames)
        throw TooLong("the keyframes");
    // Backwards, so that removing a keyframe leaves the indices still to visit alone.
    for (size_t i = size_t(change); i-- > 0;) {
        XKeyframe* keyframe = keyframes[i];
        if (!shorten)
            keyframe->SetLength(keyframe->GetLength() + 1);
        else if (keyframe->GetLength() > 1)
            keyframe->SetLength(keyframe->GetLength() - 1);
        else {
            delete keyframe;
            keyframes.erase(keyframes.begin() + std::ptrdiff_t(i));
        }
    }
}

// ---------------------------------------------------------------- storage

size_t XVolumeKeyframeMovie::GetStreamUsage() const
{
    size_t bytes = 4 + 4 + itsName.GetLength() + 4 + 4;
    for (const XKeyframe* keyframe : itsKeyframes)
        bytes += XClassRegistry::GetObjectStreamUsage(keyframe->GetBookmark()) + 8;
    return bytes + 4 + kSequenceBytes * itsSequences.size();
}

void XVolumeKeyframeMovie::WriteStream2(XStream& inStream) const
{
    inStream.WriteVersion(kClassVersion);
    inStream.WriteString(itsName);
    inStream.WriteFloat32S(itsPlaybackRate);
    inStream.Write32(uint32_t(itsKeyframes.size()));
    for (const XKeyframe* keyframe : itsKeyframes) {
        XClassRegistry::WriteObject(inStream, keyframe->GetBookmark());
        inStream.Write64(keyframe->GetLength());
    }
    inStream.Write32(uint32_t(itsSequences.size()));
    for (const XTimepointSequence* sequence : itsSequences) {
        inStream.Write32(sequence->GetPlayback());
        inStream.Write64(sequence->GetLength());
        inStream.Write64(sequence->GetStart());
        inStream.Write32(sequence->GetStartTimepoint());
        inStream.Write32(sequence->GetEndTimepoint());
    }
}

void XVolumeKeyframeMovie::ReadStream2(XStream& inStream)
{
    const uint32_t major = XVersion(ReadClassVersion(inStream, kClassVersion)).GetMajor();
    XVolumeKeyframeMovie read;
    read.itsName = inStream.ReadString("the movie's name");
    const float rate = inStream.ReadFloat32S("the movie's playback rate");
    if (!std::isfinite(rate) || rate <= 0.0f)
        throw XException(XException::kStreamCorrupt,
                         "The stored movie has a playback rate that is not a positive number; the data is damaged. "
                         "Store the movie again.");
    read.itsPlaybackRate = rate;

    const uint32_t keyframeCount = inStream.ReadCount(kMinKeyframeBytes, "the movie's keyframe count");
    uint64_t keyframesLength = 0;
    for (uint32_t i = 0; i < keyframeCount; ++i) {
        std::unique_ptr<XBookmark3D> bookmark =
            XClassRegistry::ReadObjectOfClass<XBookmark3D>(inStream, XBookmark3D::kClassName);
        const uint64_t length = inStream.Read64("a keyframe's length");
        keyframesLength = AddFrames(keyframesLength, length);
        if (keyframesLength > kMaxFrames)
            throw StoredTooLong();
        if (major <= 1 && inStream.Read8("a keyframe's thumbnail flag") != 0)
            bookmark->AttachThumbnail(XBookmark3D::ReadThumbnail(inStream));
        read.itsKeyframes.push_back(new XKeyframe(std::move(bookmark), length));
    }

    const uint32_t sequenceCount =
        inStream.ReadCount(major < 2 ? kOldSequenceBytes : kSequenceBytes, "the movie's timepoint sequence count");
    uint64_t laidOut = 0; // older movies lay their sequences end to end
    for (uint32_t i = 0; i < sequenceCount; ++i) {
        const uint32_t playback = inStream.Read32("a timepoint sequence's playback");
        const uint64_t length = inStream.Read64("a timepoint sequence's length");
        uint64_t start = inStream.Read64("a timepoint sequence's start");
        uint32_t startTimepoint = 1, endTimepoint = kLastTimepoint;
        if (major >= 2) {
            startTimepoint = inStream.Read32("a timepoint sequence's start timepoint");
            endTimepoint = inStream.Read32("a timepoint sequence's end timepoint");
        } else {
            start = laidOut;
        }
        if (playback > kPlaybackRange)
            throw BadStoredValue(XString("a timepoint sequence has the unknown playback %1").Replace(int64_t(playback)));
        const uint64_t end = AddFrames(start, length);
        if (end > kMaxFrames)
            throw StoredTooLong();
        if (major < 2) {
            laidOut = end;
            // Those versions skipped such sequences, so their length, even 0, never mattered.
            if (playback == kPlaybackKeepTimepoint)
                continue;
        }
        if (length == 0)
            throw BadStoredValue("a timepoint sequence is 0 frames long");
        if (startTimepoint == 0)
            throw BadStoredValue("a timepoint sequence starts at timepoint 0 (timepoints count from 1)");
        XTimepointSequence sequence(playback, length, start);
        sequence.SetTimepointRange(startTimepoint, endTimepoint);
        read.itsSequences.push_back(new XTimepointSequence(sequence));
    }
    Swap(read);
}

void XVolumeKeyframeMovie::RegisterClasses()
{
    XClassRegistry::RegisterClass(kClassName, [] { return std::make_unique<XVolumeKeyframeMovie>(); });
    XDataVolumeKeyframeMovie::RegisterClass();
}

#pragma once
// A fly-through movie of a 3D view: keyframes (stored views, each with the number
// of frames its transition to the next one takes) and timepoint sequences (which
// timepoint of a time-lapse volume is shown during which frames). For any frame it
// gives the view to render (MakeFrameBookmark, interpolated by the renderer) and
// the timepoint to show (GetTimepointAtTime).
//
// Frames are counted from 0 in unsigned 64-bit numbers. Keyframe k covers the frames
// [start(k), start(k) + length(k)), start(k) being the sum of the lengths before it;
// a timepoint sequence covers [start, start + length). A keyframe of length 0 covers
// no frame; a sequence is at least one frame long. Totals are kept at or below
// kMaxFrames, so frame sums never wrap and every movie that can be built can be stored.
#include "XBookmark3D.h"
#include "XPtrVector.h"
#include "XString.h"
#include "XVersioned.h"

#include <cstdint>
#include <memory>

class XRenderer;
class XVolume;

class XVolumeKeyframeMovie : public XVersioned {
public:
    enum XTimepointPlayback : uint32_t {
        kPlaybackKeepTimepoint = 0, // the view's current timepoint
        kPlaybackForwards = 1,      // first to last timepoint
        kPlaybackBackwards = 2,     // last to first timepoint
        kPlaybackRange = 3,         // the sequence's start timepoint to its end timepoint
    };
    static constexpr uint64_t kMaxFrames = uint64_t(1) << 63;
    static constexpr float kDefaultPlaybackRate = 10.0f;
    static constexpr uint32_t kLastTimepoint = 0xFFFFFFFFu;

    class XKeyframe {
    public:
        // Stores a clone of the bookmark.
        XKeyframe(const XBookmark3D& inBookmark, uint64_t inLength);
        // Takes the bookmark (null is replaced by an empty one).
        XKeyframe(std::unique_ptr<XBookmark3D> inBookmark, uint64_t inLength);
        XKeyframe(const XKeyframe& inOther);
        // Not assignable: a keyframe reached through the movie must not take a length
        // that the movie has not checked.
        XKeyframe& operator=(const XKeyframe&) = delete;
        ~XKeyframe();

        const XBookmark3D& GetBookmark() const { return *itsBookmark; }
        XBookmark3D& GetBookmark() { return *itsBookmark; }
        // Frames of the transition from this keyframe to the next. The movie changes
        // it (SetKeyframeLength), since only the movie can keep its total in bounds.
        uint64_t GetLength() const { return itsLength; }

        const XVolume* GetThumbnail() const;
        // Hands the volume to the bookmark, which owns it from then on.
        void AttachThumbnail(XVolume* inThumbnail);

    private:
        friend class XVolumeKeyframeMovie;
        void SetLength(uint64_t inLength) { itsLength = inLength; }

        XBookmark3D* itsBookmark; // owned
        uint64_t itsLength;
    };

    // A sequence always covers at least one frame and ends at or before kMaxFrames:
    // the constructor and the setters refuse anything else (kBadArgument) and leave
    // the sequence as it was, so every sequence a movie holds can be stored.
    class XTimepointSequence {
    public:
        // Start timepoint 1, end timepoint kLastTimepoint. A playback above
        // kPlaybackRange is taken as kPlaybackRange.
        XTimepointSequence(uint32_t inPlayback, uint64_t inLength, uint64_t inStart);

        XTimepointPlayback GetPlayback() const { return itsPlayback; }
        void SetPlayback(uint32_t inPlayback);
        uint64_t GetLength() const { return itsLength; }
        void SetLength(uint64_t inLength);
        uint64_t GetStart() const { return itsStart; }
        void SetStart(uint64_t inStart);
        // Timepoints are counted from 1: a start or end of 0 is taken as 1. An end of
        // kLastTimepoint (or any end past the last) means the last timepoint.
        void SetTimepointRange(uint32_t inStart, uint32_t inEnd);
        uint32_t GetStartTimepoint() const { return itsStartTimepoint; }
        uint32_t GetEndTimepoint() const { return itsEndTimepoint; }
        // Whether the sequence covers the frame.
        bool Contains(uint64_t inTime) const { return inTime >= itsStart && inTime - itsStart < itsLength; }

        bool operator==(const XTimepointSequence& inOther) const = default;

    private:
        static void CheckFrames(uint64_t inStart, uint64_t inLength);

        XTimepointPlayback itsPlayback;
        uint64_t itsLength;
        uint64_t itsStart;
        uint32_t itsStartTimepoint = 1;
        uint32_t itsEndTimepoint = kLastTimepoint;
    };

    XVolumeKeyframeMovie();
    explicit XVolumeKeyframeMovie(const XString& inName);
    XVolumeKeyframeMovie(const XVolumeKeyframeMovie& inOther);
    XVolumeKeyframeMovie& operator=(const XVolumeKeyframeMovie& inOther);
    ~XVolumeKeyframeMovie() override;
    // A new deep copy; the caller owns it.
    XVolumeKeyframeMovie* Clone() const { return new XVolumeKeyframeMovie(*this); }
    void Swap(XVolumeKeyframeMovie& inOther) noexcept;

    const XString& GetName() const { return itsName; }
    void SetName(const XString& inName) { itsName = inName; }
    float GetPlaybackRate() const { return itsPlaybackRate; }
    // Frames per second; a rate that is not a positive finite number is refused
    // (kBadArgument).
    void SetPlaybackRate(float inRate);

    const XPtrVector<XKeyframe>& GetKeyframes() const { return itsKeyframes; }
    size_t GetKeyframeCount() const { return itsKeyframes.size(); }
    // Indices at or past the count throw kBadArgument.
    const XKeyframe& GetKeyframe(size_t inIndex) const;
    XKeyframe& GetKeyframe(size_t inIndex);
    size_t GetTimepointSequenceCount() const { return itsSequences.size(); }
    const XTimepointSequence& GetTimepointSequence(size_t inIndex) const;
    XTimepointSequence& GetTimepointSequence(size_t inIndex);

    // First frame of a keyframe of this movie (asserts that it is one of them).
    uint64_t GetKeyframeStart(const XKeyframe& inKeyframe) const;
    // Last frame of its transition: start + length - 1 (the start itself for a length of 0).
    uint64_t GetKeyframeEnd(const XKeyframe& inKeyframe) const;
    uint64_t GetTimepointSequenceStart(const XTimepointSequence& inSequence) const { return inSequence.GetStart(); }
    // start + length - 1 (the start itself for a length of 0).
    uint64_t GetTimepointSequenceEnd(const XTimepointSequence& inSequence) const;
    // Sum of all keyframe lengths.
    uint64_t GetKeyframesLength() const;
    // Start + length of the last sequence, 0 without sequences.
    uint64_t GetTimepointSequencesLength() const;
    // The larger of the two.
    uint64_t GetLength() const;

    // Appends a keyframe holding a clone of the bookmark. A length that would take
    // the keyframes beyond kMaxFrames throws kBadArgument.
    void AppendKeyframeTransition(const XBookmark3D& inBookmark, uint64_t inLength);
    void RemoveKeyframe(size_t inIndex);
    // A length that would take the keyframes beyond kMaxFrames throws kBadArgument
    // and changes nothing; so does an index at or past the count.
    void SetKeyframeLength(size_t inIndex, uint64_t inLength);
    // Appends a copy.
    void AppendTimepointSequence(const XTimepointSequence& inSequence);
    void RemoveTimepointSequence(size_t inIndex);

    // The view of a frame; the caller owns the result. Each state enabled in any
    // keyframe is interpolated by inRenderer between the nearest keyframes (at or
    // before the frame's keyframe, and after it) that enable it. Frames past the
    // keyframes (timepoint sequences can run longer) show the last keyframe's view.
    XBookmark3D* MakeFrameBookmark(const XRenderer& inRenderer, uint64_t inTime) const;
    // The timepoint (from 1) to show at a frame, given the view's current timepoint
    // and the number of timepoints.
    uint32_t GetTimepointAtTime(uint64_t inTime, uint32_t inCurrent, uint32_t inCount) const;

    // Every keyframe and sequence length becomes max(1, round(length x factor));
    // sequence starts stay. A negative or non-finite factor, or one that would take
    // the movie beyond kMaxFrames, throws kBadArgument and changes nothing.
    static void ScaleMovieBy(float inFactor, XVolumeKeyframeMovie& inOutMovie);
    // Makes the movie inLength frames long: by scaling when the change is at least
    // the keyframe count, else by one frame on each of the first keyframes (keyframes
    // of one frame are removed when shortening).
    static void ResizeMovieTo(uint64_t inLength, XVolumeKeyframeMovie& inOutMovie);

    // Storable. The stream: class version, name, playback rate (32-bit float),
    // keyframe count (u32), per keyframe the bookmark as a stored object and its
    // length (u64), sequence count (u32), per sequence playback (u32), length (u64),
    // start (u64), start and end timepoint (u32 each).
    static constexpr uint32_t kClassVersion = 0x00023B00;
    static constexpr uint32_t kSuperClassVersion = 600;
    static constexpr uint32_t kSampleType = 0x3B01; // sample type of the database form
    static constexpr const char* kClassName = "XVolumeKeyframeMovie";
    static uint32_t GetClassVersion() { return kClassVersion; }
    static uint32_t GetSuperClassVersion() { return kSuperClassVersion; }
    uint32_t GetVersion() const override { return kClassVersion; }
    XString GetClassName() const override { return kClassName; }
    size_t GetStreamUsage() const override;
    void WriteStream2(XStream& inStream) const override;
    // Reads movies of major versions 0 to 2 into a fresh movie and takes it only when
    // the whole stream was read. Another class throws 1005, a newer version 1015,
    // impossible values 1005 or kStreamCorrupt, a short stream kStreamEnded; the movie
    // is then unchanged. Sequences of major versions 0 and 1 that keep the timepoint
    // are dropped, whatever their length, as those versions played them.
    void ReadStream2(XStream& inStream) override;

    // Registers "XVolumeKeyframeMovie" and its sample form "XDataVolumeKeyframeMovie"
    // with the class registry. Loading the module does this already; hosts that link
    // the module may call it again harmlessly.
    static void RegisterClasses();

private:
    // Index of the keyframe covering the frame; the keyframe count when none does.
    size_t FindKeyframe(uint64_t inTime) const;

    XString itsName;
    XPtrVector<XKeyframe> itsKeyframes;           // owned
    XPtrVector<XTimepointSequence> itsSequences;  // owned
    float itsPlaybackRate = kDefaultPlaybackRate; // frames per second
};

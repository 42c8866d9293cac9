#pragma once
// The image data a renderer shows: a volume sequence, from the sample database or
// held directly, seen through the questions renderers ask of it (bounds, channels,
// volumes at a timepoint, calibration, times, extended-focus images). Renderers
// share one source through boost::shared_ptr.
//
// Channels and timepoints count from 1, as in XDataVolumeSequence. The source reads
// one snapshot of its sample; Reload takes the current one and tells listeners with
// an XDataChangedMessage. All operations are safe from several threads at once.
#include "X3DRect.h"
#include "XARGB32Colour.h"
#include "XMessage.h"
#include "XSpeaker.h"
#include "XTime.h"

#include <boost/shared_ptr.hpp>

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <utility>

class XDataVolumeSequence;
class XImageRenderer;
class XVolume;

class XImageDataSource : public XSpeaker {
public:
    // Spoken when the source's data was replaced (Reload, SetSequence).
    class XDataChangedMessage : public XMessage {
    public:
        explicit XDataChangedMessage(XSpeaker* inSpeaker) : XMessage(inSpeaker) {}
        bool ShouldCoalesceQueueMessage() const override { return true; }
        XMessage* Clone() const override { return new XDataChangedMessage(*this); }
    };

    // The volume sequence stored as sample inSampleID: XException kNoSuchSample for
    // an unknown ID, kWrongSampleType when the sample is not a volume sequence.
    explicit XImageDataSource(uint32_t inSampleID);
    // A sequence held outside the database; a null sequence throws kBadArgument.
    explicit XImageDataSource(std::shared_ptr<const XDataVolumeSequence> inSequence);
    ~XImageDataSource() override;

    static boost::shared_ptr<XImageDataSource> Make(uint32_t inSampleID)
    {
        return boost::shared_ptr<XImageDataSource>(new XImageDataSource(inSampleID));
    }

    // 0 when the source does not come from the database.
    uint32_t GetSampleID() const { return itsSampleID; }
    std::shared_ptr<const XDataVolumeSequence> GetSequence() const;
    // Takes the sample's current snapshot (a source from the database) and tells listeners.
    void Reload();
    // Replaces the data (the source then no longer follows a database sample).
    void SetSequence(std::shared_ptr<const XDataVolumeSequence> inSequence);

    uint32_t GetChannelCount() const;
    uint32_t GetTimepointCount() const;
    XString GetChannelName(uint32_t inChannel) const;
    // The channel's colour from its renderer (white when it has none).
    XARGB32Colour GetChannelColour(uint32_t inChannel) const;
    // A new copy of the channel's renderer, owned by the caller; null when none.
    XImageRenderer* GetChannelRendererCopy(uint32_t inChannel) const;

    // The box holding every channel's volume at the first timepoint that has one;
    // empty when there are no volumes.
    X3DRect GetBounds() const;
    // The bounds of the channel's volume at the first timepoint that has one.
    X3DRect GetChannelBounds(uint32_t inChannel) const;

    // The stored volume (shared, read-only); null when the sequence holds none there.
    std::shared_ptr<const XVolume> GetVolume(uint32_t inChannel, uint32_t inTimepoint) const;
    // A new copy of it, owned by the caller; null when there is none.
    std::unique_ptr<XVolume> GetVolumeCopy(uint32_t inChannel, uint32_t inTimepoint) const;
    // The volume that describes the data's layout (bounds, calibration, voxel type):
    // the first channel's first volume, shared rather than copied. Null when there is none.
    std::shared_ptr<const XVolume> GetTemplateVolume() const;

    // Micrometres per voxel.
    double GetCalibrationX() const;
    double GetCalibrationY() const;
    double GetCalibrationZ() const;

    XTime GetTimepointTime(uint32_t inTimepoint) const;
    XTime GetStartTime() const;

    // The channel's volume at the timepoint seen through its whole depth: one XY
    // plane (at the volume's front) holding the maximum along z of each column, of
    // the volume's voxel type (colours compare by red + green + blue). A new volume
    // owned by the caller; null when there is no volume there.
    std::unique_ptr<XVolume> GetExtendedFocusImage(uint32_t inChannel, uint32_t inTimepoint) const;
    // Where that maximum lies: a float XY plane holding, for each column, the bounds
    // z coordinate of its brightest voxel (the first one on ties). Null when there is
    // no volume there.
    std::shared_ptr<const XVolume> GetFocusMap(uint32_t inChannel, uint32_t inTimepoint) const;

private:
    struct XFocus {
        std::shared_ptr<const XVolume> image;
        std::shared_ptr<const XVolume> map;
    };
    // Cached projections are small (one plane each); the cache is emptied when it grows past this.
    static constexpr size_t kMaxCachedFocus = 64;

    XFocus GetFocus(uint32_t inChannel, uint32_t inTimepoint) const;
    static std::shared_ptr<const XDataVolumeSequence> ReadSample(uint32_t inSampleID);

    uint32_t itsSampleID = 0;
    mutable std::mutex itsMutex; // guards the members below
    std::shared_ptr<const XDataVolumeSequence> itsSequence;
    mutable std::map<std::pair<uint32_t, uint32_t>, XFocus> itsFocusCache;
};

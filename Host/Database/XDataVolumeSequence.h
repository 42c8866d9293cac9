#pragma once
// A multichannel time-lapse data set: a volume per channel and timepoint, a renderer and
// hidden flag per channel, the time of every timepoint and the voxel calibration.
// Channels and timepoints count from 1; one out of range throws XException kBadArgument.
//
// When the sequence is added to the database, a placeholder sample is created for each
// channel (GetChannelPlaceholder) to hold that channel's preferences; the placeholders
// are removed with the sequence.
#include "XDataSample.h"
#include "XImageRenderer.h"
#include "XTime.h"
#include "XVolume.h"

#include <memory>
#include <vector>

class XDataVolumeSequence : public XDataSample {
public:
    static constexpr uint32_t kSampleType = 519;
    static constexpr uint32_t kMaxChannels = 1024;
    static constexpr uint32_t kMaxTimepoints = 1u << 20;
    static constexpr uint64_t kMaxVolumes = 1u << 22; // channels × timepoints

    // Throws kBadArgument for no channels or timepoints, or more than the limits above.
    XDataVolumeSequence(uint32_t inChannelCount, uint32_t inTimepointCount);
    XDataVolumeSequence(const XDataVolumeSequence& inOther);
    XDataVolumeSequence& operator=(const XDataVolumeSequence& inOther);
    ~XDataVolumeSequence() override;

    XVersion GetSampleType() const override { return XVersion(kSampleType); }
    std::unique_ptr<XDataSample> Clone() const override { return std::make_unique<XDataVolumeSequence>(*this); }
    std::vector<uint32_t> GetOwnedSampleIDs() const override;

    uint32_t GetChannelCount() const { return uint32_t(itsChannels.size()); }
    uint32_t GetTimepointCount() const { return itsTimepointCount; }

    // The channel's name; "1", "2", ... unless set.
    XString GetChannelName(uint32_t inChannel) const;
    void SetChannelName(uint32_t inChannel, const XString& inName);
    // The sample that holds the channel's preferences; 0 until the sequence is in the database.
    uint32_t GetChannelPlaceholder(uint32_t inChannel) const;
    bool IsChannelHidden(uint32_t inChannel) const;
    void SetChannelHidden(uint32_t inChannel, bool inHidden);
    // A new copy of the channel's renderer, owned by the caller; null when it has none.
    XImageRenderer* GetRendererCopy(uint32_t inChannel) const;
    void SetRenderer(uint32_t inChannel, const XImageRenderer& inRenderer);

    // Null until set.
    std::shared_ptr<const XVolume> GetVolume(uint32_t inChannel, uint32_t inTimepoint) const;
    void SetVolume(uint32_t inChannel, uint32_t inTimepoint, std::shared_ptr<const XVolume> inVolume);

    // When acquisition started, and when each timepoint was taken (both moments).
    XTime GetStartTime() const { return itsStartTime; }
    void SetStartTime(XTime inTime) { itsStartTime = inTime; }
    XTime GetTimepointTime(uint32_t inTimepoint) const;
    void SetTimepointTime(uint32_t inTimepoint, XTime inTime);
    // The timepoint's time since the start.
    XTime GetTimepointTimeFromStart(uint32_t inTimepoint) const { return GetTimepointTime(inTimepoint) - itsStartTime; }

    // Micrometres per voxel along each axis (1 unless set).
    double GetCalibrationX() const { return itsCalibration[0]; }
    double GetCalibrationY() const { return itsCalibration[1]; }
    double GetCalibrationZ() const { return itsCalibration[2]; }
    // Each must be finite and above 0 (else kBadArgument).
    void SetCalibration(double inX, double inY, double inZ);

protected:
    void PrepareForDatabaseSelf(XSampleDB& inDB) override;
    void ForgetOwnedSamplesSelf() override;

private:
    struct Channel {
        XString name;
        bool hidden = false;
        uint32_t placeholder = 0;
        std::unique_ptr<XImageRenderer> renderer;
    };

    size_t CheckChannel(uint32_t inChannel) const;
    size_t CheckTimepoint(uint32_t inTimepoint) const;
    void CopyFrom(const XDataVolumeSequence& inOther);

    std::vector<Channel> itsChannels;
    uint32_t itsTimepointCount = 0;
    std::vector<std::shared_ptr<const XVolume>> itsVolumes; // channel-major
    std::vector<XTime> itsTimepointTimes;
    XTime itsStartTime;
    double itsCalibration[3] = {1, 1, 1};
};

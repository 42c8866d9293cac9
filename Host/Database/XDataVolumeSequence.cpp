#include "XDataVolumeSequence.h"
#include "XDataPlaceholder.h"
#include "XException.h"
#include "XSampleDB.h"

#include <cmath>

XDataVolumeSequence::XDataVolumeSequence(uint32_t inChannelCount, uint32_t inTimepointCount)
{
    if (inChannelCount == 0 || inTimepointCount == 0 || inChannelCount > kMaxChannels ||
        inTimepointCount > kMaxTimepoints || uint64_t(inChannelCount) * inTimepointCount > kMaxVolumes)
        throw XException(XException::kBadArgument,
                         XString("a volume sequence of %1 channels and %2 timepoints cannot be made; it needs 1 to "
                                 "%3 channels, 1 to %4 timepoints and at most %5 volumes")
                             .Replace(static_cast<int64_t>(inChannelCount))
                             .Replace(static_cast<int64_t>(inTimepointCount))
                             .Replace(static_cast<int64_t>(kMaxChannels))
                             .Replace(static_cast<int64_t>(kMaxTimepoints))
                             .Replace(static_cast<int64_t>(kMaxVolumes)));
    itsChannels.resize(inChannelCount);
    for (uint32_t c = 0; c < inChannelCount; ++c)
        itsChannels[c].name = XString::FromUInt64(c + 1);
    itsTimepointCount = inTimepointCount;
    itsVolumes.resize(size_t(inChannelCount) * inTimepointCount);
    itsTimepointTimes.resize(inTimepointCount);
}

XDataVolumeSequence::XDataVolumeSequence(const XDataVolumeSequence& inOther) : XDataSample(inOther)
{
    CopyFrom(inOther);
}

XDataVolumeSequence& XDataVolumeSequence::operator=(const XDataVolumeSequence& inOther)
{
    if (this != &inOther) {
        XDataSample::operator=(inOther);
        CopyFrom(inOther);
    }
    return *this;
}

XDataVolumeSequence::~XDataVolumeSequence() = default;

void XDataVolumeSequence::CopyFrom(const XDataVolumeSequence& inOther)
{
    std::vector<Channel> channels(inOther.itsChannels.size());
    for (size_t c = 0; c < channels.size(); ++c) {
        const Channel& from = inOther.itsChannels[c];
        channels[c].name = from.name;
        channels[c].hidden = from.hidden;
        channels[c].placeholder = from.placeholder;
        channels[c].renderer = from.renderer ? from.renderer->Clone() : nullptr;
    }
    itsChannels.swap(channels);
    itsTimepointCount = inOther.itsTimepointCount;
    itsVolumes = inOther.itsVolumes;
    itsTimepointTimes = inOther.itsTimepointTimes;
    itsStartTime = inOther.itsStartTime;
    for (int i = 0; i < 3; ++i)
        itsCalibration[i] = inOther.itsCalibration[i];
}

size_t XDataVolumeSequence::CheckChannel(uint32_t inChannel) const
{
    if (inChannel == 0 || inChannel > itsChannels.size())
        throw XException(XException::kBadArgument,
                         XString("channel %1 does not exist; the data set has channels 1 to %2")
                             .Replace(static_cast<int64_t>(inChannel))
                             .Replace(static_cast<int64_t>(itsChannels.size())));
    return inChannel - 1;
}

size_t XDataVolumeSequence::CheckTimepoint(uint32_t inTimepoint) const
{
    if (inTimepoint == 0 || inTimepoint > itsTimepointCount)
        throw XException(XException::kBadArgument,
                         XString("timepoint %1 does not exist; the data set has timepoints 1 to %2")
                             .Replace(static_cast<int64_t>(inTimepoint))
                             .Replace(static_cast<int64_t>(itsTimepointCount)));
    return inTimepoint - 1;
}

std::vector<uint32_t> XDataVolumeSequence::GetOwnedSampleIDs() const
{
    std::vector<uint32_t> ids;
    for (const Channel& c : itsChannels)
        if (c.placeholder != 0)
            ids.push_back(c.placeholder);
    return ids;
}

XString XDataVolumeSequence::GetChannelName(uint32_t inChannel) const { return itsChannels[CheckChannel(inChannel)].name; }

void XDataVolumeSequence::SetChannelName(uint32_t inChannel, const XString& inName)
{
    itsChannels[CheckChannel(inChannel)].name = inName;
}

uint32_t XDataVolumeSequence::GetChannelPlaceholder(uint32_t inChannel) const
{
    return itsChannels[CheckChannel(inChannel)].placeholder;
}

bool XDataVolumeSequence::IsChannelHidden(uint32_t inChannel) const { return itsChannels[CheckChannel(inChannel)].hidden; }

void XDataVolumeSequence::SetChannelHidden(uint32_t inChannel, bool inHidden)
{
    itsChannels[CheckChannel(inChannel)].hidden = inHidden;
}

XImageRenderer* XDataVolumeSequence::GetRendererCopy(uint32_t inChannel) const
{
    const Channel& c = itsChannels[CheckChannel(inChannel)];
    return c.renderer ? c.renderer->Clone().release() : nullptr;
}

void XDataVolumeSequence::SetRenderer(uint32_t inChannel, const XImageRenderer& inRenderer)
{
    itsChannels[CheckChannel(inChannel)].renderer = inRenderer.Clone();
}

std::shared_ptr<const XVolume> XDataVolumeSequence::GetVolume(uint32_t inChannel, uint32_t inTimepoint) const
{
    return itsVolumes[CheckChannel(inChannel) * itsTimepointCount + CheckTimepoint(inTimepoint)];
}

void XDataVolumeSequence::SetVolume(uint32_t inChannel, uint32_t inTimepoint, std::shared_ptr<const XVolume> inVolume)
{
    itsVolumes[CheckChannel(inChannel) * itsTimepointCount + CheckTimepoint(inTimepoint)] = std::move(inVolume);
}

XTime XDataVolumeSequence::GetTimepointTime(uint32_t inTimepoint) const
{
    return itsTimepointTimes[CheckTimepoint(inTimepoint)];
}

void XDataVolumeSequence::SetTimepointTime(uint32_t inTimepoint, XTime inTime)
{
    itsTimepointTimes[CheckTimepoint(inTimepoint)] = inTime;
}

void XDataVolumeSequence::SetCalibration(double inX, double inY, double inZ)
{
    for (double v : {inX, inY, inZ})
        if (!std::isfinite(v) || v <= 0)
            throw XException(XException::kBadArgument,
                             XString("the calibration %1 × %2 × %3 µm per voxel is not three finite sizes above 0")
                                 .Replace(inX)
                                 .Replace(inY)
                                 .Replace(inZ));
    itsCalibration[0] = inX;
    itsCalibration[1] = inY;
    itsCalibration[2] = inZ;
}

void XDataVolumeSequence::PrepareForDatabaseSelf(XSampleDB& inDB)
{
    // A new sample always gets placeholders of its own, even when it was copied from one
    // already stored: sharing them would let one sequence's removal take the other's.
    ForgetOwnedSamplesSelf();
    for (uint32_t c = 0; c < itsChannels.size(); ++c) {
        auto placeholder = std::make_unique<XDataPlaceholder>();
        placeholder->SetName(XString("%1, channel %2").Replace(GetName()).Replace(static_cast<int64_t>(c + 1)));
        itsChannels[c].placeholder = inDB.AddSample(std::move(placeholder));
    }
}

void XDataVolumeSequence::ForgetOwnedSamplesSelf()
{
    for (Channel& c : itsChannels)
        c.placeholder = 0;
}

#include "XVoxelSpyValues.h"
#include "XImageDataSource.h"
#include "XRenderer.h"
#include "XVolume.h"

#include <cstring>

std::vector<XString> XVoxelSpyValues::GetCoordinateLines(const X3DPoint& inPosition)
{
    return {XString("x: %1").Replace(int64_t(inPosition.x)), XString("y: %1").Replace(int64_t(inPosition.y)),
            XString("z: %1").Replace(int64_t(inPosition.z))};
}

bool XVoxelSpyValues::IsChannelShown(const XRenderer& inRenderer, uint32_t inChannel)
{
    const X3DMatrix value = inRenderer.GetSceneStateValue(kSceneStateChannelVisible, inChannel);
    return value.IsEmpty() || value(0, 0) != 0.0;
}

std::vector<XVoxelSpyValues::XChannelValue> XVoxelSpyValues::GetChannelValues(const XRenderer& inRenderer,
                                                                                const X3DPoint& inPosition)
{
    std::vector<XChannelValue> values;
    const auto& source = inRenderer.GetDataSource();
    if (!source)
        return values;
    const uint32_t timepoint = std::max(inRenderer.GetCurrentTimepoint(), 1u);
    for (uint32_t channel = 1; channel <= source->GetChannelCount(); ++channel) {
        if (!IsChannelShown(inRenderer, channel))
            continue;
        const std::shared_ptr<const XVolume> volume = source->GetVolume(channel, timepoint);
        XChannelValue value;
        if (!volume || !FormatVoxel(*volume, inPosition, value.value))
            continue;
        value.channel = channel;
        value.colour = source->GetChannelColour(channel);
        value.name = source->GetChannelName(channel);
        values.push_back(std::move(value));
    }
    return values;
}

bool XVoxelSpyValues::FormatVoxel(const XVolume& inVolume, const X3DPoint& inPosition, XString& outText)
{
    const X3DRect& bounds = inVolume.GetBounds();
    if (inPosition.x < bounds.left || inPosition.x >= bounds.right || inPosition.y < bounds.top ||
        inPosition.y >= bounds.bottom || inPosition.z < bounds.front || inPosition.z >= bounds.back)
        return false;
    const XVolume::XReadLock lock(inVolume);
    const uint8_t* p = inVolume.GetVoxelPtr(inPosition.x - bounds.left, inPosition.y - bounds.top, inPosition.z - bounds.front);
    auto rgb = [](int64_t inRed, int64_t inGreen, int64_t inBlue) {
        return XString("%1, %2, %3").Replace(inRed).Replace(inGreen).Replace(inBlue);
    };
    switch (inVolume.GetVoxelType()) {
    case XVoxelType::kGrey8:
    case XVoxelType::kMask:
        outText = XString::FromSInt64(p[0]);
        return true;
    case XVoxelType::kGrey16: {
        uint16_t v;
        std::memcpy(&v, p, 2);
        outText = XString::FromSInt64(v);
        return true;
    }
    case XVoxelType::kFloat32: {
        float v;
        std::memcpy(&v, p, 4);
        outText = XString::FromFloat64(v);
        return true;
    }
    case XVoxelType::kARGB32:
        outText = rgb(p[1], p[2], p[3]);
        return true;
    case XVoxelType::kBGRA32:
        outText = rgb(p[2], p[1], p[0]);
        return true;
    case XVoxelType::kRGB48: {
        uint16_t c[3];
        std::memcpy(c, p, 6);
        outText = rgb(c[0], c[1], c[2]);
        return true;
    }
    }
    return false;
}

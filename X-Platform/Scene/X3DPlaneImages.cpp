#include "X3DPlaneImages.h"

#include "XAssert.h"
#include "XAverageMergeTool.h"
#include "XBGRA32Volume.h"
#include "XBPMergeTool.h"
#include "XCombineMergeTool.h"
#include "XImageDataSource.h"

#include <algorithm>
#include <cmath>

namespace {
// The merge belongs to the planes renderer, and is reported as its own.
constexpr const char* kRendererSource = "X-Platform/X3DPlaneRenderer";

// The channel's display (colour, range) is the source's: a copy shows through it.
void TakeChannelLook(const XImageDataSource& inSource, uint32_t inChannel, XVolume& inOutImage)
{
    if (const std::unique_ptr<XImageRenderer> look{inSource.GetChannelRendererCopy(inChannel)})
        inOutImage.SetImageRenderer(*look);
}

std::unique_ptr<XBGRA32Volume> DrawAsPicture(const XVolume& inImage)
{
    auto picture = std::make_unique<XBGRA32Volume>(inImage.GetBounds());
    inImage.DrawIntoBGRA32Volume(*picture);
    picture->SetOrigin(X3DPoint(0, 0, 0));
    return picture;
}
} // namespace

uint64_t X3DPlaneImages::SelectPlane(int32_t inExtent, double inFraction)
{
    if (inExtent <= 1)
        return 0;
    const double fraction = std::isnan(inFraction) ? 0.0 : std::clamp(inFraction, 0.0, 1.0);
    return uint64_t(double(inExtent - 1) * fraction);
}

std::unique_ptr<XVolume> X3DPlaneImages::MakeCombinedPlaneImage(const std::vector<std::unique_ptr<XVolume>>& inImages,
    const std::vector<double>& inWeights, int32_t inMode)
{
    std::unique_ptr<XVolume> result;
    switch (inMode) {
    case kMergeMaximum:
        result = XBPMergeTool::MergeVolumesToVolume(inImages, inWeights);
        break;
    case kMergeAverage:
        result = XAverageMergeTool::AverageVolumesToVolume(inImages, inWeights);
        break;
    case kMergeCombine:
        result = XCombineMergeTool::CombineVolumesToVolume(inImages, inWeights);
        break;
    default:
        break;
    }
    if (!result)
        KestrinInternalError("result", kRendererSource, __LINE__);
    return result;
}

bool X3DPlaneImages::IsReferenceChannel(const XImageDataSource& inSource, uint32_t inChannel)
{
    return inSource.GetChannelBounds(inChannel).GetDepth() == 1 && inSource.GetBounds().GetDepth() > 1;
}

std::unique_ptr<XBGRA32Volume> X3DPlaneImages::MakeSliceImage(const XImageDataSource& inSource, uint32_t inTimepoint,
    XAxis inAxis, uint64_t inIndex, const std::vector<XChannelChoice>& inChannels, int32_t inMode)
{
    const X3DRect bounds = inSource.GetBounds();
    const uint32_t count = std::min<uint32_t>(inSource.GetChannelCount(), uint32_t(inChannels.size()));
    std::vector<std::unique_ptr<XVolume>> images;
    std::vector<double> weights;
    for (uint32_t channel = 1; channel <= count; ++channel) {
        const XChannelChoice& choice = inChannels[channel - 1];
        if (!choice.shown || IsReferenceChannel(inSource, channel))
            continue;
        const std::shared_ptr<const XVolume> volume = inSource.GetVolume(channel, inTimepoint);
        if (!volume)
            continue;
        const X3DRect& extent = volume->GetBounds();
        XVolume::XReadLock lock(*volume);
        std::unique_ptr<XVolume> slice;
        // Planes are counted from the source's bounds; a channel that does not reach
        // the plane is left out.
        switch (inAxis) {
        case kAxisXY: {
            const int64_t z = int64_t(bounds.GetFront()) + int64_t(inIndex);
            if (z >= extent.GetFront() && z < extent.GetBack())
                slice = volume->CopyXYPlane(int32_t(z));
            break;
        }
        case kAxisXZ: {
            const int64_t y = int64_t(bounds.GetTop()) + int64_t(inIndex);
            if (y >= extent.GetTop() && y < extent.GetBottom())
                slice = volume->CopyXZPlane(int32_t(y));
            break;
        }
        case kAxisYZ: {
            const int64_t x = int64_t(bounds.GetLeft()) + int64_t(inIndex);
            if (x >= extent.GetLeft() && x < extent.GetRight())
                slice = volume->CopyYZPlane(int32_t(x));
            break;
        }
        }
        if (slice) {
            TakeChannelLook(inSource, channel, *slice);
            images.push_back(std::move(slice));
            weights.push_back(choice.weight);
        }
    }
    if (images.empty())
        return nullptr;
    const std::unique_ptr<XVolume> merged = MakeCombinedPlaneImage(images, weights, inMode);
    return merged ? DrawAsPicture(*merged) : nullptr;
}

std::map<uint32_t, std::vector<uint32_t>> X3DPlaneImages::GroupReferenceChannels(const XImageDataSource& inSource)
{
    std::map<uint32_t, std::vector<uint32_t>> groups;
    const X3DRect sourceBounds = inSource.GetBounds();
    for (uint32_t channel = 1; channel <= inSource.GetChannelCount(); ++channel) {
        if (!IsReferenceChannel(inSource, channel))
            continue;
        const X3DRect channelBounds = inSource.GetChannelBounds(channel);
        const int64_t offset = int64_t(channelBounds.GetFront()) - int64_t(sourceBounds.GetFront());
        X_ASSERT_TEXT(offset >= 0, "channelBounds.GetFront() - sourceBounds.GetFront() >= 0");
        // A plane outside the source's depth has no place to be drawn.
        if (offset < 0 || offset >= sourceBounds.GetDepth())
            continue;
        groups[uint32_t(offset)].push_back(channel);
    }
    return groups;
}

std::unique_ptr<XBGRA32Volume> X3DPlaneImages::MakeReferenceImage(const XImageDataSource& inSource, uint32_t inTimepoint,
    const std::vector<uint32_t>& inGroup, const std::vector<XChannelChoice>& inChannels, int32_t inMode)
{
    std::vector<std::unique_ptr<XVolume>> images;
    std::vector<double> weights;
    double opacity = 0.0;
    for (uint32_t channel : inGroup) {
        if (channel == 0 || channel > inChannels.size() || !inChannels[channel - 1].shown)
            continue;
        const std::shared_ptr<const XVolume> sourceChannel = inSource.GetVolume(channel, inTimepoint);
        if (!sourceChannel)
            continue;
        X_ASSERT(sourceChannel->GetBounds().GetDepth() == 1);
        {
            XVolume::XReadLock lock(*sourceChannel);
            images.push_back(sourceChannel->Clone());
        }
        TakeChannelLook(inSource, channel, *images.back());
        weights.push_back(inChannels[channel - 1].weight);
        const double channelOpacity = inChannels[channel - 1].opacity;
        opacity = std::max(opacity, std::isnan(channelOpacity) ? 0.0 : channelOpacity);
    }
    // Every channel of the group hidden: no picture, and nothing to report.
    if (images.empty())
        return nullptr;
    const std::unique_ptr<XVolume> merged = MakeCombinedPlaneImage(images, weights, inMode);
    if (!merged)
        return nullptr;
    std::unique_ptr<XBGRA32Volume> picture = DrawAsPicture(*merged);
    const uint8_t alpha = uint8_t(std::clamp(std::trunc(opacity * 255.0), 0.0, 255.0));
    uint8_t* bytes = picture->GetData();
    for (uint64_t voxel = 0; voxel < picture->GetVoxelCount(); ++voxel)
        bytes[4 * voxel + 3] = alpha; // blue, green, red, alpha
    return picture;
}

#pragma once
// Merges channel images into one colour picture: per colour component the weighted
// average of the channels' contributions: the sum of weight × contribution over the
// sum of the weights.
// See XChannelMerger for how each channel is mapped and weighted.
#include "XChannelMerger.h"

class XAverageMergeTool {
public:
    // A new XARGB32Volume, or null when there is no image.
    static std::unique_ptr<XVolume> AverageVolumesToVolume(const std::vector<const XVolume*>& inImages, const std::vector<double>& inWeights)
    {
        return XChannelMerger::Merge(inImages, inWeights, XChannelMerger::XMode::kAverage);
    }
    static std::unique_ptr<XVolume> AverageVolumesToVolume(const XPtrVector<XVolume>& inImages, const std::vector<double>& inWeights)
    {
        return XChannelMerger::Merge(inImages, inWeights, XChannelMerger::XMode::kAverage);
    }
    static std::unique_ptr<XVolume> AverageVolumesToVolume(const std::vector<std::unique_ptr<XVolume>>& inImages,
                                       const std::vector<double>& inWeights)
    {
        return XChannelMerger::Merge(inImages, inWeights, XChannelMerger::XMode::kAverage);
    }
};

#pragma once
// Merges channel images into one colour picture: per colour component the sum of the
// weighted contributions of all channels, clamped to 255.
// See XChannelMerger for how each channel is mapped and weighted.
#include "XChannelMerger.h"

class XCombineMergeTool {
public:
    // A new XARGB32Volume, or null when there is no image.
    static std::unique_ptr<XVolume> CombineVolumesToVolume(const std::vector<const XVolume*>& inImages, const std::vector<double>& inWeights)
    {
        return XChannelMerger::Merge(inImages, inWeights, XChannelMerger::XMode::kCombine);
    }
    static std::unique_ptr<XVolume> CombineVolumesToVolume(const XPtrVector<XVolume>& inImages, const std::vector<double>& inWeights)
    {
        return XChannelMerger::Merge(inImages, inWeights, XChannelMerger::XMode::kCombine);
    }
    static std::unique_ptr<XVolume> CombineVolumesToVolume(const std::vector<std::unique_ptr<XVolume>>& inImages,
                                       const std::vector<double>& inWeights)
    {
        return XChannelMerger::Merge(inImages, inWeights, XChannelMerger::XMode::kCombine);
    }
};

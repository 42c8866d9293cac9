#pragma once
// Merges channel images into one colour picture: per colour component the brightest
// weighted channel wins (a voxel bright in red and green shows yellow, never brighter
// than its brightest channel).
// See XChannelMerger for how each channel is mapped and weighted.
#include "XChannelMerger.h"

class XBPMergeTool {
public:
    // A new XARGB32Volume, or null when there is no image.
    static std::unique_ptr<XVolume> MergeVolumesToVolume(const std::vector<const XVolume*>& inImages, const std::vector<double>& inWeights)
    {
        return XChannelMerger::Merge(inImages, inWeights, XChannelMerger::XMode::kMaximum);
    }
    static std::unique_ptr<XVolume> MergeVolumesToVolume(const XPtrVector<XVolume>& inImages, const std::vector<double>& inWeights)
    {
        return XChannelMerger::Merge(inImages, inWeights, XChannelMerger::XMode::kMaximum);
    }
    static std::unique_ptr<XVolume> MergeVolumesToVolume(const std::vector<std::unique_ptr<XVolume>>& inImages,
                                       const std::vector<double>& inWeights)
    {
        return XChannelMerger::Merge(inImages, inWeights, XChannelMerger::XMode::kMaximum);
    }
};

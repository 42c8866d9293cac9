#pragma once
// The engine of the channel merges (XBPMergeTool, XAverageMergeTool,
// XCombineMergeTool): each channel image is mapped through its display range
// (its volume's image renderer, see XVolume) to a level 0..255, coloured with the
// renderer's colour, scaled by the channel's weight, and the channels are combined per
// colour component. Colour images (ARGB32, BGRA32) take part with their own colours,
// scaled by their weight.
//
// The result is an opaque XARGB32Volume covering the union of the images' bounds;
// a voxel outside an image gets nothing from it. Null images are skipped; with no
// image the result is null. Weights that are negative or not numbers count as 0; a
// missing weight counts as 1 (and is reported).
#include "XPtrVector.h"
#include "XVector.h"

#include <memory>
#include <vector>

class XVolume;

class XChannelMerger {
public:
    enum class XMode {
        kMaximum, // per component the largest weighted contribution
        kAverage, // per component the sum of weighted contributions over the sum of weights
        kCombine, // per component the sum of weighted contributions, clamped to 255
    };

    static std::unique_ptr<XVolume> Merge(const std::vector<const XVolume*>& inImages,
                                          const std::vector<double>& inWeights, XMode inMode);
    static std::unique_ptr<XVolume> Merge(const XPtrVector<XVolume>& inImages, const std::vector<double>& inWeights,
                                          XMode inMode);
    static std::unique_ptr<XVolume> Merge(const std::vector<std::unique_ptr<XVolume>>& inImages,
                                          const std::vector<double>& inWeights, XMode inMode);
};

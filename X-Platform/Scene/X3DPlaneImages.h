#pragma once
// The pictures of the planes view, made from the image data source without the
// device: which voxel plane a fraction selects, the merge of channel images by merge
// mode, the slice through the multi-plane channels along each axis, and the
// pictures of the channels that are one plane deep (reference planes), grouped by
// the depth they lie at.
#include "X3DRect.h"

#include <cstdint>
#include <map>
#include <memory>
#include <vector>

class XBGRA32Volume;
class XImageDataSource;
class XVolume;

class X3DPlaneImages {
public:
    enum XAxis : uint32_t { kAxisXY = 0, kAxisXZ = 1, kAxisYZ = 2 };
    enum XMergeMode : int32_t { kMergeMaximum = 0, kMergeAverage = 1, kMergeCombine = 2 };

    // What the view shows of each channel (index channel - 1).
    struct XChannelChoice {
        bool shown = true;
        double weight = 1.0;  // its share in the merge
        double opacity = 1.0; // of its reference plane, 0..1
    };

    // The integer part of (extent - 1) x fraction, the fraction clamped into 0..1
    // (NaN as 0) first, so that no fraction selects a plane outside the extent.
    static uint64_t SelectPlane(int32_t inExtent, double inFraction);

    // The images merged by mode (0 maximum, 1 average, 2 combine), each with its
    // weight. Another mode, or no result, is reported ("result") and gives null.
    static std::unique_ptr<XVolume> MakeCombinedPlaneImage(const std::vector<std::unique_ptr<XVolume>>& inImages,
        const std::vector<double>& inWeights, int32_t inMode);

    // The merged slice through plane inIndex (counted from the source's front, top or
    // left) of every shown channel deeper than one plane that reaches it, as a picture
    // one plane deep: an XY slice x across and y down, XZ x across and z down, YZ z
    // across and y down. Null when no channel gives an image.
    static std::unique_ptr<XBGRA32Volume> MakeSliceImage(const XImageDataSource& inSource, uint32_t inTimepoint,
        XAxis inAxis, uint64_t inIndex, const std::vector<XChannelChoice>& inChannels, int32_t inMode);

    // Whether a channel is a reference channel: one plane deep in a deeper source.
    static bool IsReferenceChannel(const XImageDataSource& inSource, uint32_t inChannel);
    // The reference channels by their depth offset inside the source (ascending).
    // Channels outside the source's depth are left out.
    static std::map<uint32_t, std::vector<uint32_t>> GroupReferenceChannels(const XImageDataSource& inSource);
    // The merged picture of the shown channels of inGroup, its alpha the largest of
    // their opacities x 255. Null when none of them is shown or has an image.
    static std::unique_ptr<XBGRA32Volume> MakeReferenceImage(const XImageDataSource& inSource, uint32_t inTimepoint,
        const std::vector<uint32_t>& inGroup, const std::vector<XChannelChoice>& inChannels, int32_t inMode);
};

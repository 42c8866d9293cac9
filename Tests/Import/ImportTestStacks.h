#pragma once
// Stacks with a distinct, checkable value in every voxel, for file round trips.
#include "XFloat32Volume.h"
#include "XGrey16Volume.h"
#include "XGrey8Volume.h"
#include "XTIFFWriter.h"

#include <cmath>
#include <memory>
#include <vector>

namespace ImportTestStacks {

// The value stored at (x, y, slice) of channel c at timepoint t, all from 0.
inline double VoxelValue(XVoxelType inType, uint32_t c, uint32_t t, int32_t z, int32_t x, int32_t y)
{
    switch (inType) {
    case XVoxelType::kGrey8: return double((c * 7 + z * 3 + t * 5 + x * 11 + y * 13) % 251);
    case XVoxelType::kGrey16: return double((c * 4001 + z * 307 + t * 1009 + x * 31 + y * 17) % 65536);
    default: return c + z * 0.25 + t * 10.0 + x * 0.001 - y * 0.5;
    }
}

inline std::unique_ptr<XVolume> MakeVolume(XVoxelType inType, int32_t inWidth, int32_t inHeight, int32_t inDepth,
    uint32_t c, uint32_t t)
{
    std::unique_ptr<XVolume> v = XVolume::Make(inType, X3DRect(0, 0, 0, inWidth, inHeight, inDepth));
    for (int32_t z = 0; z < inDepth; ++z)
        for (int32_t y = 0; y < inHeight; ++y)
            for (int32_t x = 0; x < inWidth; ++x) {
                double value = VoxelValue(inType, c, t, z, x, y);
                uint8_t* p = v->GetVoxelPtr(x, y, z);
                if (inType == XVoxelType::kGrey8)
                    *p = uint8_t(value);
                else if (inType == XVoxelType::kGrey16)
                    *reinterpret_cast<uint16_t*>(p) = uint16_t(value);
                else
                    *reinterpret_cast<float*>(p) = float(value);
            }
    return v;
}

inline double ReadVoxel(const XVolume& inVolume, int32_t x, int32_t y, int32_t z)
{
    const uint8_t* p = inVolume.GetVoxelPtr(x, y, z);
    switch (inVolume.GetVoxelType()) {
    case XVoxelType::kGrey8: return *p;
    case XVoxelType::kGrey16: return *reinterpret_cast<const uint16_t*>(p);
    case XVoxelType::kFloat32: return *reinterpret_cast<const float*>(p);
    default: return std::nan("");
    }
}

// Volumes at [c * timepoints + t], and pointers to them for the writer.
struct Stack {
    XTIFFWriter::XStack info;
    std::vector<std::unique_ptr<XVolume>> volumes;
    std::vector<const XVolume*> Pointers() const
    {
        std::vector<const XVolume*> p;
        for (const auto& v : volumes)
            p.push_back(v.get());
        return p;
    }
};

inline Stack MakeStack(XVoxelType inType, uint32_t inChannels, uint32_t inSlices, uint32_t inTimepoints,
    int32_t inWidth = 13, int32_t inHeight = 7)
{
    Stack s;
    s.info.width = inWidth;
    s.info.height = inHeight;
    s.info.channelCount = inChannels;
    s.info.sliceCount = inSlices;
    s.info.timepointCount = inTimepoints;
    s.info.voxelType = inType;
    for (uint32_t c = 0; c < inChannels; ++c)
        for (uint32_t t = 0; t < inTimepoints; ++t)
            s.volumes.push_back(MakeVolume(inType, inWidth, inHeight, int32_t(inSlices), c, t));
    return s;
}

} // namespace ImportTestStacks

#pragma once
// The common base of the packed volumes: typed access to voxels of one layout.
// Coordinates here are LOCAL indices (0 = first column, row, plane), like the
// memory accessors of XVolume.
#include "XVolume.h"

#include <algorithm>
#include <cstring>

template <class TVoxel, XVoxelType TType>
class XTypedVolume : public XVolume {
public:
    using Voxel = TVoxel;
    static constexpr XVoxelType kVoxelType = TType;
    static_assert(sizeof(TVoxel) == ::GetBytesPerVoxel(TType));

    TVoxel* GetVoxelRow(int32_t inY, int32_t inZ) { return reinterpret_cast<TVoxel*>(GetRowPtr(inY, inZ)); }
    const TVoxel* GetVoxelRow(int32_t inY, int32_t inZ) const { return reinterpret_cast<const TVoxel*>(GetRowPtr(inY, inZ)); }
    TVoxel* GetVoxelLayer(int32_t inZ) { return reinterpret_cast<TVoxel*>(GetLayerPtr(inZ)); }
    const TVoxel* GetVoxelLayer(int32_t inZ) const { return reinterpret_cast<const TVoxel*>(GetLayerPtr(inZ)); }

    TVoxel GetVoxel(int32_t inX, int32_t inY, int32_t inZ = 0) const { return GetVoxelRow(inY, inZ)[inX]; }
    void SetVoxel(int32_t inX, int32_t inY, int32_t inZ, const TVoxel& inValue) { GetVoxelRow(inY, inZ)[inX] = inValue; }
    void SetVoxel(int32_t inX, int32_t inY, const TVoxel& inValue) { GetVoxelRow(inY, 0)[inX] = inValue; }

    // Every voxel set to one value.
    void Fill(const TVoxel& inValue)
    {
        TVoxel* p = reinterpret_cast<TVoxel*>(GetData());
        if (p)
            std::fill(p, p + GetVoxelCount(), inValue);
    }

protected:
    explicit XTypedVolume(const X3DRect& inBounds, uint32_t inChannelCount) : XVolume(TType, inBounds, inChannelCount) {}
    XTypedVolume(const XTypedVolume&) = default;
    XTypedVolume(XTypedVolume&&) noexcept = default;
    XTypedVolume& operator=(const XTypedVolume&) = default;
    XTypedVolume& operator=(XTypedVolume&&) noexcept = default;
};

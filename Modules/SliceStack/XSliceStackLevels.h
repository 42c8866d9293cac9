#pragma once
// A channel's voxels as display levels 0..255 (through its image renderer's display
// range and gamma), and the grey slice volumes the texture stacks are loaded from.
#include "XARGB32Volume.h"
#include "XImageRenderer.h"

#include <cstdint>
#include <vector>

class XVolume;

class XSliceStackLevels {
public:
    // Along which volume axis a stack's slices lie.
    enum XAxis : int { kAxisX = 0, kAxisY = 1, kAxisZ = 2 };

    XSliceStackLevels() = default;
    // Maps every voxel; colour volumes count by their luminance.
    XSliceStackLevels(const XVolume& inVolume, const XImageRenderer& inDisplay);

    int32_t GetWidth() const { return itsWidth; }
    int32_t GetHeight() const { return itsHeight; }
    int32_t GetDepth() const { return itsDepth; }
    bool IsEmpty() const { return itsLevels.empty(); }
    uint8_t GetLevel(int32_t inX, int32_t inY, int32_t inZ) const
    {
        return itsLevels[(size_t(inZ) * size_t(itsHeight) + size_t(inY)) * size_t(itsWidth) + size_t(inX)];
    }

    // The levels as opaque grey, one plane per slice along inAxis:
    //  z: planes x across, y up (width × height × depth);
    //  y: planes x across, z up (width × depth × height);
    //  x: planes y across, z up (height × depth × width).
    XARGB32Volume MakeSliceVolume(XAxis inAxis) const;
    // The slice count and plane size of a stack along inAxis.
    static void GetSliceVolumeSize(XAxis inAxis, int32_t inWidth, int32_t inHeight, int32_t inDepth,
                                   int32_t& outAcross, int32_t& outUp, int32_t& outSlices);

private:
    int32_t itsWidth = 0;
    int32_t itsHeight = 0;
    int32_t itsDepth = 0;
    std::vector<uint8_t> itsLevels; // x fastest, then y, then z
};

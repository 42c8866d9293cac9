#pragma once
// A channel's voxels as display levels 0..255 (through its image renderer's display
// range and gamma), one slice at a time for the texture stacks: levels are mapped as
// each slice is filled, so no copy of the volume is kept beside it.
#include "XGrey8Volume.h"
#include "XImageRenderer.h"

#include <cstdint>
#include <memory>
#include <vector>

class XVolume;

class XSliceStackLevels {
public:
    // Along which volume axis a stack's slices lie.
    enum XAxis : int { kAxisX = 0, kAxisY = 1, kAxisZ = 2 };

    XSliceStackLevels() = default;
    // Reads inVolume, which must outlive this object, whenever a slice is filled.
    // Colour volumes count by their luminance (kept as one grey copy).
    XSliceStackLevels(const XVolume& inVolume, const XImageRenderer& inDisplay);
    XSliceStackLevels(const XSliceStackLevels&) = delete;
    XSliceStackLevels& operator=(const XSliceStackLevels&) = delete;

    int32_t GetWidth() const { return itsWidth; }
    int32_t GetHeight() const { return itsHeight; }
    int32_t GetDepth() const { return itsDepth; }
    bool IsEmpty() const { return itsSource == nullptr; }
    uint8_t GetLevel(int32_t inX, int32_t inY, int32_t inZ) const;

    // Slice inSlice of the stack along inAxis as across × up levels, rows packed:
    //  z: x across, y up (width × height, a slice per z);
    //  y: x across, z up (width × depth, a slice per y);
    //  x: y across, z up (height × depth, a slice per x).
    void FillSlice(XAxis inAxis, int32_t inSlice, uint8_t* outLevels) const;
    // The slice count and plane size of a stack along inAxis.
    static void GetSliceVolumeSize(XAxis inAxis, int32_t inWidth, int32_t inHeight, int32_t inDepth,
                                   int32_t& outAcross, int32_t& outUp, int32_t& outSlices);

private:
    template <class F>
    void Walk(XAxis inAxis, int32_t inSlice, uint8_t* outLevels, F&& inLevelAt) const;

    int32_t itsWidth = 0;
    int32_t itsHeight = 0;
    int32_t itsDepth = 0;
    const XVolume* itsSource = nullptr; // the volume, or itsLuminance for colour volumes
    std::unique_ptr<XVolume> itsLuminance;
    XImageRenderer itsDisplay;
    std::vector<uint8_t> itsTable; // level per value of 8- and 16-bit sources
};

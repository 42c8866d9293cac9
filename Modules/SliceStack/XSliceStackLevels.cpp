#include "XSliceStackLevels.h"

#include "XGrey8Volume.h"
#include "XVolume.h"

#include <cstring>

namespace {
// One lookup per possible value of an integer layout; MapValue per voxel would dominate.
template <class T>
void MapThroughTable(const T* inValues, size_t inCount, const XImageRenderer& inDisplay, uint8_t* outLevels)
{
    std::vector<uint8_t> table(size_t(1) << (8 * sizeof(T)));
    for (size_t v = 0; v < table.size(); ++v)
        table[v] = inDisplay.MapValue(double(v));
    for (size_t i = 0; i < inCount; ++i)
        outLevels[i] = table[inValues[i]];
}
} // namespace

XSliceStackLevels::XSliceStackLevels(const XVolume& inVolume, const XImageRenderer& inDisplay)
{
    XVolume::XReadLock lock(inVolume);
    if (inVolume.IsEmpty() || !inVolume.GetData())
        return;
    itsWidth = inVolume.GetWidth();
    itsHeight = inVolume.GetHeight();
    itsDepth = inVolume.GetDepth();
    const size_t count = size_t(inVolume.GetVoxelCount());
    itsLevels.resize(count);
    switch (inVolume.GetVoxelType()) {
    case XVoxelType::kGrey8:
    case XVoxelType::kMask:
        MapThroughTable(inVolume.GetData(), count, inDisplay, itsLevels.data());
        break;
    case XVoxelType::kGrey16:
        MapThroughTable(reinterpret_cast<const uint16_t*>(inVolume.GetData()), count, inDisplay, itsLevels.data());
        break;
    case XVoxelType::kFloat32: {
        const float* values = reinterpret_cast<const float*>(inVolume.GetData());
        for (size_t i = 0; i < count; ++i)
            itsLevels[i] = inDisplay.MapValue(double(values[i]));
        break;
    }
    case XVoxelType::kARGB32:
    case XVoxelType::kBGRA32: {
        XGrey8Volume luminance;
        inVolume.CopyOutToGrey8Volume(luminance);
        MapThroughTable(luminance.GetData(), count, inDisplay, itsLevels.data());
        break;
    }
    }
}

void XSliceStackLevels::GetSliceVolumeSize(XAxis inAxis, int32_t inWidth, int32_t inHeight, int32_t inDepth,
                                           int32_t& outAcross, int32_t& outUp, int32_t& outSlices)
{
    switch (inAxis) {
    case kAxisZ: outAcross = inWidth, outUp = inHeight, outSlices = inDepth; break;
    case kAxisY: outAcross = inWidth, outUp = inDepth, outSlices = inHeight; break;
    case kAxisX: outAcross = inHeight, outUp = inDepth, outSlices = inWidth; break;
    }
}

XARGB32Volume XSliceStackLevels::MakeSliceVolume(XAxis inAxis) const
{
    int32_t across = 0, up = 0, slices = 0;
    GetSliceVolumeSize(inAxis, itsWidth, itsHeight, itsDepth, across, up, slices);
    XARGB32Volume out(across, up, slices);
    if (IsEmpty())
        return out;
    const size_t rowStride = size_t(itsWidth), planeStride = size_t(itsWidth) * size_t(itsHeight);
    // Step through the levels along the slice's "across" axis, row by row.
    const size_t acrossStep = inAxis == kAxisX ? rowStride : 1;
    for (int32_t s = 0; s < slices; ++s)
        for (int32_t v = 0; v < up; ++v) {
            size_t at = 0;
            switch (inAxis) {
            case kAxisZ: at = size_t(s) * planeStride + size_t(v) * rowStride; break;
            case kAxisY: at = size_t(v) * planeStride + size_t(s) * rowStride; break;
            case kAxisX: at = size_t(v) * planeStride + size_t(s); break;
            }
            XARGB32Colour* row = out.GetVoxelRow(v, s);
            for (int32_t u = 0; u < across; ++u, at += acrossStep) {
                const uint8_t level = itsLevels[at];
                row[u] = XARGB32Colour(255, level, level, level);
            }
        }
    return out;
}

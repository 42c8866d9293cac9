#include "XSliceStackLevels.h"

#include "XGrey16Volume.h"
#include "XVolume.h"

namespace {
// One lookup per possible value of an integer layout; MapValue per voxel would dominate.
std::vector<uint8_t> MakeTable(size_t inSize, const XImageRenderer& inDisplay)
{
    std::vector<uint8_t> table(inSize);
    for (size_t v = 0; v < table.size(); ++v)
        table[v] = inDisplay.MapValue(double(v));
    return table;
}
} // namespace

XSliceStackLevels::XSliceStackLevels(const XVolume& inVolume, const XImageRenderer& inDisplay) : itsDisplay(inDisplay)
{
    XVolume::XReadLock lock(inVolume);
    if (inVolume.IsEmpty() || !inVolume.GetData())
        return;
    itsWidth = inVolume.GetWidth();
    itsHeight = inVolume.GetHeight();
    itsDepth = inVolume.GetDepth();
    itsSource = &inVolume;
    switch (inVolume.GetVoxelType()) {
    case XVoxelType::kGrey8:
    case XVoxelType::kMask: itsTable = MakeTable(256, inDisplay); break;
    case XVoxelType::kGrey16: itsTable = MakeTable(65536, inDisplay); break;
    case XVoxelType::kFloat32: break;
    case XVoxelType::kARGB32:
    case XVoxelType::kBGRA32:
        itsLuminance = std::make_unique<XGrey8Volume>();
        inVolume.CopyOutTo(*itsLuminance);
        itsSource = itsLuminance.get();
        itsTable = MakeTable(256, inDisplay);
        break;
    case XVoxelType::kRGB48:
        // 16-bit luminance, so that a display range of 16-bit values keeps its meaning.
        itsLuminance = std::make_unique<XGrey16Volume>();
        inVolume.CopyOutTo(*itsLuminance);
        itsSource = itsLuminance.get();
        itsTable = MakeTable(65536, inDisplay);
        break;
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

template <class F>
void XSliceStackLevels::Walk(XAxis inAxis, int32_t inSlice, uint8_t* outLevels, F&& inLevelAt) const
{
    int32_t across = 0, up = 0, slices = 0;
    GetSliceVolumeSize(inAxis, itsWidth, itsHeight, itsDepth, across, up, slices);
    const size_t rowStride = size_t(itsWidth), planeStride = size_t(itsWidth) * size_t(itsHeight);
    // Step through the voxels along the slice's "across" axis, row by row.
    const size_t acrossStep = inAxis == kAxisX ? rowStride : 1;
    for (int32_t v = 0; v < up; ++v) {
        size_t at = 0;
        switch (inAxis) {
        case kAxisZ: at = size_t(inSlice) * planeStride + size_t(v) * rowStride; break;
        case kAxisY: at = size_t(v) * planeStride + size_t(inSlice) * rowStride; break;
        case kAxisX: at = size_t(v) * planeStride + size_t(inSlice); break;
        }
        uint8_t* row = outLevels + size_t(v) * size_t(across);
        for (int32_t u = 0; u < across; ++u, at += acrossStep)
            row[u] = inLevelAt(at);
    }
}

void XSliceStackLevels::FillSlice(XAxis inAxis, int32_t inSlice, uint8_t* outLevels) const
{
    if (IsEmpty())
        return;
    XVolume::XReadLock lock(*itsSource);
    const uint8_t* table = itsTable.data();
    switch (itsSource->GetVoxelType()) {
    case XVoxelType::kGrey16: {
        const uint16_t* values = reinterpret_cast<const uint16_t*>(itsSource->GetData());
        Walk(inAxis, inSlice, outLevels, [&](size_t i) { return table[values[i]]; });
        break;
    }
    case XVoxelType::kFloat32: {
        const float* values = reinterpret_cast<const float*>(itsSource->GetData());
        Walk(inAxis, inSlice, outLevels, [&](size_t i) { return itsDisplay.MapValue(double(values[i])); });
        break;
    }
    default: { // 8-bit and mask volumes, and colour volumes' luminance
        const uint8_t* values = itsSource->GetData();
        Walk(inAxis, inSlice, outLevels, [&](size_t i) { return table[values[i]]; });
        break;
    }
    }
}

uint8_t XSliceStackLevels::GetLevel(int32_t inX, int32_t inY, int32_t inZ) const
{
    if (IsEmpty())
        return 0;
    XVolume::XReadLock lock(*itsSource);
    const size_t i = (size_t(inZ) * size_t(itsHeight) + size_t(inY)) * size_t(itsWidth) + size_t(inX);
    switch (itsSource->GetVoxelType()) {
    case XVoxelType::kGrey16: return itsTable[reinterpret_cast<const uint16_t*>(itsSource->GetData())[i]];
    case XVoxelType::kFloat32: return itsDisplay.MapValue(double(reinterpret_cast<const float*>(itsSource->GetData())[i]));
    default: return itsTable[itsSource->GetData()[i]];
    }
}

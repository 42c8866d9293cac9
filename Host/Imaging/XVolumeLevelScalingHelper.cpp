#include "XVolumeLevelScalingHelper.h"

#include "XException.h"
#include "XGrey8Volume.h"
#include "XImageRenderer.h"
#include "XVolume.h"

#include <algorithm>
#include <cmath>
#include <type_traits>
#include <cstring>
#include <limits>

XVolumeLevelScalingHelper::XVolumeLevelScalingHelper(double inBlackLevel, double inWhiteLevel)
{
    SetDisplayRange(inBlackLevel, inWhiteLevel);
}

XVolumeLevelScalingHelper::XVolumeLevelScalingHelper(const XVolume& inVolume)
{
    itsHasDataRange = GetDataRange(inVolume, itsDataMin, itsDataMax);
    if (itsHasDataRange)
        SetDisplayRange(itsDataMin, itsDataMax);
    itsVoxelSize[0] = inVolume.GetCalibrationX();
    itsVoxelSize[1] = inVolume.GetCalibrationY();
    itsVoxelSize[2] = inVolume.GetCalibrationZ();
}

void XVolumeLevelScalingHelper::SetDisplayRange(double inBlackLevel, double inWhiteLevel)
{
    if (!std::isfinite(inBlackLevel) || !std::isfinite(inWhiteLevel))
        throw XException(XException::kBadArgument,
                         XString("The display range %1 to %2 cannot be used: both levels must be finite numbers.")
                             .Replace(inBlackLevel)
                             .Replace(inWhiteLevel));
    itsBlackLevel = inBlackLevel;
    itsWhiteLevel = inWhiteLevel;
}

uint8_t XVolumeLevelScalingHelper::MapValue(double inValue) const
{
    return XImageRenderer::MapLevel(inValue, itsBlackLevel, itsWhiteLevel);
}

std::vector<uint8_t> XVolumeLevelScalingHelper::MakeLookupTable(XVoxelType inType) const
{
    size_t n = inType == XVoxelType::kGrey16 ? 65536 : 256;
    std::vector<uint8_t> table(n);
    for (size_t v = 0; v < n; ++v)
        table[v] = MapValue(double(v));
    return table;
}

void XVolumeLevelScalingHelper::MapVolume(const XVolume& inVolume, XGrey8Volume& outLevels) const
{
    outLevels.SetBounds(inVolume.GetBounds());
    outLevels.CopyCalibrationAndNames(inVolume);
    if (inVolume.IsEmpty())
        return;
    const size_t count = size_t(inVolume.GetVoxelCount());
    uint8_t* t = outLevels.GetData();
    switch (inVolume.GetVoxelType()) {
    case XVoxelType::kGrey8:
    case XVoxelType::kMask: {
        std::vector<uint8_t> table = MakeLookupTable(XVoxelType::kGrey8);
        const uint8_t* s = inVolume.GetData();
        for (size_t i = 0; i < count; ++i)
            t[i] = table[s[i]];
        break;
    }
    case XVoxelType::kGrey16: {
        std::vector<uint8_t> table = MakeLookupTable(XVoxelType::kGrey16);
        const uint16_t* s = reinterpret_cast<const uint16_t*>(inVolume.GetData());
        for (size_t i = 0; i < count; ++i)
            t[i] = table[s[i]];
        break;
    }
    case XVoxelType::kFloat32: {
        const float* s = reinterpret_cast<const float*>(inVolume.GetData());
        for (size_t i = 0; i < count; ++i)
            t[i] = MapValue(double(s[i]));
        break;
    }
    case XVoxelType::kARGB32:
    case XVoxelType::kBGRA32:
    case XVoxelType::kRGB48: {
        XGrey8Volume grey;
        inVolume.CopyOutToGrey8Volume(grey);
        std::vector<uint8_t> table = MakeLookupTable(XVoxelType::kGrey8);
        const uint8_t* s = grey.GetData();
        for (size_t i = 0; i < count; ++i)
            t[i] = table[s[i]];
        break;
    }
    }
}

namespace {
template <class V>
bool RangeOf(const V* inValues, size_t inCount, double& outMinimum, double& outMaximum)
{
    bool any = false;
    V lo{}, hi{};
    for (size_t i = 0; i < inCount; ++i) {
        V v = inValues[i];
        if constexpr (std::is_floating_point_v<V>) {
            if (std::isnan(v))
                continue;
        }
        if (!any) {
            lo = hi = v;
            any = true;
        } else {
            lo = v < lo ? v : lo;
            hi = v > hi ? v : hi;
        }
    }
    if (any) {
        outMinimum = double(lo);
        outMaximum = double(hi);
    }
    return any;
}
} // namespace

bool XVolumeLevelScalingHelper::GetDataRange(const XVolume& inVolume, double& outMinimum, double& outMaximum)
{
    if (inVolume.IsEmpty())
        return false;
    const size_t count = size_t(inVolume.GetVoxelCount());
    switch (inVolume.GetVoxelType()) {
    case XVoxelType::kGrey16:
        return RangeOf(reinterpret_cast<const uint16_t*>(inVolume.GetData()), count, outMinimum, outMaximum);
    case XVoxelType::kFloat32:
        return RangeOf(reinterpret_cast<const float*>(inVolume.GetData()), count, outMinimum, outMaximum);
    case XVoxelType::kARGB32:
    case XVoxelType::kBGRA32: {
        // The colour bytes only: alpha says nothing about the data.
        const uint8_t* p = inVolume.GetData();
        uint8_t lo = 255, hi = 0;
        size_t first = inVolume.GetVoxelType() == XVoxelType::kARGB32 ? 1 : 0;
        for (size_t i = 0; i < count; ++i)
            for (size_t c = first; c < first + 3; ++c) {
                lo = std::min(lo, p[i * 4 + c]);
                hi = std::max(hi, p[i * 4 + c]);
            }
        outMinimum = lo;
        outMaximum = hi;
        return true;
    }
    case XVoxelType::kRGB48:
        // Every component counts alike: the voxels read as three times as many 16-bit values.
        return RangeOf(reinterpret_cast<const uint16_t*>(inVolume.GetData()), 3 * count, outMinimum, outMaximum);
    case XVoxelType::kGrey8:
    case XVoxelType::kMask:
        break;
    }
    return RangeOf(inVolume.GetData(), count, outMinimum, outMaximum);
}

namespace {
constexpr size_t kFloatBins = 4096;

// Adds the non-zero values to a histogram of one bin per value (8 and 16 bit).
template <class V>
void CountValues(const XVolume& inVolume, std::vector<uint64_t>& inOutBins)
{
    const V* p = reinterpret_cast<const V*>(inVolume.GetData());
    const size_t n = size_t(inVolume.GetVoxelCount());
    for (size_t i = 0; i < n; ++i)
        ++inOutBins[p[i]];
}

// The first bin from the low end (or the high end) past inSkip counted voxels.
size_t ClippedBin(const std::vector<uint64_t>& inBins, uint64_t inSkip, bool inFromTop)
{
    uint64_t seen = 0;
    for (size_t i = 0; i < inBins.size(); ++i) {
        const size_t bin = inFromTop ? inBins.size() - 1 - i : i;
        seen += inBins[bin];
        if (seen > inSkip)
            return bin;
    }
    return inFromTop ? 0 : inBins.size() - 1;
}
} // namespace

bool XVolumeLevelScalingHelper::GetAutoDisplayRange(const std::vector<const XVolume*>& inVolumes, double& outBlack,
                                                    double& outWhite)
{
    XVoxelType type = XVoxelType::kGrey8;
    bool typed = false;
    double lowest = 0, highest = 0; // float only: the binned interval
    for (const XVolume* volume : inVolumes) {
        if (!volume || volume->IsEmpty())
            continue;
        const XVoxelType t = volume->GetVoxelType() == XVoxelType::kMask ? XVoxelType::kGrey8 : volume->GetVoxelType();
        if (t == XVoxelType::kARGB32 || t == XVoxelType::kBGRA32 || (typed && t != type))
            return false;
        if (t == XVoxelType::kFloat32) {
            // The extremes of the counted values: zeros, NaN and infinities are left out.
            const float* p = reinterpret_cast<const float*>(volume->GetData());
            const size_t n = size_t(volume->GetVoxelCount());
            bool any = false;
            for (size_t i = 0; i < n; ++i) {
                if (!std::isfinite(p[i]) || p[i] == 0.0f)
                    continue;
                lowest = typed || any ? std::min(lowest, double(p[i])) : double(p[i]);
                highest = typed || any ? std::max(highest, double(p[i])) : double(p[i]);
                any = true;
            }
            if (!any)
                continue;
        }
        type = t;
        typed = true;
    }
    if (!typed)
        return false;

    std::vector<uint64_t> bins(type == XVoxelType::kGrey8 ? 256 : type == XVoxelType::kGrey16 ? 65536 : kFloatBins, 0);
    const double binWidth = type == XVoxelType::kFloat32 ? (highest - lowest) / double(kFloatBins) : 1.0;
    for (const XVolume* volume : inVolumes) {
        if (!volume || volume->IsEmpty())
            continue;
        if (type == XVoxelType::kGrey8)
            CountValues<uint8_t>(*volume, bins);
        else if (type == XVoxelType::kGrey16)
            CountValues<uint16_t>(*volume, bins);
        else {
            const float* p = reinterpret_cast<const float*>(volume->GetData());
            const size_t n = size_t(volume->GetVoxelCount());
            for (size_t i = 0; i < n; ++i) {
                if (!std::isfinite(p[i]) || p[i] == 0.0f)
                    continue;
                const double at = binWidth > 0 ? (double(p[i]) - lowest) / binWidth : 0.0;
                ++bins[std::min(kFloatBins - 1, size_t(std::max(0.0, at)))];
            }
        }
    }
    // Integer zeros are background; float zeros were never binned.
    if (type != XVoxelType::kFloat32)
        bins[0] = 0;
    uint64_t total = 0;
    for (uint64_t count : bins)
        total += count;
    if (total == 0)
        return false;

    const auto value = [&](size_t inBin, bool inUpperEdge) {
        return type == XVoxelType::kFloat32 ? lowest + double(inBin + (inUpperEdge ? 1 : 0)) * binWidth : double(inBin);
    };
    const uint64_t skip = uint64_t(double(total) * kAutoSaturation);
    size_t low = ClippedBin(bins, skip, false), high = ClippedBin(bins, skip, true);
    if (low >= high) {
        low = ClippedBin(bins, 0, false);
        high = ClippedBin(bins, 0, true);
    }
    outBlack = value(low, false);
    outWhite = value(high, true);
    // A single value shows at full colour over black.
    if (!(outWhite > outBlack))
        outBlack = outWhite > 0.0 ? 0.0 : outWhite - 1.0;
    return true;
}

#include "XExtendedFocusTool.h"

#include "XException.h"
#include "XGrey16Volume.h"
#include "XRGB48Colour.h"
#include "XVolume.h"

#include <cmath>
#include <cstring>
#include <type_traits>
#include <vector>

namespace {

template <class V>
inline bool IsBrighter(V inValue, V inBest)
{
    if constexpr (std::is_floating_point_v<V>)
        return inValue > inBest || (std::isnan(inBest) && !std::isnan(inValue));
    else
        return inValue > inBest;
}

template <class V>
void ProjectGrey(const XVolume& inSource, XVolume& outImage, uint16_t* outPlanes)
{
    const size_t count = size_t(inSource.GetWidth()) * size_t(inSource.GetHeight());
    V* best = reinterpret_cast<V*>(outImage.GetData());
    std::memcpy(best, inSource.GetLayerPtr(0), count * sizeof(V));
    for (int32_t z = 1; z < inSource.GetDepth(); ++z) {
        const V* layer = reinterpret_cast<const V*>(inSource.GetLayerPtr(z));
        if (outPlanes) {
            for (size_t i = 0; i < count; ++i)
                if (IsBrighter(layer[i], best[i])) {
                    best[i] = layer[i];
                    outPlanes[i] = uint16_t(z);
                }
        } else {
            // No branch: the compiler vectorises this loop.
            for (size_t i = 0; i < count; ++i)
                best[i] = IsBrighter(layer[i], best[i]) ? layer[i] : best[i];
        }
    }
}

void ProjectColour(const XVolume& inSource, XVolume& outImage, uint16_t* outPlanes, size_t inFirstColourByte)
{
    const size_t count = size_t(inSource.GetWidth()) * size_t(inSource.GetHeight());
    uint8_t* best = outImage.GetData();
    std::memcpy(best, inSource.GetLayerPtr(0), count * 4);
    std::vector<uint16_t> bestSum(count);
    auto sum = [inFirstColourByte](const uint8_t* p) {
        return uint16_t(p[inFirstColourByte] + p[inFirstColourByte + 1] + p[inFirstColourByte + 2]);
    };
    for (size_t i = 0; i < count; ++i)
        bestSum[i] = sum(best + 4 * i);
    for (int32_t z = 1; z < inSource.GetDepth(); ++z) {
        const uint8_t* layer = inSource.GetLayerPtr(z);
        for (size_t i = 0; i < count; ++i) {
            uint16_t s = sum(layer + 4 * i);
            if (s > bestSum[i]) {
                bestSum[i] = s;
                std::memcpy(best + 4 * i, layer + 4 * i, 4);
                if (outPlanes)
                    outPlanes[i] = uint16_t(z);
            }
        }
    }
}

// 48-bit colour by the same rule: the voxel of the largest red + green + blue.
void ProjectRGB48(const XVolume& inSource, XVolume& outImage, uint16_t* outPlanes)
{
    const size_t count = size_t(inSource.GetWidth()) * size_t(inSource.GetHeight());
    auto* best = reinterpret_cast<XRGB48Colour*>(outImage.GetData());
    std::memcpy(best, inSource.GetLayerPtr(0), count * sizeof(XRGB48Colour));
    auto sum = [](const XRGB48Colour& inColour) { return uint32_t(inColour.red) + inColour.green + inColour.blue; };
    std::vector<uint32_t> bestSum(count);
    for (size_t i = 0; i < count; ++i)
        bestSum[i] = sum(best[i]);
    for (int32_t z = 1; z < inSource.GetDepth(); ++z) {
        const auto* layer = reinterpret_cast<const XRGB48Colour*>(inSource.GetLayerPtr(z));
        for (size_t i = 0; i < count; ++i) {
            const uint32_t s = sum(layer[i]);
            if (s > bestSum[i]) {
                bestSum[i] = s;
                best[i] = layer[i];
                if (outPlanes)
                    outPlanes[i] = uint16_t(z);
            }
        }
    }
}

} // namespace

std::unique_ptr<XVolume> XExtendedFocusTool::MakeExtendedFocusImage(const XVolume& inSource, XGrey16Volume* outFocusMap)
{
    const X3DRect& b = inSource.GetBounds();
    X3DRect imageBounds = inSource.IsEmpty() ? X3DRect() : X3DRect(b.GetXYRect(), b.front, 1);
    std::unique_ptr<XVolume> image = XVolume::Make(inSource.GetVoxelType(), imageBounds);
    image->CopyCalibrationAndNames(inSource);
    if (outFocusMap) {
        outFocusMap->SetBounds(imageBounds);
        outFocusMap->Clear();
    }
    if (inSource.IsEmpty())
        return image;
    if (outFocusMap && inSource.GetDepth() > 65536)
        throw XException(XException::kBadArgument,
                         XString("A focus map holds at most 65536 planes; this volume has %1. Project fewer planes at a time.")
                             .Replace(int64_t(inSource.GetDepth())));
    uint16_t* planes = outFocusMap ? outFocusMap->GetVoxelLayer(0) : nullptr;
    switch (inSource.GetVoxelType()) {
    case XVoxelType::kGrey8:
    case XVoxelType::kMask: ProjectGrey<uint8_t>(inSource, *image, planes); break;
    case XVoxelType::kGrey16: ProjectGrey<uint16_t>(inSource, *image, planes); break;
    case XVoxelType::kFloat32: ProjectGrey<float>(inSource, *image, planes); break;
    case XVoxelType::kARGB32: ProjectColour(inSource, *image, planes, 1); break;
    case XVoxelType::kBGRA32: ProjectColour(inSource, *image, planes, 0); break;
    case XVoxelType::kRGB48: ProjectRGB48(inSource, *image, planes); break;
    }
    return image;
}

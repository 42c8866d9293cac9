#include "XChannelMerger.h"

#include "XARGB32Volume.h"
#include "XAssert.h"
#include "XImageRenderer.h"
#include "XVolume.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

using Mode = XChannelMerger::XMode;

// Contributions are fixed point with 8 fraction bits, so rounding happens once, at the end.
constexpr uint32_t kOne = 256;

enum class XSourceKind { kLevels8, kLevels16, kFloat, kARGB, kBGRA, kRGB48 };

// A 16-bit colour component as a byte, rounded.
inline uint8_t ComponentTo8(uint16_t inValue) { return uint8_t((uint32_t(inValue) * 255u + 32767u) / 65535u); }

struct XChannelPlan {
    const XVolume* image = nullptr;
    X3DRect bounds;
    XSourceKind kind = XSourceKind::kLevels8;
    std::vector<uint8_t> levels;    // value → display level (8- and 16-bit sources)
    XImageRenderer renderer;        // float sources map per voxel
    uint32_t contribution[3][256];  // per component: level (or colour byte) → weighted fixed-point amount
};

void MakePlan(XChannelPlan& outPlan, const XVolume& inImage, double inWeight)
{
    outPlan.image = &inImage;
    outPlan.bounds = inImage.GetBounds();
    uint32_t colour[3] = {255, 255, 255};
    switch (inImage.GetVoxelType()) {
    case XVoxelType::kARGB32: outPlan.kind = XSourceKind::kARGB; break;
    case XVoxelType::kBGRA32: outPlan.kind = XSourceKind::kBGRA; break;
    case XVoxelType::kRGB48: outPlan.kind = XSourceKind::kRGB48; break;
    case XVoxelType::kGrey16: outPlan.kind = XSourceKind::kLevels16; break;
    case XVoxelType::kFloat32: outPlan.kind = XSourceKind::kFloat; break;
    case XVoxelType::kGrey8:
    case XVoxelType::kMask: outPlan.kind = XSourceKind::kLevels8; break;
    }
    if (outPlan.kind != XSourceKind::kARGB && outPlan.kind != XSourceKind::kBGRA && outPlan.kind != XSourceKind::kRGB48) {
        outPlan.renderer = inImage.GetEffectiveImageRenderer();
        XARGB32Colour c = outPlan.renderer.GetColour();
        colour[0] = c.red;
        colour[1] = c.green;
        colour[2] = c.blue;
        if (outPlan.kind != XSourceKind::kFloat) {
            size_t n = outPlan.kind == XSourceKind::kLevels16 ? 65536 : 256;
            outPlan.levels.resize(n);
            for (size_t v = 0; v < n; ++v)
                outPlan.levels[v] = outPlan.renderer.MapValue(double(v));
        }
    }
    // Anything above full scale saturates in every mode, so the amounts are capped there.
    for (int c = 0; c < 3; ++c)
        for (uint32_t level = 0; level < 256; ++level)
            outPlan.contribution[c][level] = uint32_t(
                std::min(255.0 * kOne, std::round(double(level) * double(colour[c]) / 255.0 * inWeight * double(kOne))));
}

template <Mode M>
inline void Add(uint32_t* inOutAcc, const uint32_t (&inContribution)[3][256], uint32_t inLevel)
{
    if constexpr (M == Mode::kMaximum) {
        inOutAcc[0] = std::max(inOutAcc[0], inContribution[0][inLevel]);
        inOutAcc[1] = std::max(inOutAcc[1], inContribution[1][inLevel]);
        inOutAcc[2] = std::max(inOutAcc[2], inContribution[2][inLevel]);
    } else {
        inOutAcc[0] += inContribution[0][inLevel];
        inOutAcc[1] += inContribution[1][inLevel];
        inOutAcc[2] += inContribution[2][inLevel];
    }
}

template <Mode M>
inline void AddColour(uint32_t* inOutAcc, const uint32_t (&inContribution)[3][256], uint8_t inR, uint8_t inG, uint8_t inB)
{
    if constexpr (M == Mode::kMaximum) {
        inOutAcc[0] = std::max(inOutAcc[0], inContribution[0][inR]);
        inOutAcc[1] = std::max(inOutAcc[1], inContribution[1][inG]);
        inOutAcc[2] = std::max(inOutAcc[2], inContribution[2][inB]);
    } else {
        inOutAcc[0] += inContribution[0][inR];
        inOutAcc[1] += inContribution[1][inG];
        inOutAcc[2] += inContribution[2][inB];
    }
}

template <Mode M>
void AccumulateRow(const XChannelPlan& inPlan, const uint8_t* inRow, size_t inCount, uint32_t* inOutAcc)
{
    const auto& contribution = inPlan.contribution;
    switch (inPlan.kind) {
    case XSourceKind::kLevels8: {
        const uint8_t* levels = inPlan.levels.data();
        for (size_t x = 0; x < inCount; ++x)
            Add<M>(inOutAcc + 3 * x, contribution, levels[inRow[x]]);
        break;
    }
    case XSourceKind::kLevels16: {
        const uint8_t* levels = inPlan.levels.data();
        uint16_t value;
        for (size_t x = 0; x < inCount; ++x) {
            std::memcpy(&value, inRow + 2 * x, 2);
            Add<M>(inOutAcc + 3 * x, contribution, levels[value]);
        }
        break;
    }
    case XSourceKind::kFloat: {
        float value;
        for (size_t x = 0; x < inCount; ++x) {
            std::memcpy(&value, inRow + 4 * x, 4);
            Add<M>(inOutAcc + 3 * x, contribution, inPlan.renderer.MapValue(double(value)));
        }
        break;
    }
    case XSourceKind::kARGB:
        for (size_t x = 0; x < inCount; ++x)
            AddColour<M>(inOutAcc + 3 * x, contribution, inRow[4 * x + 1], inRow[4 * x + 2], inRow[4 * x + 3]);
        break;
    case XSourceKind::kBGRA:
        for (size_t x = 0; x < inCount; ++x)
            AddColour<M>(inOutAcc + 3 * x, contribution, inRow[4 * x + 2], inRow[4 * x + 1], inRow[4 * x]);
        break;
    case XSourceKind::kRGB48: {
        uint16_t rgb[3];
        for (size_t x = 0; x < inCount; ++x) {
            std::memcpy(rgb, inRow + 6 * x, 6);
            AddColour<M>(inOutAcc + 3 * x, contribution, ComponentTo8(rgb[0]), ComponentTo8(rgb[1]),
                         ComponentTo8(rgb[2]));
        }
        break;
    }
    }
}

template <Mode M>
void MergeAll(const std::vector<XChannelPlan>& inPlans, XARGB32Volume& outImage)
{
    const X3DRect& u = outImage.GetBounds();
    const size_t width = size_t(u.GetWidth());
    std::vector<uint32_t> acc(3 * width);
    for (int32_t z = u.front; z < u.back; ++z) {
        for (int32_t y = u.top; y < u.bottom; ++y) {
            std::fill(acc.begin(), acc.end(), 0u);
            for (const XChannelPlan& plan : inPlans) {
                const X3DRect& b = plan.bounds;
                if (y < b.top || y >= b.bottom || z < b.front || z >= b.back)
                    continue;
                AccumulateRow<M>(plan, plan.image->GetRowPtr(y - b.top, z - b.front), size_t(b.GetWidth()),
                                 acc.data() + 3 * size_t(b.left - u.left));
            }
            // One 32-bit store per voxel: the bytes a, r, g, b in memory order.
            uint8_t* out = outImage.GetRowPtr(y - u.top, z - u.front);
            const uint32_t* a = acc.data();
            for (size_t x = 0; x < width; ++x, a += 3) {
                uint32_t r = std::min<uint32_t>(255, (a[0] + kOne / 2) / kOne);
                uint32_t g = std::min<uint32_t>(255, (a[1] + kOne / 2) / kOne);
                uint32_t b = std::min<uint32_t>(255, (a[2] + kOne / 2) / kOne);
                uint8_t bytes[4] = {255, uint8_t(r), uint8_t(g), uint8_t(b)};
                std::memcpy(out + 4 * x, bytes, 4);
            }
        }
    }
}

} // namespace

std::unique_ptr<XVolume> XChannelMerger::Merge(const std::vector<const XVolume*>& inImages,
                                               const std::vector<double>& inWeights, XMode inMode)
{
    X_ASSERT(inWeights.size() >= inImages.size());
    std::vector<const XVolume*> images;
    std::vector<double> weights;
    X3DRect bounds;
    for (size_t i = 0; i < inImages.size(); ++i) {
        if (!inImages[i])
            continue;
        double w = i < inWeights.size() ? inWeights[i] : 1.0;
        if (!std::isfinite(w) || w < 0.0)
            w = 0.0;
        images.push_back(inImages[i]);
        weights.push_back(w);
        bounds = bounds.Union(inImages[i]->GetBounds());
    }
    if (images.empty())
        return nullptr;

    auto result = std::make_unique<XARGB32Volume>(bounds);
    result->CopyCalibrationAndNames(*images.front());
    result->ClearImageRenderer();
    if (bounds.IsEmpty())
        return result;

    // The average is a sum with the weights divided by their total beforehand.
    double totalWeight = 0.0;
    for (double w : weights)
        totalWeight += w;
    std::vector<XChannelPlan> plans;
    plans.reserve(images.size());
    for (size_t i = 0; i < images.size(); ++i) {
        // A channel without weight adds nothing in any mode.
        if (weights[i] == 0.0 || images[i]->IsEmpty())
            continue;
        plans.emplace_back();
        MakePlan(plans.back(), *images[i], inMode == XMode::kAverage ? weights[i] / totalWeight : weights[i]);
    }
    if (inMode == XMode::kMaximum)
        MergeAll<Mode::kMaximum>(plans, *result);
    else
        MergeAll<Mode::kCombine>(plans, *result); // average and combine both sum
    return result;
}

std::unique_ptr<XVolume> XChannelMerger::Merge(const XPtrVector<XVolume>& inImages, const std::vector<double>& inWeights,
                                               XMode inMode)
{
    return Merge(std::vector<const XVolume*>(inImages.begin(), inImages.end()), inWeights, inMode);
}

std::unique_ptr<XVolume> XChannelMerger::Merge(const std::vector<std::unique_ptr<XVolume>>& inImages,
                                               const std::vector<double>& inWeights, XMode inMode)
{
    std::vector<const XVolume*> images;
    for (const auto& image : inImages)
        images.push_back(image.get());
    return Merge(images, inWeights, inMode);
}

#include "XTIFFSequenceImporter.h"

#include "XDataVolumeSequence.h"
#include "XImageRenderer.h"
#include "XSampleDB.h"
#include "XTIFFImporter.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <type_traits>

namespace {

// The lowest and highest value of a scalar volume, NaN skipped; false when it holds no number.
template <class T>
bool FindRange(const XVolume& inVolume, double& inOutLow, double& inOutHigh)
{
    const T* p = reinterpret_cast<const T*>(inVolume.GetData());
    const uint64_t n = inVolume.GetVoxelCount();
    if (!p || n == 0)
        return false;
    T low = std::numeric_limits<T>::max(), high = std::numeric_limits<T>::lowest();
    bool any = false;
    if constexpr (std::is_integral_v<T>) {
        // Branch-free, so the compiler can vectorise the pass over the whole stack.
        for (uint64_t i = 0; i < n; ++i) {
            low = std::min(low, p[i]);
            high = std::max(high, p[i]);
        }
        any = true;
    } else {
        for (uint64_t i = 0; i < n; ++i) {
            T v = p[i];
            if (!std::isfinite(v))
                continue;
            low = std::min(low, v);
            high = std::max(high, v);
            any = true;
        }
    }
    if (any) {
        inOutLow = std::min(inOutLow, double(low));
        inOutHigh = std::max(inOutHigh, double(high));
    }
    return any;
}

XString BaseName(const XString& inPath)
{
    size_t slash = inPath.GetStdString().rfind('/');
    return slash == std::string::npos ? inPath : inPath.Mid(slash + 1);
}

} // namespace

std::unique_ptr<XDataVolumeSequence> XTIFFSequenceImporter::Import(const XString& inPath, XProgress* inProgress,
                                                                   std::vector<bool>* outStoredRanges)
{
    XTIFFImporter importer(inPath);
    const XTIFFImporter::XLayout& layout = importer.GetLayout();
    std::vector<std::unique_ptr<XVolume>> volumes = importer.ReadAll(inProgress);

    auto sequence = std::make_unique<XDataVolumeSequence>(layout.channelCount, layout.timepointCount);
    sequence->SetName(BaseName(inPath));
    sequence->SetCalibration(layout.calibration[0], layout.calibration[1], layout.calibration[2]);
    const XTime start = layout.hasStartTime ? layout.startTime : XTime();
    sequence->SetStartTime(start);
    for (uint32_t t = 0; t < layout.timepointCount; ++t)
        sequence->SetTimepointTime(t + 1, start + XTime(layout.timepointOffsets[t]));

    if (outStoredRanges)
        outStoredRanges->clear();
    for (uint32_t c = 0; c < layout.channelCount; ++c) {
        const XTIFFImporter::XChannelInfo& info = layout.channels[c];
        if (!info.name.IsEmpty())
            sequence->SetChannelName(c + 1, info.name);
        double low = std::numeric_limits<double>::max(), high = std::numeric_limits<double>::lowest();
        bool any = false;
        for (uint32_t t = 0; t < layout.timepointCount; ++t) {
            const XVolume& v = *volumes[size_t(c) * layout.timepointCount + t];
            switch (v.GetVoxelType()) {
            case XVoxelType::kGrey8: any |= FindRange<uint8_t>(v, low, high); break;
            case XVoxelType::kGrey16: any |= FindRange<uint16_t>(v, low, high); break;
            case XVoxelType::kFloat32: any |= FindRange<float>(v, low, high); break;
            default: break;
            }
        }
        // Integer data shows from 0; float data may hold negative values.
        double black = layout.voxelType == XVoxelType::kFloat32 && any ? std::min(0.0, low) : 0.0;
        double white = any && high > black ? high
            : layout.voxelType == XVoxelType::kGrey8 ? 255.0
            : layout.voxelType == XVoxelType::kGrey16 ? 65535.0 : black + 1.0;
        if (info.hasDisplayRange) {
            black = info.displayBlack;
            white = info.displayWhite;
        }
        sequence->SetRenderer(c + 1, XImageRenderer(info.colour, black, white));
        if (outStoredRanges)
            outStoredRanges->push_back(info.hasDisplayRange);
        for (uint32_t t = 0; t < layout.timepointCount; ++t)
            sequence->SetVolume(c + 1, t + 1, std::shared_ptr<const XVolume>(std::move(volumes[size_t(c) * layout.timepointCount + t])));
    }
    return sequence;
}

uint32_t XTIFFSequenceImporter::ImportIntoDatabase(const XString& inPath, XSampleDB& inDB, XProgress* inProgress)
{
    std::unique_ptr<XDataVolumeSequence> sequence = Import(inPath, inProgress);
    return inDB.AddSample(std::move(sequence));
}

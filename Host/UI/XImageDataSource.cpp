#include "XImageDataSource.h"

#include "XARGB32Volume.h"
#include "XBGRA32Volume.h"
#include "XDataVolumeSequence.h"
#include "XException.h"
#include "XFloat32Volume.h"
#include "XImageRenderer.h"
#include "XRGB48Volume.h"
#include "XSampleDB.h"

#include <cmath>

namespace {

// Maximum along z of a scalar volume, and where it lies.
template <class T>
void ProjectScalar(const XVolume& inVolume, XVolume& outImage, XFloat32Volume& outMap)
{
    const int32_t w = inVolume.GetWidth(), h = inVolume.GetHeight(), d = inVolume.GetDepth();
    const int32_t front = inVolume.GetBounds().GetFront();
    for (int32_t y = 0; y < h; ++y) {
        auto* best = reinterpret_cast<T*>(outImage.GetRowPtr(y, 0));
        float* where = outMap.GetVoxelRow(y, 0);
        std::copy_n(reinterpret_cast<const T*>(inVolume.GetRowPtr(y, 0)), w, best);
        std::fill_n(where, w, float(front));
        for (int32_t z = 1; z < d; ++z) {
            const T* row = reinterpret_cast<const T*>(inVolume.GetRowPtr(y, z));
            for (int32_t x = 0; x < w; ++x) {
                // NaN never wins, and a NaN start gives way to any number.
                if (row[x] > best[x] || (best[x] != best[x] && row[x] == row[x])) {
                    best[x] = row[x];
                    where[x] = float(front + z);
                }
            }
        }
    }
}

// Colour voxels compare by the sum of red, green and blue.
template <class TVolume>
void ProjectColour(const XVolume& inVolume, XVolume& outImage, XFloat32Volume& outMap)
{
    using Voxel = typename TVolume::Voxel;
    const int32_t w = inVolume.GetWidth(), h = inVolume.GetHeight(), d = inVolume.GetDepth();
    const int32_t front = inVolume.GetBounds().GetFront();
    auto key = [](const Voxel& v) { return int(v.red) + int(v.green) + int(v.blue); };
    for (int32_t y = 0; y < h; ++y) {
        auto* best = reinterpret_cast<Voxel*>(outImage.GetRowPtr(y, 0));
        float* where = outMap.GetVoxelRow(y, 0);
        std::copy_n(reinterpret_cast<const Voxel*>(inVolume.GetRowPtr(y, 0)), w, best);
        std::fill_n(where, w, float(front));
        for (int32_t z = 1; z < d; ++z) {
            const Voxel* row = reinterpret_cast<const Voxel*>(inVolume.GetRowPtr(y, z));
            for (int32_t x = 0; x < w; ++x)
                if (key(row[x]) > key(best[x])) {
                    best[x] = row[x];
                    where[x] = float(front + z);
                }
        }
    }
}

} // namespace

XImageDataSource::XImageDataSource(uint32_t inSampleID) : itsSampleID(inSampleID), itsSequence(ReadSample(inSampleID)) {}

XImageDataSource::XImageDataSource(std::shared_ptr<const XDataVolumeSequence> inSequence) : itsSequence(std::move(inSequence))
{
    if (!itsSequence)
        throw XException(XException::kBadArgument, "An image data source needs a volume sequence to show.");
}

XImageDataSource::~XImageDataSource() = default;

std::shared_ptr<const XDataVolumeSequence> XImageDataSource::ReadSample(uint32_t inSampleID)
{
    // Snapshots are immutable, so holding one keeps this view of the data stable.
    std::shared_ptr<const XDataSample> sample = XSampleDB::GetDB().GetSnapshot(inSampleID).sample;
    auto sequence = std::dynamic_pointer_cast<const XDataVolumeSequence>(sample);
    if (!sequence)
        throw XException(XException::kWrongSampleType,
            XString("data set %1 is not a volume sequence, so it cannot be shown as an image (its type is %2)")
                .Replace(int64_t(inSampleID)).Replace(int64_t(sample ? sample->GetSampleType().GetType() : 0)));
    return sequence;
}

std::shared_ptr<const XDataVolumeSequence> XImageDataSource::GetSequence() const
{
    std::lock_guard lock(itsMutex);
    return itsSequence;
}

void XImageDataSource::Reload()
{
    if (itsSampleID != 0) {
        auto fresh = ReadSample(itsSampleID);
        std::lock_guard lock(itsMutex);
        itsSequence = std::move(fresh);
        itsFocusCache.clear();
    } else {
        std::lock_guard lock(itsMutex);
        itsFocusCache.clear();
    }
    SpeakMessage(XDataChangedMessage(this));
}

void XImageDataSource::SetSequence(std::shared_ptr<const XDataVolumeSequence> inSequence)
{
    if (!inSequence)
        throw XException(XException::kBadArgument, "An image data source needs a volume sequence to show.");
    {
        std::lock_guard lock(itsMutex);
        itsSequence = std::move(inSequence);
        itsFocusCache.clear();
        itsSampleID = 0;
    }
    SpeakMessage(XDataChangedMessage(this));
}

uint32_t XImageDataSource::GetChannelCount() const
{
    return GetSequence()->GetChannelCount();
}

uint32_t XImageDataSource::GetTimepointCount() const
{
    return GetSequence()->GetTimepointCount();
}

XString XImageDataSource::GetChannelName(uint32_t inChannel) const
{
    return GetSequence()->GetChannelName(inChannel);
}

XImageRenderer* XImageDataSource::GetChannelRendererCopy(uint32_t inChannel) const
{
    return GetSequence()->GetRendererCopy(inChannel);
}

XARGB32Colour XImageDataSource::GetChannelColour(uint32_t inChannel) const
{
    std::unique_ptr<XImageRenderer> renderer(GetChannelRendererCopy(inChannel));
    return renderer ? renderer->GetColour() : XARGB32Colour::kWhite;
}

X3DRect XImageDataSource::GetChannelBounds(uint32_t inChannel) const
{
    auto sequence = GetSequence();
    for (uint32_t t = 1; t <= sequence->GetTimepointCount(); ++t)
        if (auto volume = sequence->GetVolume(inChannel, t))
            return volume->GetBounds();
    return X3DRect();
}

X3DRect XImageDataSource::GetBounds() const
{
    auto sequence = GetSequence();
    X3DRect bounds;
    bool any = false;
    for (uint32_t c = 1; c <= sequence->GetChannelCount(); ++c) {
        X3DRect b = GetChannelBounds(c);
        if (b.IsEmpty())
            continue;
        if (!any)
            bounds = b;
        else
            bounds = X3DRect(std::min(bounds.left, b.left), std::min(bounds.top, b.top), std::min(bounds.front, b.front),
                std::max(bounds.right, b.right), std::max(bounds.bottom, b.bottom), std::max(bounds.back, b.back));
        any = true;
    }
    return bounds;
}

std::shared_ptr<const XVolume> XImageDataSource::GetVolume(uint32_t inChannel, uint32_t inTimepoint) const
{
    return GetSequence()->GetVolume(inChannel, inTimepoint);
}

std::unique_ptr<XVolume> XImageDataSource::GetVolumeCopy(uint32_t inChannel, uint32_t inTimepoint) const
{
    auto volume = GetVolume(inChannel, inTimepoint);
    if (!volume)
        return nullptr;
    XVolume::XReadLock lock(*volume);
    return volume->Clone();
}

std::shared_ptr<const XVolume> XImageDataSource::GetTemplateVolume() const
{
    auto sequence = GetSequence();
    for (uint32_t t = 1; t <= sequence->GetTimepointCount(); ++t)
        for (uint32_t c = 1; c <= sequence->GetChannelCount(); ++c)
            if (auto volume = sequence->GetVolume(c, t))
                return volume;
    return nullptr;
}

double XImageDataSource::GetCalibrationX() const
{
    return GetSequence()->GetCalibrationX();
}

double XImageDataSource::GetCalibrationY() const
{
    return GetSequence()->GetCalibrationY();
}

double XImageDataSource::GetCalibrationZ() const
{
    return GetSequence()->GetCalibrationZ();
}

XTime XImageDataSource::GetTimepointTime(uint32_t inTimepoint) const
{
    return GetSequence()->GetTimepointTime(inTimepoint);
}

XTime XImageDataSource::GetStartTime() const
{
    return GetSequence()->GetStartTime();
}

XImageDataSource::XFocus XImageDataSource::GetFocus(uint32_t inChannel, uint32_t inTimepoint) const
{
    std::shared_ptr<const XDataVolumeSequence> sequence;
    {
        std::lock_guard lock(itsMutex);
        auto it = itsFocusCache.find({inChannel, inTimepoint});
        if (it != itsFocusCache.end())
            return it->second;
        sequence = itsSequence;
    }
    std::shared_ptr<const XVolume> volume = sequence->GetVolume(inChannel, inTimepoint);
    if (!volume || volume->IsEmpty())
        return XFocus();

    // The projection is made outside the lock: it reads a whole volume.
    const X3DRect& b = volume->GetBounds();
    const X3DRect plane(b.left, b.top, b.front, b.right, b.bottom, b.front + 1);
    std::shared_ptr<XVolume> image = XVolume::Make(volume->GetVoxelType(), plane);
    auto map = std::make_shared<XFloat32Volume>(plane);
    {
        XVolume::XReadLock read(*volume);
        image->CopyCalibrationAndNames(*volume);
        map->SetCalibration(volume->GetCalibrationX(), volume->GetCalibrationY(), volume->GetCalibrationZ());
        switch (volume->GetVoxelType()) {
        case XVoxelType::kGrey8:
        case XVoxelType::kMask: ProjectScalar<uint8_t>(*volume, *image, *map); break;
        case XVoxelType::kGrey16: ProjectScalar<uint16_t>(*volume, *image, *map); break;
        case XVoxelType::kFloat32: ProjectScalar<float>(*volume, *image, *map); break;
        case XVoxelType::kARGB32: ProjectColour<XARGB32Volume>(*volume, *image, *map); break;
        case XVoxelType::kBGRA32: ProjectColour<XBGRA32Volume>(*volume, *image, *map); break;
        case XVoxelType::kRGB48: ProjectColour<XRGB48Volume>(*volume, *image, *map); break;
        }
    }
    XFocus focus{std::move(image), std::move(map)};

    std::lock_guard lock(itsMutex);
    // A Reload while projecting makes this result stale: hand it out, but do not keep it.
    if (sequence == itsSequence) {
        if (itsFocusCache.size() >= kMaxCachedFocus)
            itsFocusCache.clear();
        itsFocusCache[{inChannel, inTimepoint}] = focus;
    }
    return focus;
}

std::unique_ptr<XVolume> XImageDataSource::GetExtendedFocusImage(uint32_t inChannel, uint32_t inTimepoint) const
{
    XFocus focus = GetFocus(inChannel, inTimepoint);
    return focus.image ? focus.image->Clone() : nullptr;
}

std::shared_ptr<const XVolume> XImageDataSource::GetFocusMap(uint32_t inChannel, uint32_t inTimepoint) const
{
    return GetFocus(inChannel, inTimepoint).map;
}

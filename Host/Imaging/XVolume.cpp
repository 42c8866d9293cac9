#include "XVolume.h"

#include "XARGB32Volume.h"
#include "XAssert.h"
#include "XBGRA32Volume.h"
#include "XException.h"
#include "XFloat32Volume.h"
#include "XGrey16Volume.h"
#include "XGrey8Volume.h"
#include "XMaskVolume.h"
#include "XRGB48Volume.h"
#include "XStream.h"
#include "XClassRegistry.h"
#include "XVoxelAccess.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <sys/mman.h>

namespace {

XString DescribeBox(const X3DRect& inBox)
{
    return XString("(%1, %2, %3)–(%4, %5, %6)")
        .Replace(int64_t(inBox.left)).Replace(int64_t(inBox.top)).Replace(int64_t(inBox.front))
        .Replace(int64_t(inBox.right)).Replace(int64_t(inBox.bottom)).Replace(int64_t(inBox.back));
}

// Source positions for one axis of a resampled copy: for each target coordinate the
// nearest source index, or the two neighbours and the weight of the second.
struct XAxisMap {
    std::vector<int32_t> i0;
    std::vector<int32_t> i1;
    std::vector<float> f;
};

// inTarget runs over [inT0, inT1) of a box that starts at inToLow and is inToSize long;
// it maps onto a source box starting at inFromLow, inFromSize long, sampled only inside
// [inClipLow, inClipHigh); indices are returned relative to inOrigin (the source's own).
XAxisMap MakeAxisMap(int32_t inT0, int32_t inT1, int32_t inToLow, int32_t inToSize, int32_t inFromLow,
                     int32_t inFromSize, int32_t inClipLow, int32_t inClipHigh, int32_t inOrigin, bool inLinear)
{
    XAxisMap map;
    size_t n = size_t(inT1 - inT0);
    map.i0.resize(n);
    map.i1.resize(n);
    map.f.resize(n);
    double scale = double(inFromSize) / double(inToSize);
    for (size_t k = 0; k < n; ++k) {
        double t = double(inT0) + double(k);
        double u = double(inFromLow) + (t - inToLow + 0.5) * scale - 0.5; // voxel centres onto voxel centres
        auto clamp = [&](double v) { return int32_t(std::min<double>(std::max<double>(v, inClipLow), inClipHigh - 1)); };
        if (inLinear) {
            double lo = std::floor(u);
            int32_t a = clamp(lo);
            int32_t b = clamp(lo + 1.0);
            map.i0[k] = a - inOrigin;
            map.i1[k] = b - inOrigin;
            map.f[k] = (a == b) ? 0.0f : float(u - lo);
            if (u < inClipLow) // outside the clip both neighbours are the edge voxel
                map.f[k] = 0.0f;
        } else {
            int32_t a = clamp(std::floor(u + 0.5));
            map.i0[k] = map.i1[k] = a - inOrigin;
            map.f[k] = 0.0f;
        }
    }
    return map;
}

template <class S, class T>
void ResampleNearestConvert(const XVolume& inSource, XVolume& inOutTarget, const XAxisMap& inX, const XAxisMap& inY,
                            const XAxisMap& inZ, int32_t inX0, int32_t inY0, int32_t inZ0)
{
    for (size_t kz = 0; kz < inZ.i0.size(); ++kz) {
        for (size_t ky = 0; ky < inY.i0.size(); ++ky) {
            const uint8_t* s = inSource.GetRowPtr(inY.i0[ky], inZ.i0[kz]);
            uint8_t* t = inOutTarget.GetVoxelPtr(inX0, inY0 + int32_t(ky), inZ0 + int32_t(kz));
            for (size_t kx = 0; kx < inX.i0.size(); ++kx)
                T::Write(t + kx * T::kSize, S::Read(s + size_t(inX.i0[kx]) * S::kSize));
        }
    }
}

template <class V>
void GatherRow(const uint8_t* inSource, uint8_t* outTarget, const std::vector<int32_t>& inIndices)
{
    const V* s = reinterpret_cast<const V*>(inSource);
    V* t = reinterpret_cast<V*>(outTarget);
    for (size_t k = 0; k < inIndices.size(); ++k)
        t[k] = s[inIndices[k]];
}

void ResampleNearestSame(const XVolume& inSource, XVolume& inOutTarget, const XAxisMap& inX, const XAxisMap& inY,
                         const XAxisMap& inZ, int32_t inX0, int32_t inY0, int32_t inZ0)
{
    size_t bpv = inSource.GetBytesPerVoxel();
    // A run of consecutive source voxels is one memcpy per row.
    bool contiguous = true;
    for (size_t k = 1; k < inX.i0.size() && contiguous; ++k)
        contiguous = inX.i0[k] == inX.i0[k - 1] + 1;
    for (size_t kz = 0; kz < inZ.i0.size(); ++kz) {
        for (size_t ky = 0; ky < inY.i0.size(); ++ky) {
            const uint8_t* s = inSource.GetRowPtr(inY.i0[ky], inZ.i0[kz]);
            uint8_t* t = inOutTarget.GetVoxelPtr(inX0, inY0 + int32_t(ky), inZ0 + int32_t(kz));
            if (contiguous)
                std::memcpy(t, s + size_t(inX.i0[0]) * bpv, inX.i0.size() * bpv);
            else if (bpv == 1)
                GatherRow<uint8_t>(s, t, inX.i0);
            else if (bpv == 2)
                GatherRow<uint16_t>(s, t, inX.i0);
            else if (bpv == 6)
                GatherRow<XRGB48Colour>(s, t, inX.i0);
            else
                GatherRow<uint32_t>(s, t, inX.i0);
        }
    }
}

template <class S, class T>
void ResampleLinear(const XVolume& inSource, XVolume& inOutTarget, const XAxisMap& inX, const XAxisMap& inY,
                    const XAxisMap& inZ, int32_t inX0, int32_t inY0, int32_t inZ0)
{
    using XVoxelAccess::Pixel;
    auto lerp = [](const Pixel& p, const Pixel& q, float f) {
        return Pixel{p.a + (q.a - p.a) * f, p.r + (q.r - p.r) * f, p.g + (q.g - p.g) * f, p.b + (q.b - p.b) * f};
    };
    for (size_t kz = 0; kz < inZ.i0.size(); ++kz) {
        float fz = inZ.f[kz];
        for (size_t ky = 0; ky < inY.i0.size(); ++ky) {
            float fy = inY.f[ky];
            const uint8_t* r00 = inSource.GetRowPtr(inY.i0[ky], inZ.i0[kz]);
            const uint8_t* r10 = inSource.GetRowPtr(inY.i1[ky], inZ.i0[kz]);
            const uint8_t* r01 = inSource.GetRowPtr(inY.i0[ky], inZ.i1[kz]);
            const uint8_t* r11 = inSource.GetRowPtr(inY.i1[ky], inZ.i1[kz]);
            uint8_t* t = inOutTarget.GetVoxelPtr(inX0, inY0 + int32_t(ky), inZ0 + int32_t(kz));
            for (size_t kx = 0; kx < inX.i0.size(); ++kx) {
                size_t a = size_t(inX.i0[kx]) * S::kSize, b = size_t(inX.i1[kx]) * S::kSize;
                float fx = inX.f[kx];
                Pixel p = lerp(S::Read(r00 + a), S::Read(r00 + b), fx);
                if (fy != 0.0f)
                    p = lerp(p, lerp(S::Read(r10 + a), S::Read(r10 + b), fx), fy);
                if (fz != 0.0f) {
                    Pixel q = lerp(S::Read(r01 + a), S::Read(r01 + b), fx);
                    if (fy != 0.0f)
                        q = lerp(q, lerp(S::Read(r11 + a), S::Read(r11 + b), fx), fy);
                    p = lerp(p, q, fz);
                }
                T::Write(t + kx * T::kSize, p);
            }
        }
    }
}

} // namespace

namespace {
// Large volumes come straight from the kernel: the pages are zero already, and 2 MB
// pages cut the number of first-touch faults, which otherwise dominate writing a new
// picture of several hundred megabytes.
constexpr size_t kMappedThreshold = size_t(4) << 20;
constexpr size_t kHugePage = size_t(2) << 20;

size_t MappedLength(size_t inBytes)
{
    return (inBytes + kHugePage - 1) / kHugePage * kHugePage;
}

uint8_t* AllocateZeroed(size_t inBytes)
{
    if (inBytes < kMappedThreshold)
        return static_cast<uint8_t*>(std::calloc(inBytes, 1));
    size_t length = MappedLength(inBytes);
    // Over-map by one huge page so that the block can start on a huge-page boundary.
    void* raw = mmap(nullptr, length + kHugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED)
        return nullptr;
    uintptr_t start = (reinterpret_cast<uintptr_t>(raw) + kHugePage - 1) & ~(kHugePage - 1);
    size_t head = start - reinterpret_cast<uintptr_t>(raw);
    if (head > 0)
        munmap(raw, head);
    if (kHugePage - head > 0)
        munmap(reinterpret_cast<void*>(start + length), kHugePage - head);
    madvise(reinterpret_cast<void*>(start), length, MADV_HUGEPAGE); // a hint; failure is harmless
    return reinterpret_cast<uint8_t*>(start);
}

uint8_t* AllocateForOverwrite(size_t inBytes)
{
    return inBytes < kMappedThreshold ? static_cast<uint8_t*>(std::malloc(inBytes)) : AllocateZeroed(inBytes);
}
} // namespace

void XVolume::XFreeDeleter::operator()(uint8_t* inData) const noexcept
{
    if (!inData)
        return;
    if (itsBytes >= kMappedThreshold)
        munmap(inData, MappedLength(itsBytes));
    else
        std::free(inData);
}

XVolume::XVolume(XVoxelType inType, const X3DRect& inBounds, uint32_t inChannelCount)
    : itsType(inType), itsBounds(inBounds), itsChannelNames(inChannelCount)
{
    Allocate();
}

XVolume::XVolume(const XVolume& inOther)
    : XLockable(), itsType(inOther.itsType), itsBounds(inOther.itsBounds), itsChannelNames(inOther.itsChannelNames), itsRenderer(inOther.itsRenderer)
{
    std::copy(inOther.itsCalibration, inOther.itsCalibration + 3, itsCalibration);
    Allocate();
    if (GetDataSize() > 0)
        std::memcpy(itsData.get(), inOther.itsData.get(), GetDataSize());
}

XVolume& XVolume::operator=(const XVolume& inOther)
{
    if (this == &inOther)
        return *this;
    X_ASSERT(itsType == inOther.itsType);
    XVolume copy(inOther);
    return *this = std::move(copy);
}

XVolume::XVolume(XVolume&& inOther) noexcept
    : XLockable(), itsType(inOther.itsType), itsBounds(inOther.itsBounds), itsRowBytes(inOther.itsRowBytes),
      itsPlaneBytes(inOther.itsPlaneBytes), itsData(std::move(inOther.itsData)),
      itsChannelNames(std::move(inOther.itsChannelNames)), itsRenderer(std::move(inOther.itsRenderer))
{
    std::copy(inOther.itsCalibration, inOther.itsCalibration + 3, itsCalibration);
    inOther.itsBounds = X3DRect();
    inOther.itsRowBytes = inOther.itsPlaneBytes = 0;
}

XVolume& XVolume::operator=(XVolume&& inOther) noexcept
{
    if (this == &inOther)
        return *this;
    itsType = inOther.itsType;
    itsBounds = inOther.itsBounds;
    itsRowBytes = inOther.itsRowBytes;
    itsPlaneBytes = inOther.itsPlaneBytes;
    itsData = std::move(inOther.itsData);
    itsChannelNames = std::move(inOther.itsChannelNames);
    itsRenderer = std::move(inOther.itsRenderer);
    std::copy(inOther.itsCalibration, inOther.itsCalibration + 3, itsCalibration);
    inOther.itsBounds = X3DRect();
    inOther.itsRowBytes = inOther.itsPlaneBytes = 0;
    return *this;
}

XVolume::~XVolume() = default;

void XVolume::Allocate(bool inZeroed)
{
    const X3DRect& b = itsBounds;
    if (b.GetWidth() < 0 || b.GetHeight() < 0 || b.GetDepth() < 0 ||
        int64_t(b.right) - b.left > INT32_MAX || int64_t(b.bottom) - b.top > INT32_MAX || int64_t(b.back) - b.front > INT32_MAX) {
        XString bad = DescribeBox(b);
        itsBounds = X3DRect();
        itsRowBytes = itsPlaneBytes = 0;
        itsData.reset();
        throw XException(XException::kBadArgument,
                         XString("A volume cannot have the bounds %1: each far edge must lie at or beyond the near one.").Replace(bad));
    }
    size_t row = 0, plane = 0, total = 0;
    bool overflow = __builtin_mul_overflow(size_t(b.GetWidth()), GetBytesPerVoxel(), &row) ||
                    __builtin_mul_overflow(row, size_t(b.GetHeight()), &plane) ||
                    __builtin_mul_overflow(plane, size_t(b.GetDepth()), &total);
    uint8_t* data = nullptr;
    if (!overflow && total > 0)
        data = inZeroed ? AllocateZeroed(total) : AllocateForOverwrite(total);
    if (overflow || (total > 0 && !data)) {
        XString bad = DescribeBox(b);
        itsBounds = X3DRect();
        itsRowBytes = itsPlaneBytes = 0;
        itsData.reset();
        throw XException(XException::kBadArgument,
                         XString("There is not enough memory for a %1 volume of bounds %2. Use a smaller region or fewer planes.")
                             .Replace(XString(GetVoxelTypeName(itsType)))
                             .Replace(bad));
    }
    itsRowBytes = row;
    itsPlaneBytes = plane;
    itsData = std::unique_ptr<uint8_t[], XFreeDeleter>(data, XFreeDeleter{total});
}

std::unique_ptr<XVolume> XVolume::Make(XVoxelType inType, const X3DRect& inBounds)
{
    switch (inType) {
    case XVoxelType::kARGB32: return std::make_unique<XARGB32Volume>(inBounds);
    case XVoxelType::kBGRA32: return std::make_unique<XBGRA32Volume>(inBounds);
    case XVoxelType::kGrey8: return std::make_unique<XGrey8Volume>(inBounds);
    case XVoxelType::kGrey16: return std::make_unique<XGrey16Volume>(inBounds);
    case XVoxelType::kFloat32: return std::make_unique<XFloat32Volume>(inBounds);
    case XVoxelType::kMask: return std::make_unique<XMaskVolume>(inBounds);
    case XVoxelType::kRGB48: return std::make_unique<XRGB48Volume>(inBounds);
    }
    throw XException(XException::kBadArgument, "Unknown voxel layout.");
}

std::unique_ptr<XVolume> XVolume::Clone() const
{
    std::unique_ptr<XVolume> copy = Make(itsType, X3DRect());
    XVolume& base = *copy;
    base.itsBounds = itsBounds;
    base.Allocate();
    if (GetDataSize() > 0)
        std::memcpy(base.itsData.get(), itsData.get(), GetDataSize());
    base.CopyCalibrationAndNames(*this);
    return copy;
}

void XVolume::SetOrigin(const X3DPoint& inOrigin)
{
    itsBounds = itsBounds.MovedToOrigin().Offsetted(inOrigin.x, inOrigin.y, inOrigin.z);
}

void XVolume::SetBounds(const X3DRect& inBounds)
{
    if (inBounds.GetWidth() == itsBounds.GetWidth() && inBounds.GetHeight() == itsBounds.GetHeight() &&
        inBounds.GetDepth() == itsBounds.GetDepth() && inBounds.GetWidth() >= 0 && inBounds.GetHeight() >= 0 &&
        inBounds.GetDepth() >= 0) {
        itsBounds = inBounds;
        return;
    }
    itsBounds = inBounds;
    Allocate();
}

XString XVolume::GetChannelName(uint32_t inChannel) const
{
    return inChannel < itsChannelNames.size() ? itsChannelNames[inChannel] : XString();
}

void XVolume::SetChannelName(uint32_t inChannel, const XString& inName)
{
    if (inChannel < itsChannelNames.size())
        itsChannelNames[inChannel] = inName;
}

void XVolume::SetCalibration(double inX, double inY, double inZ)
{
    for (double v : {inX, inY, inZ}) {
        if (!std::isfinite(v) || v <= 0.0)
            throw XException(XException::kBadArgument,
                             XString("A voxel size of %1 µm cannot be used: voxel sizes must be positive numbers.").Replace(v));
    }
    itsCalibration[0] = inX;
    itsCalibration[1] = inY;
    itsCalibration[2] = inZ;
}

void XVolume::CopyCalibrationAndNames(const XVolume& inOther)
{
    itsRenderer = inOther.itsRenderer;
    std::copy(inOther.itsCalibration, inOther.itsCalibration + 3, itsCalibration);
    for (uint32_t c = 0; c < GetChannelCount() && c < inOther.GetChannelCount(); ++c)
        itsChannelNames[c] = inOther.itsChannelNames[c];
}

void XVolume::LockSelf(XLockMode inMode)
{
    if (inMode == kLockRead)
        itsLock.lock_shared();
    else
        itsLock.lock();
}

void XVolume::UnlockSelf(XLockMode inMode)
{
    if (inMode == kLockRead)
        itsLock.unlock_shared();
    else
        itsLock.unlock();
}

void XVolume::SetImageRenderer(const XImageRenderer& inRenderer)
{
    itsRenderer = std::make_shared<const XImageRenderer>(inRenderer);
}

XImageRenderer XVolume::GetEffectiveImageRenderer() const
{
    if (itsRenderer)
        return *itsRenderer;
    switch (itsType) {
    case XVoxelType::kGrey16: return XImageRenderer(XARGB32Colour::kWhite, 0.0, 65535.0);
    case XVoxelType::kFloat32: return XImageRenderer(XARGB32Colour::kWhite, 0.0, 1.0);
    default: return XImageRenderer(XARGB32Colour::kWhite, 0.0, 255.0);
    }
}

void XVolume::DrawIntoBGRA32Volume(XBGRA32Volume& outVolume) const
{
    if (itsType == XVoxelType::kARGB32 || itsType == XVoxelType::kBGRA32 || itsType == XVoxelType::kRGB48) {
        CopyOutTo(outVolume);
        return;
    }
    outVolume.SetBounds(itsBounds);
    outVolume.CopyCalibrationAndNames(*this);
    if (IsEmpty())
        return;
    XImageRenderer renderer = GetEffectiveImageRenderer();
    XARGB32Colour colour = renderer.GetColour();
    // One picture voxel per mapped level.
    XBGRA32Colour shades[256];
    for (int level = 0; level < 256; ++level)
        shades[level] = XBGRA32Colour(uint8_t((colour.blue * level + 127) / 255), uint8_t((colour.green * level + 127) / 255),
                                      uint8_t((colour.red * level + 127) / 255), 255);
    XBGRA32Colour* t = reinterpret_cast<XBGRA32Colour*>(outVolume.GetData());
    const size_t count = size_t(GetVoxelCount());
    const uint8_t* s = GetData();
    if (itsType == XVoxelType::kGrey16) {
        std::vector<uint8_t> levels(65536);
        for (size_t v = 0; v < levels.size(); ++v)
            levels[v] = renderer.MapValue(double(v));
        const uint16_t* s16 = reinterpret_cast<const uint16_t*>(s);
        for (size_t i = 0; i < count; ++i)
            t[i] = shades[levels[s16[i]]];
    } else if (itsType == XVoxelType::kFloat32) {
        const float* sf = reinterpret_cast<const float*>(s);
        for (size_t i = 0; i < count; ++i)
            t[i] = shades[renderer.MapValue(double(sf[i]))];
    } else {
        uint8_t levels[256];
        for (int v = 0; v < 256; ++v)
            levels[v] = renderer.MapValue(double(v));
        for (size_t i = 0; i < count; ++i)
            t[i] = shades[levels[s[i]]];
    }
}

void XVolume::Clear()
{
    if (GetDataSize() > 0)
        std::memset(itsData.get(), 0, GetDataSize());
}

void XVolume::CheckPlane(const char* inAxis, int32_t inCoordinate, int32_t inLow, int32_t inHigh) const
{
    if (inCoordinate < inLow || inCoordinate >= inHigh)
        throw XException(XException::kBadArgument,
                         XString("The plane %1 = %2 lies outside the volume, whose %1 runs from %3 to %4. Choose a plane inside the volume.")
                             .Replace(XString(inAxis))
                             .Replace(int64_t(inCoordinate))
                             .Replace(int64_t(inLow))
                             .Replace(int64_t(inHigh - 1)));
}

std::unique_ptr<XVolume> XVolume::MakePlaneForOverwrite(const X3DRect& inBounds) const
{
    std::unique_ptr<XVolume> plane = Make(itsType, X3DRect());
    plane->itsBounds = inBounds;
    plane->Allocate(false);
    return plane;
}

std::unique_ptr<XVolume> XVolume::CopyXYPlane(int32_t inZ) const
{
    CheckPlane("z", inZ, itsBounds.front, itsBounds.back);
    std::unique_ptr<XVolume> plane = MakePlaneForOverwrite(X3DRect(itsBounds.GetXYRect(), inZ, 1));
    plane->CopyCalibrationAndNames(*this);
    if (itsPlaneBytes > 0)
        std::memcpy(plane->GetData(), GetLayerPtr(inZ - itsBounds.front), itsPlaneBytes);
    return plane;
}

std::unique_ptr<XVolume> XVolume::CopyXZPlane(int32_t inY) const
{
    CheckPlane("y", inY, itsBounds.top, itsBounds.bottom);
    std::unique_ptr<XVolume> plane = MakePlaneForOverwrite(X3DRect(itsBounds.GetXZRect(), inY, 1));
    plane->CopyCalibrationAndNames(*this);
    plane->itsCalibration[1] = itsCalibration[2];
    plane->itsCalibration[2] = itsCalibration[1];
    int32_t y = inY - itsBounds.top;
    for (int32_t z = 0; z < GetDepth(); ++z)
        std::memcpy(plane->GetRowPtr(z, 0), GetRowPtr(y, z), itsRowBytes);
    return plane;
}

namespace {
// Column x of every plane becomes one column of the YZ picture (z across, y down).
// Planes are walked outermost so reads stay within one plane at a time.
template <class V>
void GatherYZ(const XVolume& inSource, XVolume& outPlane, int32_t inX)
{
    const int32_t w = inSource.GetWidth(), h = inSource.GetHeight(), d = inSource.GetDepth();
    V* t = reinterpret_cast<V*>(outPlane.GetData());
    for (int32_t z = 0; z < d; ++z) {
        const V* s = reinterpret_cast<const V*>(inSource.GetLayerPtr(z)) + inX;
        V* tz = t + z;
        for (int32_t y = 0; y < h; ++y)
            tz[size_t(y) * size_t(d)] = s[size_t(y) * size_t(w)];
    }
}
} // namespace

std::unique_ptr<XVolume> XVolume::CopyYZPlane(int32_t inX) const
{
    CheckPlane("x", inX, itsBounds.left, itsBounds.right);
    std::unique_ptr<XVolume> plane = MakePlaneForOverwrite(X3DRect(itsBounds.GetYZRect(), inX, 1));
    plane->CopyCalibrationAndNames(*this);
    plane->itsCalibration[0] = itsCalibration[2];
    plane->itsCalibration[2] = itsCalibration[0];
    int32_t x = inX - itsBounds.left;
    switch (GetBytesPerVoxel()) {
    case 1: GatherYZ<uint8_t>(*this, *plane, x); break;
    case 2: GatherYZ<uint16_t>(*this, *plane, x); break;
    case 6: GatherYZ<XRGB48Colour>(*this, *plane, x); break;
    default: GatherYZ<uint32_t>(*this, *plane, x); break;
    }
    return plane;
}

std::vector<std::unique_ptr<XVolume>> XVolume::XYPlanesToVolumeList() const
{
    std::vector<std::unique_ptr<XVolume>> list;
    for (int32_t z = itsBounds.front; z < itsBounds.back; ++z)
        list.push_back(CopyXYPlane(z));
    return list;
}

std::vector<std::unique_ptr<XVolume>> XVolume::XZPlanesToVolumeList() const
{
    std::vector<std::unique_ptr<XVolume>> list;
    for (int32_t y = itsBounds.top; y < itsBounds.bottom; ++y)
        list.push_back(CopyXZPlane(y));
    return list;
}

std::vector<std::unique_ptr<XVolume>> XVolume::YZPlanesToVolumeList() const
{
    std::vector<std::unique_ptr<XVolume>> list;
    for (int32_t x = itsBounds.left; x < itsBounds.right; ++x)
        list.push_back(CopyYZPlane(x));
    return list;
}

void XVolume::CopyOutTo(XVolume& outVolume) const
{
    if (&outVolume == this)
        return;
    outVolume.SetBounds(itsBounds);
    outVolume.CopyCalibrationAndNames(*this);
    if (IsEmpty())
        return;
    if (outVolume.itsType == itsType) {
        std::memcpy(outVolume.GetData(), GetData(), GetDataSize());
        return;
    }
    const size_t count = size_t(GetVoxelCount());
    XVoxelAccess::WithLayout(itsType, [&](auto inSource) {
        using S = decltype(inSource);
        XVoxelAccess::WithLayout(outVolume.itsType, [&](auto inTarget) {
            using T = decltype(inTarget);
            const uint8_t* s = GetData();
            uint8_t* t = outVolume.GetData();
            for (size_t i = 0; i < count; ++i)
                T::Write(t + i * T::kSize, S::Read(s + i * S::kSize));
        });
    });
}

void XVolume::CopyOutToARGB32Volume(XARGB32Volume& outVolume) const { CopyOutTo(outVolume); }
void XVolume::CopyOutToBGRA32Volume(XBGRA32Volume& outVolume) const { CopyOutTo(outVolume); }
void XVolume::CopyOutToGrey8Volume(XGrey8Volume& outVolume) const { CopyOutTo(outVolume); }
void XVolume::CopyOutToFloat32Volume(XFloat32Volume& outVolume) const { CopyOutTo(outVolume); }

void XVolume::CopyInto(XVolume& inOutTarget, const X3DRect& inFrom, const X3DRect& inTo, XResampleMode inMode) const
{
    X3DRect clip = inFrom.Intersection(itsBounds);
    if (inFrom.IsEmpty() || inTo.IsEmpty() || clip.IsEmpty())
        throw XException(XException::kBadArgument,
                         XString("Cannot copy the box %1 of a volume with bounds %2 into the box %3: the boxes must not be empty and the first must overlap the volume.")
                             .Replace(DescribeBox(inFrom)).Replace(DescribeBox(itsBounds)).Replace(DescribeBox(inTo)));
    X3DRect region = inTo.Intersection(inOutTarget.itsBounds);
    if (region.IsEmpty())
        return;
    if (&inOutTarget == this) {
        // Reading and writing the same voxels would smear them; work from a copy.
        std::unique_ptr<XVolume> copy = Clone();
        copy->CopyInto(inOutTarget, inFrom, inTo, inMode);
        return;
    }
    bool linear = inMode == XResampleMode::kLinear;
    XAxisMap mx = MakeAxisMap(region.left, region.right, inTo.left, inTo.GetWidth(), inFrom.left, inFrom.GetWidth(),
                              clip.left, clip.right, itsBounds.left, linear);
    XAxisMap my = MakeAxisMap(region.top, region.bottom, inTo.top, inTo.GetHeight(), inFrom.top, inFrom.GetHeight(),
                              clip.top, clip.bottom, itsBounds.top, linear);
    XAxisMap mz = MakeAxisMap(region.front, region.back, inTo.front, inTo.GetDepth(), inFrom.front, inFrom.GetDepth(),
                              clip.front, clip.back, itsBounds.front, linear);
    int32_t x0 = region.left - inOutTarget.itsBounds.left;
    int32_t y0 = region.top - inOutTarget.itsBounds.top;
    int32_t z0 = region.front - inOutTarget.itsBounds.front;
    // Linear sampling that lands exactly on voxel centres is a nearest copy.
    if (linear) {
        bool exact = true;
        for (const XAxisMap* m : {&mx, &my, &mz})
            for (float f : m->f)
                exact = exact && f == 0.0f;
        linear = !exact;
    }
    if (!linear && inOutTarget.itsType == itsType) {
        ResampleNearestSame(*this, inOutTarget, mx, my, mz, x0, y0, z0);
        return;
    }
    XVoxelAccess::WithLayout(itsType, [&](auto inSource) {
        using S = decltype(inSource);
        XVoxelAccess::WithLayout(inOutTarget.itsType, [&](auto inTarget) {
            using T = decltype(inTarget);
            if (linear)
                ResampleLinear<S, T>(*this, inOutTarget, mx, my, mz, x0, y0, z0);
            else
                ResampleNearestConvert<S, T>(*this, inOutTarget, mx, my, mz, x0, y0, z0);
        });
    });
}

namespace {
const char* ClassNameOf(XVoxelType inType)
{
    switch (inType) {
    case XVoxelType::kARGB32: return "XARGB32Volume";
    case XVoxelType::kBGRA32: return "XBGRA32Volume";
    case XVoxelType::kGrey8: return "XGrey8Volume";
    case XVoxelType::kGrey16: return "XGrey16Volume";
    case XVoxelType::kFloat32: return "XFloat32Volume";
    case XVoxelType::kMask: return "XMaskVolume";
    case XVoxelType::kRGB48: return "XRGB48Volume";
    }
    return "XVolume";
}

const bool sVolumeClassesRegistered = [] {
    for (XVoxelType type : {XVoxelType::kARGB32, XVoxelType::kBGRA32, XVoxelType::kGrey8, XVoxelType::kGrey16,
                            XVoxelType::kFloat32, XVoxelType::kMask, XVoxelType::kRGB48})
        XClassRegistry::RegisterClass(ClassNameOf(type), [type] { return std::unique_ptr<XStorable>(XVolume::Make(type, X3DRect())); });
    return true;
}();

XException Corrupt(const XString& inWhat)
{
    return XException(XException::kStreamCorrupt,
                      XString("The stored volume is damaged: %1. Save the volume again.").Replace(inWhat));
}
} // namespace

XString XVolume::GetClassName() const
{
    return XString(ClassNameOf(itsType));
}

void XVolume::WriteStream2(XStream& inStream) const
{
    inStream.WriteVersion(GetVersion());
    inStream.Write8(uint8_t(itsType));
    for (int32_t edge : {itsBounds.left, itsBounds.top, itsBounds.front, itsBounds.right, itsBounds.bottom, itsBounds.back})
        inStream.Write32(uint32_t(edge));
    for (double c : itsCalibration)
        inStream.WriteFloat64S(c);
    inStream.Write32(uint32_t(itsChannelNames.size()));
    for (const XString& name : itsChannelNames)
        inStream.WriteString(name);
    inStream.Write8(itsRenderer ? 1 : 0);
    if (itsRenderer) {
        XARGB32Colour c = itsRenderer->GetColour();
        inStream.Write32(c.GetPacked());
        inStream.WriteFloat64S(itsRenderer->GetBlackLevel());
        inStream.WriteFloat64S(itsRenderer->GetWhiteLevel());
        inStream.WriteFloat64S(itsRenderer->GetGamma());
        inStream.Write8(itsRenderer->GetEmissionLevel());
    }
    inStream.Write64(GetDataSize());
    if (GetDataSize() > 0)
        inStream.WriteBytes(GetData(), GetDataSize());
}

void XVolume::ReadStream2(XStream& inStream)
{
    ReadClassVersion(inStream, GetVersion());
    uint8_t type = inStream.Read8("the voxel layout");
    if (type != uint8_t(itsType))
        throw Corrupt(XString("it holds voxels of another layout than %1").Replace(XString(GetVoxelTypeName(itsType))));
    int32_t edges[6];
    for (int32_t& edge : edges)
        edge = int32_t(inStream.Read32("the volume bounds"));
    X3DRect bounds(edges[0], edges[1], edges[2], edges[3], edges[4], edges[5]);
    if (int64_t(bounds.right) < bounds.left || int64_t(bounds.bottom) < bounds.top || int64_t(bounds.back) < bounds.front ||
        int64_t(bounds.right) - bounds.left > INT32_MAX || int64_t(bounds.bottom) - bounds.top > INT32_MAX ||
        int64_t(bounds.back) - bounds.front > INT32_MAX)
        throw Corrupt("its bounds are inverted");
    double calibration[3];
    for (double& c : calibration) {
        c = inStream.ReadFloat64S("the voxel size");
        if (!std::isfinite(c) || c <= 0.0)
            throw Corrupt("a voxel size is not a positive number");
    }
    uint32_t channels = inStream.ReadCount(4, "the channel count");
    if (channels != GetChannelCount())
        throw Corrupt(XString("it names %1 channels where %2 has %3")
                          .Replace(int64_t(channels)).Replace(XString(ClassNameOf(itsType))).Replace(int64_t(GetChannelCount())));
    std::vector<XString> names(channels);
    for (XString& name : names)
        name = inStream.ReadString("a channel name");
    std::shared_ptr<const XImageRenderer> renderer;
    if (inStream.Read8("the renderer flag")) {
        XARGB32Colour colour = XARGB32Colour::FromPacked(inStream.Read32("the channel colour"));
        double black = inStream.ReadFloat64S("the black level");
        double white = inStream.ReadFloat64S("the white level");
        double gamma = inStream.ReadFloat64S("the gamma");
        uint8_t emission = inStream.Read8("the emission level");
        try {
            renderer = std::make_shared<const XImageRenderer>(colour, black, white, gamma, emission);
        } catch (const XException&) {
            throw Corrupt("its display range or gamma cannot be used");
        }
    }
    uint64_t bytes = inStream.Read64("the voxel byte count");
    // The byte count must match the bounds and be present before anything is allocated.
    size_t row = 0, plane = 0, total = 0;
    bool overflow = __builtin_mul_overflow(size_t(bounds.GetWidth()), ::GetBytesPerVoxel(itsType), &row) ||
                    __builtin_mul_overflow(row, size_t(bounds.GetHeight()), &plane) ||
                    __builtin_mul_overflow(plane, size_t(bounds.GetDepth()), &total);
    if (overflow || bytes != total)
        throw Corrupt("its voxel byte count does not match its bounds");
    if (bytes > inStream.GetBytesLeft())
        throw XException(XException::kStreamEnded, "The stored volume ends before its voxels do. Save the volume again.");
    XVolume& self = *this;
    std::unique_ptr<XVolume> fresh = Make(itsType, bounds);
    if (total > 0)
        inStream.ReadBytes(fresh->GetData(), total, "the voxels");
    // Only now, with everything read, does the volume change.
    self.itsBounds = fresh->itsBounds;
    self.itsRowBytes = fresh->itsRowBytes;
    self.itsPlaneBytes = fresh->itsPlaneBytes;
    self.itsData = std::move(fresh->itsData);
    self.itsChannelNames = std::move(names);
    std::copy(calibration, calibration + 3, self.itsCalibration);
    self.itsRenderer = std::move(renderer);
}

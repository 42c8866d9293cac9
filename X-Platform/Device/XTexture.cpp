#include "XTexture.h"

#include "XAssert.h"
#include "XBGRA32Volume.h"
#include "XException.h"
#include "XVolume.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <string>

namespace {
XMathVectorU3 AtLeastOne(const XMathVectorU3& inExtents)
{
    return XMathVectorU3(std::max(inExtents[0], 1u), std::max(inExtents[1], 1u), std::max(inExtents[2], 1u));
}
} // namespace

uint32_t XTexture::TexelFormatToSizeBytes(X3DGC::XPixelFormat inFormat)
{
    uint32_t sizeBytes = 0;
    switch (inFormat) {
    case X3DGC::kLuminance8: sizeBytes = 1; break;
    case X3DGC::kLuminanceAlpha16: sizeBytes = 2; break;
    case X3DGC::kBGRA32Alternate:
    case X3DGC::kBGRA32: sizeBytes = 4; break;
    default: break;
    }
    X_ASSERT(sizeBytes != 0);
    return sizeBytes;
}

uint32_t XTexture::CountLevels(const XMathVectorU3& inExtents)
{
    const XMathVectorU3 e = AtLeastOne(inExtents);
    // floor(log2 n) + 1 is the bit width of n.
    return uint32_t(std::max({std::bit_width(e[0]), std::bit_width(e[1]), std::bit_width(e[2])}));
}

XTexture::XTexture(X3DGCBuffer::XBufferUsage inUsage, X3DGC::XPixelFormat inFormat, const XMathVectorU3& inExtents)
    : itsUsage(inUsage), itsMaxLevels(CountLevels(inExtents)), itsFormat(inFormat), itsExtents(AtLeastOne(inExtents))
{
}

X3DRect XTexture::GetBounds() const
{
    return X3DRect(0, 0, 0, int32_t(itsExtents[0]), int32_t(itsExtents[1]), int32_t(itsExtents[2]));
}

bool XTexture::IsLinear() const { return GetMaxTextureCoords() == XMathVectorF3(1.0f, 1.0f, 1.0f); }

void XTexture::LockForWrite()
{
    X_ASSERT(itsWriteLockState == false);
    if (itsWriteLockState)
        return;
    LockLevel(kLockWrite, 0);
    itsWriteLockState = true;
}

void XTexture::ReleaseWriteLock()
{
    X_ASSERT(itsWriteLockState == true);
    if (!itsWriteLockState)
        return;
    itsWriteLockState = false;
    UnlockLevel(kLockWrite, 0);
}

void XTexture::CopyInData(const void* inData, uint64_t inSizeBytes)
{
    const uint64_t levelBytes = GetPlaneBytes() * itsExtents[2];
    if (inSizeBytes > levelBytes)
        throw XException(XException::kBadArgument,
            XString(std::to_string(inSizeBytes) + " bytes do not fit in the texture's " + std::to_string(levelBytes) +
                " bytes; copy at most one level's worth or make the texture larger"));
    LockForWrite();
    try {
        CopyInDataSelf(inData, inSizeBytes);
    } catch (...) {
        ReleaseWriteLock();
        throw;
    }
    ReleaseWriteLock();
}

bool XTexture::FitsExtents(const XVolume& inVolume) const
{
    const bool width = inVolume.GetBounds().GetWidth() <= int64_t(GetExtents()[0]);
    const bool height = inVolume.GetBounds().GetHeight() <= int64_t(GetExtents()[1]);
    const bool depth = inVolume.GetBounds().GetDepth() <= int64_t(GetExtents()[2]);
    X_ASSERT_TEXT(width, "inVolume.GetBounds().GetWidth() <= GetExtents()[0]");
    X_ASSERT_TEXT(height, "inVolume.GetBounds().GetHeight() <= GetExtents()[1]");
    X_ASSERT_TEXT(depth, "inVolume.GetBounds().GetDepth() <= GetExtents()[2]");
    return width && height && depth;
}

void XTexture::CopyInVolume(const XVolume& inVolume)
{
    if (!FitsExtents(inVolume))
        return;
    switch (itsFormat) {
    case X3DGC::kBGRA32Alternate:
    case X3DGC::kBGRA32:
        if (auto bgra = dynamic_cast<const XBGRA32Volume*>(&inVolume)) {
            CopyInBGRA32Volume(*bgra);
        } else {
            XBGRA32Volume converted(inVolume.GetBounds());
            {
                XVolume::XReadLock lock(inVolume);
                inVolume.DrawIntoBGRA32Volume(converted);
            }
            CopyInBGRA32Volume(converted);
        }
        break;
    case X3DGC::kLuminance8:
        CopyInGrey8Volume(inVolume);
        break;
    default:
        break;
    }
}

void XTexture::CopyInBGRA32Volume(const XBGRA32Volume& inVolume)
{
    X_ASSERT_TEXT(itsFormat == X3DGC::kBGRA32 || itsFormat == X3DGC::kBGRA32Alternate, "GetFormat() == X3DGC::kBGRA32");
    if (TexelFormatToSizeBytes(itsFormat) != 4 || !FitsExtents(inVolume))
        return;
    XVolume::XReadLock lock(inVolume);
    if (inVolume.GetRowBytes() == GetRowBytes() && inVolume.GetPlaneBytes() == GetPlaneBytes()) {
        CopyInData(inVolume.GetData(), inVolume.GetDataSize());
        return;
    }
    const uint64_t rowBytes = GetRowBytes();
    const uint64_t planeBytes = GetPlaneBytes();
    LockForWrite();
    try {
        uint8_t* level = static_cast<uint8_t*>(GetData());
        for (int32_t z = 0; level && z < inVolume.GetDepth(); ++z)
            for (int32_t y = 0; y < inVolume.GetHeight(); ++y)
                std::memcpy(level + uint64_t(z) * planeBytes + uint64_t(y) * rowBytes, inVolume.GetRowPtr(y, z),
                    inVolume.GetRowBytes());
    } catch (...) {
        ReleaseWriteLock();
        throw;
    }
    ReleaseWriteLock();
}

void XTexture::CopyInGrey8Volume(const XVolume&)
{
    X_ASSERT_TEXT(itsFormat == X3DGC::kLuminance8, "GetFormat() == X3DGC::kLuminance8");
    // Grey volumes have no upload path yet.
    X_REPORT("false");
}

#include "XBookmark3D.h"

#include "XARGB32Volume.h"
#include "XClassRegistry.h"
#include "XException.h"
#include "XStream.h"

#include <limits>

namespace {
// Stored classes of this library are known as soon as it is loaded.
struct XRegistrar {
    XRegistrar()
    {
        XClassRegistry::RegisterClass(XBookmark3D::kClassName, [] { return std::make_unique<XBookmark3D>(); });
    }
} sRegistrar;

constexpr size_t kThumbnailHeaderBytes = 6 * 4;
} // namespace

XBookmark3D::XBookmark3D() = default;

XBookmark3D::XBookmark3D(const XRendererSceneState& inState, const XString& inName)
    : itsName(inName), itsSceneState(inState)
{
}

XBookmark3D::XBookmark3D(const XBookmark3D& inOther)
    : XVersioned(inOther),
      itsName(inOther.itsName),
      itsSceneState(inOther.itsSceneState),
      itsThumbnail(inOther.itsThumbnail ? inOther.itsThumbnail->Clone() : nullptr)
{
}

XBookmark3D& XBookmark3D::operator=(const XBookmark3D& inOther)
{
    if (this != &inOther) {
        std::unique_ptr<XVolume> thumbnail = inOther.itsThumbnail ? inOther.itsThumbnail->Clone() : nullptr;
        itsName = inOther.itsName;
        itsSceneState = inOther.itsSceneState;
        itsThumbnail = std::move(thumbnail);
    }
    return *this;
}

XBookmark3D::~XBookmark3D() = default;

void XBookmark3D::AttachThumbnail(XVolume* inThumbnail)
{
    itsThumbnail.reset(inThumbnail);
}

void XBookmark3D::AttachThumbnail(std::unique_ptr<XVolume> inThumbnail)
{
    itsThumbnail = std::move(inThumbnail);
}

size_t XBookmark3D::GetStreamUsage() const
{
    size_t bytes = 4 + 4 + itsName.GetLength() + itsSceneState.GetStreamUsage() + 1;
    if (itsThumbnail)
        bytes += GetThumbnailStreamUsage(*itsThumbnail);
    return bytes;
}

void XBookmark3D::WriteStream2(XStream& inStream) const
{
    inStream.WriteVersion(kClassVersion);
    inStream.WriteString(itsName);
    itsSceneState.WriteStream2(inStream);
    inStream.Write8(itsThumbnail ? 1 : 0);
    if (itsThumbnail)
        WriteThumbnail(inStream, *itsThumbnail);
}

void XBookmark3D::ReadStream2(XStream& inStream)
{
    ReadClassVersion(inStream, kClassVersion);
    XBookmark3D read;
    read.itsName = inStream.ReadString("the bookmark's name");
    read.itsSceneState.ReadStream2(inStream);
    if (inStream.Read8("the bookmark's thumbnail flag") != 0)
        read.itsThumbnail = ReadThumbnail(inStream);
    std::swap(itsName, read.itsName);
    std::swap(itsSceneState, read.itsSceneState);
    std::swap(itsThumbnail, read.itsThumbnail);
}

size_t XBookmark3D::GetThumbnailStreamUsage(const XVolume& inThumbnail)
{
    return kThumbnailHeaderBytes + size_t(inThumbnail.GetVoxelCount()) * 4;
}

void XBookmark3D::WriteThumbnail(XStream& inStream, const XVolume& inThumbnail)
{
    const X3DRect& bounds = inThumbnail.GetBounds();
    const bool empty = inThumbnail.IsEmpty();
    inStream.Write32(uint32_t(bounds.GetLeft()));
    inStream.Write32(uint32_t(bounds.GetTop()));
    inStream.Write32(uint32_t(bounds.GetFront()));
    inStream.Write32(empty ? 0 : uint32_t(bounds.GetWidth()));
    inStream.Write32(empty ? 0 : uint32_t(bounds.GetHeight()));
    inStream.Write32(empty ? 0 : uint32_t(bounds.GetDepth()));
    if (empty)
        return;
    if (inThumbnail.GetVoxelType() == XVoxelType::kARGB32) {
        inStream.WriteBytes(inThumbnail.GetData(), inThumbnail.GetDataSize());
    } else {
        XARGB32Volume converted;
        inThumbnail.CopyOutToARGB32Volume(converted);
        inStream.WriteBytes(converted.GetData(), converted.GetDataSize());
    }
}

std::unique_ptr<XVolume> XBookmark3D::ReadThumbnail(XStream& inStream)
{
    const int32_t left = int32_t(inStream.Read32("the thumbnail's origin"));
    const int32_t top = int32_t(inStream.Read32("the thumbnail's origin"));
    const int32_t front = int32_t(inStream.Read32("the thumbnail's origin"));
    const uint32_t width = inStream.Read32("the thumbnail's width");
    const uint32_t height = inStream.Read32("the thumbnail's height");
    const uint32_t depth = inStream.Read32("the thumbnail's depth");
    const uint64_t voxels = uint64_t(width) * height * depth;
    const auto fits = [](int32_t inStart, uint32_t inSize) {
        return int64_t(inStart) + int64_t(inSize) <= std::numeric_limits<int32_t>::max();
    };
    if (width > kMaxThumbnailSide || height > kMaxThumbnailSide || depth > kMaxThumbnailSide ||
        voxels > kMaxThumbnailVoxels || !fits(left, width) || !fits(top, height) || !fits(front, depth))
        throw XException(XException::kStreamCorrupt,
                         XString("The stored thumbnail claims a size of %1 x %2 x %3, which cannot be right; the "
                                 "data is damaged. Store the view again.")
                             .Replace(int64_t(width)).Replace(int64_t(height)).Replace(int64_t(depth)));
    if (voxels * 4 > inStream.GetBytesLeft())
        throw XException(XException::kStreamEnded,
                         "The stored thumbnail ends before its last voxel; the data is truncated. Store the view again.");
    auto thumbnail = std::make_unique<XARGB32Volume>(
        X3DRect(left, top, front, left + int32_t(width), top + int32_t(height), front + int32_t(depth)));
    if (voxels != 0)
        inStream.ReadBytes(thumbnail->GetData(), size_t(voxels) * 4, "the thumbnail's voxels");
    return thumbnail;
}

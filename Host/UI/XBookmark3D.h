#pragma once
// A stored view: a name, a renderer scene state and optionally a thumbnail
// picture of the view (owned).
#include "XRendererSceneState.h"
#include "XString.h"
#include "XVersioned.h"

#include <memory>

class XVolume;

class XBookmark3D : public XVersioned {
public:
    // Thumbnails larger than this along any axis, or with more voxels in all, are
    // refused when read: a thumbnail is a small picture, and a stored size must not
    // make us allocate without bound.
    static constexpr uint32_t kMaxThumbnailSide = 16384;
    static constexpr uint64_t kMaxThumbnailVoxels = uint64_t(1) << 26;

    XBookmark3D();
    explicit XBookmark3D(const XRendererSceneState& inState, const XString& inName = XString());
    XBookmark3D(const XBookmark3D& inOther);
    XBookmark3D& operator=(const XBookmark3D& inOther);
    ~XBookmark3D() override;

    // A new copy, thumbnail included; the caller owns it.
    XBookmark3D* Clone() const { return new XBookmark3D(*this); }

    const XString& GetName() const { return itsName; }
    void SetName(const XString& inName) { itsName = inName; }

    const XRendererSceneState& GetSceneState() const { return itsSceneState; }
    XRendererSceneState& GetSceneState() { return itsSceneState; }
    void SetSceneState(const XRendererSceneState& inState) { itsSceneState = inState; }

    // Takes the volume (null removes the thumbnail). Any voxel layout is taken; it
    // is stored as ARGB32.
    void AttachThumbnail(XVolume* inThumbnail);
    void AttachThumbnail(std::unique_ptr<XVolume> inThumbnail);
    const XVolume* GetThumbnail() const { return itsThumbnail.get(); }
    XVolume* GetThumbnail() { return itsThumbnail.get(); }
    bool HasThumbnail() const { return itsThumbnail != nullptr; }

    // Storable: the class version, the name, the scene state (its own format), a
    // byte saying whether a thumbnail follows, then the thumbnail (see WriteThumbnail).
    static constexpr uint32_t kClassVersion = 0x00012C11;
    static constexpr const char* kClassName = "XBookmark3D";
    static uint32_t GetClassVersion() { return kClassVersion; }
    uint32_t GetVersion() const override { return kClassVersion; }
    XString GetClassName() const override { return kClassName; }
    size_t GetStreamUsage() const override;
    void WriteStream2(XStream& inStream) const override;
    // Reads everything before changing this bookmark; bad data throws and leaves it as it was.
    void ReadStream2(XStream& inStream) override;

    // A thumbnail in the stream: origin (3 x s32), size (3 x u32), then the voxels as
    // ARGB32 bytes, plane by plane. Sizes beyond the limits above or beyond the bytes
    // left are refused before anything is allocated.
    static void WriteThumbnail(XStream& inStream, const XVolume& inThumbnail);
    static size_t GetThumbnailStreamUsage(const XVolume& inThumbnail);
    static std::unique_ptr<XVolume> ReadThumbnail(XStream& inStream);

private:
    XString itsName;
    XRendererSceneState itsSceneState;
    std::unique_ptr<XVolume> itsThumbnail;
};

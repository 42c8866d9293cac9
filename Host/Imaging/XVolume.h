#pragma once
// The base of every image volume: a box of voxels of one layout (XVoxelType),
// stored plane after plane, row after row, with no padding:
//   row bytes   = width × bytes per voxel
//   plane bytes = row bytes × height
// The voxel at bounds coordinates (x, y, z) lives at local index
// (x - left, y - top, z - front).
//
// Two kinds of index are used, and the names say which:
// - memory access (GetLayerPtr, GetRowPtr, GetVoxelPtr) takes LOCAL indices,
//   0 = the first plane, row or column of the volume;
// - geometry (GetBounds, the plane copies, CopyInto) uses BOUNDS coordinates, so a
//   plane copied out of a volume keeps its place, and a picture can be drawn into
//   another at its place.
//
// New volumes are zero-filled. Channel count is the number of components per
// voxel (4 for the packed colour volumes, 1 for the grey, float and mask volumes);
// each channel has a name, empty unless set.
//
// Display: a volume may carry the XImageRenderer of its channel (colour, display
// range, gamma). Plane copies, clones and extended-focus images keep it; the merges
// and DrawIntoBGRA32Volume use it. Without one, a grey volume shows as white over its
// layout's nominal range (0..255, 0..65535, 0.0..1.0).
//
// Locking: a volume is an XLockable. XLock(volume, kLockRead) takes the shared read
// lock; kLockWrite and kLockReadWrite take the exclusive lock. The const forms
// LockForRead/UnlockForRead and the scoped XVolume::XReadLock / XWriteLock serve
// holders of a const volume. The locks are NOT recursive, and the volume does not
// lock itself inside its own operations: the caller decides how long a lock lasts.
#include "X3DPoint.h"
#include "X3DRect.h"
#include "XImageRenderer.h"
#include "XLockable.h"
#include "XRect.h"
#include "XString.h"
#include "XVersioned.h"
#include "XVoxelType.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <shared_mutex>
#include <vector>

class XARGB32Volume;
class XBGRA32Volume;
class XGrey8Volume;
class XFloat32Volume;

class XVolume : public XLockable, public XVersioned {
public:
    virtual ~XVolume();

    // A new zero-filled volume of the given layout and bounds (the matching packed class).
    static std::unique_ptr<XVolume> Make(XVoxelType inType, const X3DRect& inBounds);
    // A copy of everything: voxels, bounds, calibration and channel names.
    std::unique_ptr<XVolume> Clone() const;

    XVoxelType GetVoxelType() const { return itsType; }

    // Geometry.
    const X3DRect& GetBounds() const { return itsBounds; }
    int32_t GetWidth() const { return itsBounds.GetWidth(); }
    int32_t GetHeight() const { return itsBounds.GetHeight(); }
    int32_t GetDepth() const { return itsBounds.GetDepth(); }
    bool IsEmpty() const { return itsBounds.IsEmpty(); }
    bool IsXYPlane() const { return GetDepth() == 1; }
    uint64_t GetVoxelCount() const { return itsBounds.GetVolume(); }
    // Moves the volume without touching its voxels.
    void SetOrigin(const X3DPoint& inOrigin);
    // New bounds; the voxels are reallocated and zero-filled when the size changes
    // (kept when only the position changes). Throws kBadArgument for inverted bounds
    // or a size that cannot be held in memory.
    void SetBounds(const X3DRect& inBounds);

    // Layout.
    size_t GetBytesPerVoxel() const { return ::GetBytesPerVoxel(itsType); }
    size_t GetRowBytes() const { return itsRowBytes; }
    size_t GetPlaneBytes() const { return itsPlaneBytes; }
    size_t GetDataSize() const { return itsPlaneBytes * size_t(std::max(GetDepth(), 0)); }

    // Channels.
    uint32_t GetChannelCount() const { return uint32_t(itsChannelNames.size()); }
    // Empty text for an index past the last channel.
    XString GetChannelName(uint32_t inChannel) const;
    void SetChannelName(uint32_t inChannel, const XString& inName); // ignored past the last channel

    // Calibration: micrometres per voxel along each axis (1.0 unless set).
    double GetCalibrationX() const { return itsCalibration[0]; }
    double GetCalibrationY() const { return itsCalibration[1]; }
    double GetCalibrationZ() const { return itsCalibration[2]; }
    // Non-finite or non-positive sizes are refused with kBadArgument.
    void SetCalibration(double inX, double inY, double inZ);
    // Calibration, channel names and image renderer.
    void CopyCalibrationAndNames(const XVolume& inOther);

    // Memory access by local index; null for an empty volume. Indices are checked
    // only by assertion in debug builds: the caller keeps them inside the size.
    uint8_t* GetData() { return itsData.get(); }
    const uint8_t* GetData() const { return itsData.get(); }
    uint8_t* GetLayerPtr(int32_t inZ) { return itsData.get() + size_t(inZ) * itsPlaneBytes; }
    const uint8_t* GetLayerPtr(int32_t inZ) const { return itsData.get() + size_t(inZ) * itsPlaneBytes; }
    uint8_t* GetRowPtr(int32_t inY, int32_t inZ) { return GetLayerPtr(inZ) + size_t(inY) * itsRowBytes; }
    const uint8_t* GetRowPtr(int32_t inY, int32_t inZ) const { return GetLayerPtr(inZ) + size_t(inY) * itsRowBytes; }
    uint8_t* GetVoxelPtr(int32_t inX, int32_t inY, int32_t inZ) { return GetRowPtr(inY, inZ) + size_t(inX) * GetBytesPerVoxel(); }
    const uint8_t* GetVoxelPtr(int32_t inX, int32_t inY, int32_t inZ) const
    {
        return GetRowPtr(inY, inZ) + size_t(inX) * GetBytesPerVoxel();
    }

    // The channel's display; null when none was set.
    const XImageRenderer* GetImageRenderer() const { return itsRenderer.get(); }
    void SetImageRenderer(const XImageRenderer& inRenderer);
    void ClearImageRenderer() { itsRenderer.reset(); }
    // The renderer in use: the one set, or white over the nominal range of the layout.
    XImageRenderer GetEffectiveImageRenderer() const;
    // This volume as a picture, one BGRA voxel per voxel, same bounds: grey layouts
    // through the effective renderer (its colour scaled by the mapped level, opaque);
    // colour layouts as they are.
    void DrawIntoBGRA32Volume(XBGRA32Volume& outVolume) const;

    // Sets every byte to 0 (transparent black for the packed colour volumes).
    void Clear();

    // Plane copies: a new volume of this layout, one plane deep, holding the plane at
    // the given BOUNDS coordinate. Throws kBadArgument when the plane lies outside.
    //  XY plane at z: bounds (left, top, z)–(right, bottom, z + 1).
    //  XZ plane at y: x across, z down: bounds (left, front, y)–(right, back, y + 1);
    //                 calibration (x, z, y).
    //  YZ plane at x: z across, y down: bounds (front, top, x)–(back, bottom, x + 1);
    //                 calibration (z, y, x).
    std::unique_ptr<XVolume> CopyXYPlane(int32_t inZ) const;
    std::unique_ptr<XVolume> CopyXZPlane(int32_t inY) const;
    std::unique_ptr<XVolume> CopyYZPlane(int32_t inX) const;
    // Every plane along one axis, in ascending coordinate (as the copies above).
    std::vector<std::unique_ptr<XVolume>> XYPlanesToVolumeList() const;
    std::vector<std::unique_ptr<XVolume>> XZPlanesToVolumeList() const;
    std::vector<std::unique_ptr<XVolume>> YZPlanesToVolumeList() const;

    // Conversions of the whole volume. The target takes this volume's bounds,
    // calibration and names (it is reallocated when its size differs).
    // Values convert through their nominal range: 8-bit 0..255, 16-bit 0..65535,
    // float 0.0..1.0 (clamped when narrowed), mask bytes as 8-bit; grey becomes an
    // opaque grey colour, and colour becomes grey by luminance (0.299 R + 0.587 G + 0.114 B).
    void CopyOutToARGB32Volume(XARGB32Volume& outVolume) const;
    void CopyOutToBGRA32Volume(XBGRA32Volume& outVolume) const;
    void CopyOutToGrey8Volume(XGrey8Volume& outVolume) const;
    void CopyOutToFloat32Volume(XFloat32Volume& outVolume) const;
    // Any layout to any layout, same rules.
    void CopyOutTo(XVolume& outVolume) const;

    // Copies the box inFrom of this volume (bounds coordinates) into the box inTo of
    // the target (the target's bounds coordinates), resampling when the sizes differ
    // and converting the layout as CopyOut… does. Voxel centres are mapped onto each
    // other; samples outside this volume take the nearest edge voxel; target voxels
    // outside the target's bounds are skipped. Throws kBadArgument when inFrom does
    // not overlap this volume or either box is empty.
    void CopyInto(XVolume& inOutTarget, const X3DRect& inFrom, const X3DRect& inTo,
                  XResampleMode inMode = XResampleMode::kNearest) const;
    // The whole of this volume into the whole of the target.
    void CopyInto(XVolume& inOutTarget, XResampleMode inMode = XResampleMode::kNearest) const
    {
        CopyInto(inOutTarget, GetBounds(), inOutTarget.GetBounds(), inMode);
    }

    // Storage: each packed class is registered under its own name ("XGrey16Volume", …).
    // The stream holds the version, layout, bounds, calibration, channel names, the image
    // renderer when there is one, and the voxels. A stream of another layout, bounds
    // that cannot be right or fewer voxel bytes than the bounds need throw kStreamCorrupt
    // and leave the volume as it was.
    uint32_t GetVersion() const override { return 1; }
    void WriteStream2(XStream& inStream) const override;
    void ReadStream2(XStream& inStream) override;
    XString GetClassName() const override;

    // Locks (the volume is usually shared between the main thread and jobs).
    void LockForRead() const { itsLock.lock_shared(); }
    void UnlockForRead() const { itsLock.unlock_shared(); }
    void LockForWrite() const { itsLock.lock(); }
    void UnlockForWrite() const { itsLock.unlock(); }

    // Scoped read and write locks.
    class XReadLock {
    public:
        explicit XReadLock(const XVolume& inVolume) : itsVolume(inVolume) { itsVolume.LockForRead(); }
        ~XReadLock() { itsVolume.UnlockForRead(); }
        XReadLock(const XReadLock&) = delete;
        XReadLock& operator=(const XReadLock&) = delete;

    private:
        const XVolume& itsVolume;
    };
    class XWriteLock {
    public:
        explicit XWriteLock(const XVolume& inVolume) : itsVolume(inVolume) { itsVolume.LockForWrite(); }
        ~XWriteLock() { itsVolume.UnlockForWrite(); }
        XWriteLock(const XWriteLock&) = delete;
        XWriteLock& operator=(const XWriteLock&) = delete;

    private:
        const XVolume& itsVolume;
    };

protected:
    void LockSelf(XLockMode inMode) override;
    void UnlockSelf(XLockMode inMode) override;

    XVolume(XVoxelType inType, const X3DRect& inBounds, uint32_t inChannelCount);
    XVolume(const XVolume& inOther);
    XVolume& operator=(const XVolume& inOther);
    XVolume(XVolume&& inOther) noexcept;
    XVolume& operator=(XVolume&& inOther) noexcept;

private:
    struct XFreeDeleter {
        XFreeDeleter() noexcept : itsBytes(0) {}
        explicit XFreeDeleter(size_t inBytes) noexcept : itsBytes(inBytes) {}
        size_t itsBytes; // how the block was allocated depends on its size
        void operator()(uint8_t* inData) const noexcept;
    };
    // Storage for the bounds; zeroed unless the caller is about to write every voxel
    // (small blocks then skip the clearing pass; large ones come zeroed from the kernel anyway).
    void Allocate(bool inZeroed = true);
    // A plane of this volume's type with storage the caller overwrites whole.
    std::unique_ptr<XVolume> MakePlaneForOverwrite(const X3DRect& inBounds) const;
    void CheckPlane(const char* inAxis, int32_t inCoordinate, int32_t inLow, int32_t inHigh) const;

    XVoxelType itsType;
    X3DRect itsBounds;
    size_t itsRowBytes = 0;
    size_t itsPlaneBytes = 0;
    std::unique_ptr<uint8_t[], XFreeDeleter> itsData;
    std::vector<XString> itsChannelNames;
    double itsCalibration[3] = {1.0, 1.0, 1.0};
    std::shared_ptr<const XImageRenderer> itsRenderer; // shared between copies, never changed in place
    mutable std::shared_mutex itsLock;
};

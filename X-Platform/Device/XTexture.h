#pragma once
// A texture of the device: format, extents and levels here, the storage in the
// implementation (XTextureAndImp). Host volumes are copied in with CopyInVolume.
#include "X3DGC.h"
#include "X3DGCBuffer.h"
#include "X3DGCResource.h"
#include "X3DRect.h"
#include "XLockable.h"
#include "XMathVector.h"

#include <cstdint>

class XBGRA32Volume;
class XVolume;

class XTexture : public X3DGCResource {
public:
    // Bytes per texel; 0, reported, for a format without a size.
    static uint32_t TexelFormatToSizeBytes(X3DGC::XPixelFormat inFormat);
    // max(floor(log2 e)) + 1 over the extents (each at least 1).
    static uint32_t CountLevels(const XMathVectorU3& inExtents);

    X3DGCBuffer::XBufferUsage GetUsage() const { return itsUsage; }
    uint32_t GetMaxLevels() const { return itsMaxLevels; }
    X3DGC::XPixelFormat GetFormat() const { return itsFormat; }
    const XMathVectorU3& GetExtents() const { return itsExtents; }
    X3DRect GetBounds() const;

    virtual uint64_t GetRowBytes() const = 0;
    virtual uint64_t GetPlaneBytes() const = 0;
    virtual XMathVectorF3 GetMaxTextureCoords() const = 0;
    bool IsLinear() const;

    // Level 0 for writing; GetData is then the level's storage.
    void LockForWrite();
    void ReleaseWriteLock();
    virtual void* GetData() = 0;
    // More bytes than level 0 holds throw XException kBadArgument before any write.
    void CopyInData(const void* inData, uint64_t inSizeBytes);
    // A volume larger than the extents is reported and nothing is copied.
    void CopyInVolume(const XVolume& inVolume);
    void CopyInBGRA32Volume(const XBGRA32Volume& inVolume);
    void CopyInGrey8Volume(const XVolume& inVolume);

    void LockLevel(XLockMode inMode, uint32_t inLevel) { LockLevelSelf(inMode, inLevel); }
    void UnlockLevel(XLockMode inMode, uint32_t inLevel) { UnlockLevelSelf(inMode, inLevel); }
    // For the device's implementation while it binds the texture to a unit.
    void HandleTextureUnitAttach(X3DGC& inGC, uint32_t inUnit, _CGparameter* inSampler)
    {
        HandleTextureUnitAttachSelf(inGC, inUnit, inSampler);
    }
    void HandleTextureUnitUnattach(X3DGC& inGC, uint32_t inUnit, _CGparameter* inSampler)
    {
        HandleTextureUnitUnattachSelf(inGC, inUnit, inSampler);
    }

protected:
    // Extents of 0 count as 1.
    XTexture(X3DGCBuffer::XBufferUsage inUsage, X3DGC::XPixelFormat inFormat, const XMathVectorU3& inExtents);

    virtual void CopyInDataSelf(const void* inData, uint64_t inSizeBytes) = 0;
    virtual void HandleTextureUnitAttachSelf(X3DGC& inGC, uint32_t inUnit, _CGparameter* inSampler) = 0;
    virtual void HandleTextureUnitUnattachSelf(X3DGC& inGC, uint32_t inUnit, _CGparameter* inSampler) = 0;
    virtual void LockLevelSelf(XLockMode inMode, uint32_t inLevel) = 0;
    virtual void UnlockLevelSelf(XLockMode inMode, uint32_t inLevel) = 0;

private:
    bool FitsExtents(const XVolume& inVolume) const;

    X3DGCBuffer::XBufferUsage itsUsage;
    uint32_t itsMaxLevels;
    X3DGC::XPixelFormat itsFormat;
    XMathVectorU3 itsExtents;
    bool itsWriteLockState = false;
};

#pragma once
// What a render system implements for a texture: storage per level, which the
// texture locks for the CPU and binds to texture units for drawing.
#include "XLockable.h"
#include "XMathVector.h"
#include "cg.h"

#include <cstdint>

class X3DGC;

class XTextureImp : public XLockable {
public:
    virtual void DestroySelf(X3DGC& inGC) = 0;
    // Into the level locked for writing.
    virtual void CopyInData(const void* inData, uint64_t inSizeBytes) = 0;
    // The level locked, or null.
    virtual void* GetData() = 0;
    virtual void HandleTextureUnitAttach(X3DGC& inGC, uint32_t inUnit, _CGparameter* inSampler) = 0;
    virtual void HandleTextureUnitUnattach(X3DGC& inGC, uint32_t inUnit, _CGparameter* inSampler) = 0;
    virtual void LockLevel(XLockMode inMode, uint32_t inLevel) = 0;
    virtual void UnlockLevel(XLockMode inMode, uint32_t inLevel) = 0;
    // Of the storage, which may be larger than the texture's extents.
    virtual uint64_t GetRowBytes() const = 0;
    virtual uint64_t GetPlaneBytes() const = 0;
    // The part of the storage the texture covers, (1, 1, 1) when it is all of it.
    virtual XMathVectorF3 GetMaxTextureCoords() const = 0;
};

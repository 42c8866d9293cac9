#pragma once
// What a render system implements for an index buffer.
#include "XLockable.h"

#include <cstdint>

class X3DGC;

class X3DIndexBufferImp : public XLockable {
public:
    virtual void DestroySelf(X3DGC& inGC) = 0;
    virtual void CopyInDataWithOffset(const void* inData, uint64_t inSizeBytes, uint64_t inOffsetBytes) = 0;
    virtual void* GetData(uint64_t inOffsetBytes, uint64_t inSizeBytes) = 0;
    virtual void RenderLock(X3DGC& inGC) = 0;
    virtual void RenderUnlock(X3DGC& inGC) = 0;
    // What indexed draws pass as the index pointer: 0 for device storage, the
    // storage address for host memory.
    virtual const void* GetBaseElementAddress() const = 0;
};

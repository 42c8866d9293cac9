#pragma once
// What a render system implements for a vertex or index buffer. Locking maps the
// storage for the CPU; RenderLock binds it for drawing.
#include "XLockable.h"

#include <cstdint>

class X3DGC;

class X3DGCBufferImp : public XLockable {
public:
    virtual void DestroySelf(X3DGC& inGC) = 0;
    virtual void CopyInDataWithOffset(const void* inData, uint64_t inSizeBytes, uint64_t inOffsetBytes) = 0;
    virtual void* GetData(uint64_t inOffsetBytes, uint64_t inSizeBytes) = 0;
    virtual void RenderLock(X3DGC& inGC) = 0;
    virtual void RenderUnlock(X3DGC& inGC) = 0;
};

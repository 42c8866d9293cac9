#pragma once
// Indices in device memory; X3DIndexBuffer16 and X3DIndexBuffer32 fix the element size.
#include "X3DGCBuffer.h"
#include "X3DGCResource.h"
#include "X3DIndexBufferImp.h"

#include <cstdint>
#include <memory>

class X3DIndexBuffer : public X3DGCResource, public X3DGCBuffer {
public:
    ~X3DIndexBuffer() override;

    X3DIndexBufferImp& GetImp() const { return *itsImp; }
    void CopyInDataWithOffset(const void* inData, uint64_t inSizeBytes, uint64_t inOffsetBytes) override;
    void* GetData(uint64_t inOffsetBytes, uint64_t inSizeBytes) override;
    void RenderLock(X3DGC& inGC) { itsImp->RenderLock(inGC); }
    void RenderUnlock(X3DGC& inGC) { itsImp->RenderUnlock(inGC); }
    // 2 or 4; known already while the render system makes the implementation.
    virtual uint32_t GetElementSizeBytes() const { return itsElementSizeBytes; }
    const void* GetBaseElementAddress() const { return itsImp->GetBaseElementAddress(); }

protected:
    X3DIndexBuffer(X3DGC& inGC, uint64_t inSizeBytes, XBufferUsage inUsage, uint32_t inElementSizeBytes);
    void LockSelf(XLockMode inMode) override { itsImp->LockFor(inMode); }
    void UnlockSelf(XLockMode inMode) override { itsImp->UnlockFor(inMode); }
    void DestroySelf(X3DGC& inGC) override { itsImp->DestroySelf(inGC); }

private:
    uint32_t itsElementSizeBytes;
    std::unique_ptr<X3DIndexBufferImp> itsImp;
};

template <typename TIndex>
class X3DIndexBufferT : public X3DIndexBuffer {
public:
    X3DIndexBufferT(X3DGC& inGC, uint64_t inSizeBytes, XBufferUsage inUsage)
        : X3DIndexBuffer(inGC, inSizeBytes, inUsage, uint32_t(sizeof(TIndex))) {}
};

using X3DIndexBuffer16 = X3DIndexBufferT<uint16_t>;
using X3DIndexBuffer32 = X3DIndexBufferT<uint32_t>;

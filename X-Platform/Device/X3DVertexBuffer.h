#pragma once
// Vertices in device memory; the current render system makes its implementation.
#include "X3DGCBuffer.h"
#include "X3DGCResource.h"
#include "X3DVertexBufferImp.h"

#include <memory>

class X3DVertexBuffer : public X3DGCResource, public X3DGCBuffer {
public:
    X3DVertexBuffer(X3DGC& inGC, uint64_t inSizeBytes, XBufferUsage inUsage);
    ~X3DVertexBuffer() override;

    X3DVertexBufferImp& GetImp() const { return *itsImp; }
    void CopyInDataWithOffset(const void* inData, uint64_t inSizeBytes, uint64_t inOffsetBytes) override;
    void* GetData(uint64_t inOffsetBytes, uint64_t inSizeBytes) override;
    // For the device: bind for drawing, and release the binding.
    void RenderLock(X3DGC& inGC) { itsImp->RenderLock(inGC); }
    void RenderUnlock(X3DGC& inGC) { itsImp->RenderUnlock(inGC); }

protected:
    void LockSelf(XLockMode inMode) override { itsImp->LockFor(inMode); }
    void UnlockSelf(XLockMode inMode) override { itsImp->UnlockFor(inMode); }
    void DestroySelf(X3DGC& inGC) override { itsImp->DestroySelf(inGC); }

private:
    std::unique_ptr<X3DVertexBufferImp> itsImp;
};

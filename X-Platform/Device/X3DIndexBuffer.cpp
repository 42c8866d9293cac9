#include "X3DIndexBuffer.h"

#include "X3DRenderSystem.h"
#include "X3DRenderSystemManager.h"

X3DIndexBuffer::X3DIndexBuffer(X3DGC& inGC, uint64_t inSizeBytes, XBufferUsage inUsage, uint32_t inElementSizeBytes)
    : X3DGCBuffer(inSizeBytes, inUsage), itsElementSizeBytes(inElementSizeBytes)
{
    itsImp = X3DRenderSystemManager::GetRequiredRenderSystem().CreateIndexBufferImp(inGC, *this);
}

X3DIndexBuffer::~X3DIndexBuffer() = default;

void X3DIndexBuffer::CopyInDataWithOffset(const void* inData, uint64_t inSizeBytes, uint64_t inOffsetBytes)
{
    CheckRange(inOffsetBytes, inSizeBytes);
    itsImp->CopyInDataWithOffset(inData, inSizeBytes, inOffsetBytes);
}

void* X3DIndexBuffer::GetData(uint64_t inOffsetBytes, uint64_t inSizeBytes)
{
    CheckRange(inOffsetBytes, inSizeBytes);
    return itsImp->GetData(inOffsetBytes, inSizeBytes);
}

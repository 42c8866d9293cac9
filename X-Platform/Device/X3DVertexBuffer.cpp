#include "X3DVertexBuffer.h"

#include "X3DRenderSystem.h"
#include "X3DRenderSystemManager.h"

X3DVertexBuffer::X3DVertexBuffer(X3DGC& inGC, uint64_t inSizeBytes, XBufferUsage inUsage)
    : X3DGCBuffer(inSizeBytes, inUsage)
{
    itsImp = X3DRenderSystemManager::GetRequiredRenderSystem().CreateVertexBufferImp(inGC, *this);
}

X3DVertexBuffer::~X3DVertexBuffer() = default;

void X3DVertexBuffer::CopyInDataWithOffset(const void* inData, uint64_t inSizeBytes, uint64_t inOffsetBytes)
{
    CheckRange(inOffsetBytes, inSizeBytes);
    itsImp->CopyInDataWithOffset(inData, inSizeBytes, inOffsetBytes);
}

void* X3DVertexBuffer::GetData(uint64_t inOffsetBytes, uint64_t inSizeBytes)
{
    CheckRange(inOffsetBytes, inSizeBytes);
    return itsImp->GetData(inOffsetBytes, inSizeBytes);
}

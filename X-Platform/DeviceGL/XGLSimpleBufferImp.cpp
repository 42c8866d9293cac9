#include "XGLBufferImp.h"

namespace {
bool InRange(const XSimpleBuffer& inBuffer, uint64_t inOffsetBytes, uint64_t inSizeBytes)
{
    const bool inside = inOffsetBytes <= inBuffer.GetSize() && inSizeBytes <= inBuffer.GetSize() - inOffsetBytes;
    X_ASSERT_TEXT(inside, "(inOffsetBytes + inSizeBytes) <= TBaseImp::itsOwner.GetSizeBytes()");
    return inside;
}

void CopyIn(XSimpleBuffer& inOutBuffer, const void* inData, uint64_t inSizeBytes, uint64_t inOffsetBytes)
{
    if (InRange(inOutBuffer, inOffsetBytes, inSizeBytes) && inSizeBytes > 0)
        std::memcpy(inOutBuffer.GetData() + inOffsetBytes, inData, inSizeBytes);
}
} // namespace

XOpenGLGC::XGLSimpleVertexBufferImp::XGLSimpleVertexBufferImp(X3DVertexBuffer& inOwner)
    : itsBuffer(size_t(inOwner.GetSizeBytes()))
{
}

void XOpenGLGC::XGLSimpleVertexBufferImp::CopyInDataWithOffset(const void* inData, uint64_t inSizeBytes,
                                                               uint64_t inOffsetBytes)
{
    CopyIn(itsBuffer, inData, inSizeBytes, inOffsetBytes);
}

void* XOpenGLGC::XGLSimpleVertexBufferImp::GetData(uint64_t inOffsetBytes, uint64_t)
{
    return itsBuffer.GetData() + inOffsetBytes;
}

void XOpenGLGC::XGLSimpleVertexBufferImp::RenderLock(X3DGC& inGC)
{
    static_cast<XOpenGLGCImp&>(inGC.GetImp()).SetUpVertexArrays(itsBuffer.GetData());
}

XOpenGLGC::XGLSimpleIndexBufferImp::XGLSimpleIndexBufferImp(X3DIndexBuffer& inOwner)
    : itsBuffer(size_t(inOwner.GetSizeBytes()))
{
}

void XOpenGLGC::XGLSimpleIndexBufferImp::CopyInDataWithOffset(const void* inData, uint64_t inSizeBytes,
                                                              uint64_t inOffsetBytes)
{
    CopyIn(itsBuffer, inData, inSizeBytes, inOffsetBytes);
}

void* XOpenGLGC::XGLSimpleIndexBufferImp::GetData(uint64_t inOffsetBytes, uint64_t)
{
    return itsBuffer.GetData() + inOffsetBytes;
}

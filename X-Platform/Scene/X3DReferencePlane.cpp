#include "X3DReferencePlane.h"

#include "X3DGeometryStateSaver.h"
#include "X3DTextureUnitSaver.h"
#include "X3DIndexBuffer.h"
#include "X3DVertexBuffer.h"
#include "XAssert.h"
#include "XLock.h"
#include "XTexture2D.h"
#include "XVertexTypes.h"

#include <array>
#include <memory>
#include <utility>

X3DReferencePlane::X3DReferencePlane(const X3DRect& inVolumeBounds, X3DGC& inGC, unsigned long inPlanePos,
    XTexture2D* inTexture)
    : itsTexture(inTexture), itsPlanePos(uint32_t(inPlanePos)), itsVolumeBounds(inVolumeBounds)
{
    MakeBuffers(inGC);
}

X3DReferencePlane::~X3DReferencePlane()
{
    X_ASSERT_TEXT(itsTexture == nullptr && itsVertexBuffer == nullptr && itsIndexBuffer == nullptr,
        "resources unloaded before destruction");
}

void X3DReferencePlane::MakeBuffers(X3DGC& inGC)
{
    const XMathVectorF3 maxCoords = itsTexture ? itsTexture->GetMaxTextureCoords() : XMathVectorF3(1, 1, 1);
    const float l = float(itsVolumeBounds.GetLeft()), r = float(itsVolumeBounds.GetRight());
    const float t = float(itsVolumeBounds.GetTop()), b = float(itsVolumeBounds.GetBottom());
    const float z = GetDepth();
    const std::array<XVertexTypes::XVertexPositionTexture, 4> vertices{{
        {XMathVectorF3(l, t, z), XMathVectorF2(0, 0)},
        {XMathVectorF3(r, t, z), XMathVectorF2(maxCoords[0], 0)},
        {XMathVectorF3(r, b, z), XMathVectorF2(maxCoords[0], maxCoords[1])},
        {XMathVectorF3(l, b, z), XMathVectorF2(0, maxCoords[1])},
    }};
    static const std::array<uint16_t, 6> sIndices{0, 1, 2, 0, 2, 3};
    if (!itsVertexBuffer) {
        auto buffer = std::make_unique<X3DVertexBuffer>(inGC, sizeof(vertices), X3DGCBuffer::kBufferStaticDraw);
        itsVertexBuffer = buffer.release();
    }
    {
        XLock mapped(*itsVertexBuffer, kLockWrite); // device storage is written while mapped
        itsVertexBuffer->CopyInData(vertices.data(), sizeof(vertices));
    }
    if (!itsIndexBuffer) {
        auto buffer = std::make_unique<X3DIndexBuffer16>(inGC, sizeof(sIndices), X3DGCBuffer::kBufferStaticDraw);
        {
            XLock mapped(*buffer, kLockWrite);
            buffer->CopyInData(sIndices.data(), sizeof(sIndices));
        }
        itsIndexBuffer = buffer.release();
    }
}

void X3DReferencePlane::SetTexture(XTexture2D* inTexture, X3DGC& inGC)
{
    if (inTexture == itsTexture)
        return;
    if (itsTexture)
        std::exchange(itsTexture, nullptr)->Destroy(inGC);
    itsTexture = inTexture;
    // The texture coordinates follow the new texture's extent.
    MakeBuffers(inGC);
}

void X3DReferencePlane::Render(X3DGC& inGC)
{
    if (!itsTexture || !itsVertexBuffer || !itsIndexBuffer)
        return;
    X3DGeometryStateSaver saver(inGC, X3DGeometryStateSaver::kAll);
    X3DTextureUnitSaver unit(inGC);
    inGC.SetBlendMode(X3DGC::kBlendOver);
    inGC.SetVertexDefinition(XVertexTypes::XVertexPositionTexture::GetDefinition());
    inGC.SetVerticies(itsVertexBuffer);
    inGC.SetIndicies(itsIndexBuffer);
    inGC.SetTextureSampler(0, X3DGC::XSamplerState());
    inGC.SetTexture(0, itsTexture);
    inGC.DrawIndexedPrimitives(X3DGC::kTriangleList, 0, 2);
    unit.Restore();
    saver.Restore();
}

void X3DReferencePlane::UnloadGraphicsResources(X3DGC& inGC)
{
    if (itsTexture)
        std::exchange(itsTexture, nullptr)->Destroy(inGC);
    if (itsVertexBuffer)
        std::exchange(itsVertexBuffer, nullptr)->Destroy(inGC);
    if (itsIndexBuffer)
        std::exchange(itsIndexBuffer, nullptr)->Destroy(inGC);
}

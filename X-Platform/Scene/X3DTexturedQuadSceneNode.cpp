#include "X3DTexturedQuadSceneNode.h"

#include "X3DGeometryStateSaver.h"
#include "X3DTextureUnitSaver.h"
#include "X3DIndexBuffer.h"
#include "X3DVertexBuffer.h"
#include "XAssert.h"
#include "XTexture.h"
#include "XLock.h"
#include "XThreadLock.h"

#include <memory>
#include <utility>

X3DTexturedQuadSceneNode::X3DTexturedQuadSceneNode(XTexture* inTexture, const X3DGC::XSamplerState& inSampler,
    const XMathVectorF2& inMaxTexCoords)
    : itsTexture(inTexture), itsSampler(inSampler)
{
    const float s = inMaxTexCoords[0], t = inMaxTexCoords[1];
    itsVertices = {{{XMathVectorF3(-0.5f, -0.5f, 0.0f), XMathVectorF2(0.0f, 0.0f)},
                    {XMathVectorF3(-0.5f, 0.5f, 0.0f), XMathVectorF2(0.0f, t)},
                    {XMathVectorF3(0.5f, -0.5f, 0.0f), XMathVectorF2(s, 0.0f)},
                    {XMathVectorF3(0.5f, 0.5f, 0.0f), XMathVectorF2(s, t)}}};
}

X3DTexturedQuadSceneNode::~X3DTexturedQuadSceneNode()
{
    X_ASSERT_TEXT(itsTexture == nullptr && itsVertexBuffer == nullptr && itsIndexBuffer == nullptr,
        "resources unloaded before destruction");
}

const std::array<uint16_t, 4>& X3DTexturedQuadSceneNode::GetIndices()
{
    static const std::array<uint16_t, 4> sIndices{1, 0, 3, 2};
    return sIndices;
}

XTexture* X3DTexturedQuadSceneNode::GetTexture() const
{
    XThreadLock lock(GetNodeMutex());
    return itsTexture;
}

XTexture* X3DTexturedQuadSceneNode::SetTexture(XTexture* inTexture)
{
    XThreadLock lock(GetNodeMutex());
    return std::exchange(itsTexture, inTexture);
}

X3DGC::XSamplerState X3DTexturedQuadSceneNode::GetSampler() const
{
    XThreadLock lock(GetNodeMutex());
    return itsSampler;
}

void X3DTexturedQuadSceneNode::SetSampler(const X3DGC::XSamplerState& inSampler)
{
    XThreadLock lock(GetNodeMutex());
    itsSampler = inSampler;
}

void X3DTexturedQuadSceneNode::MakeQuad(X3DGC& inGC)
{
    auto vertices = std::make_unique<X3DVertexBuffer>(inGC, sizeof(itsVertices), X3DGCBuffer::kBufferStaticDraw);
    {
        XLock mapped(*vertices, kLockWrite); // device storage is written while mapped
        vertices->CopyInData(itsVertices.data(), sizeof(itsVertices));
    }
    auto indices = std::make_unique<X3DIndexBuffer16>(inGC, sizeof(uint16_t) * GetIndices().size(), X3DGCBuffer::kBufferStaticDraw);
    {
        XLock mapped(*indices, kLockWrite);
        indices->CopyInData(GetIndices().data(), sizeof(uint16_t) * GetIndices().size());
    }
    itsVertexBuffer = vertices.release();
    itsIndexBuffer = indices.release();
}

void X3DTexturedQuadSceneNode::RenderSelf(X3DGC& inGC, const XSceneRenderState&)
{
    XThreadLock lock(GetNodeMutex());
    if (!itsVertexBuffer)
        MakeQuad(inGC);
    X3DGeometryStateSaver saver(inGC, X3DGeometryStateSaver::kAll);
    inGC.SetVertexDefinition(XVertexTypes::XVertexPositionTexture::GetDefinition());
    inGC.SetVerticies(itsVertexBuffer);
    inGC.SetIndicies(itsIndexBuffer);
    if (!itsTexture) {
        inGC.DrawIndexedPrimitives(X3DGC::kTriangleStrip, 0, 2);
        saver.Restore();
        return;
    }
    X3DTextureUnitSaver unit(inGC);
    inGC.SetTextureSampler(0, itsSampler);
    inGC.SetTexture(0, itsTexture);
    inGC.DrawIndexedPrimitives(X3DGC::kTriangleStrip, 0, 2);
    unit.Restore();
    saver.Restore();
}

void X3DTexturedQuadSceneNode::UnloadGraphicsResourcesSelf(X3DGC& inGC)
{
    XThreadLock lock(GetNodeMutex());
    if (itsTexture)
        std::exchange(itsTexture, nullptr)->Destroy(inGC);
    if (itsVertexBuffer)
        std::exchange(itsVertexBuffer, nullptr)->Destroy(inGC);
    if (itsIndexBuffer)
        std::exchange(itsIndexBuffer, nullptr)->Destroy(inGC);
}

XBoundingBox X3DTexturedQuadSceneNode::UpdateLocalBounds()
{
    return XBoundingBox(XMathVectorF3(-0.5f, -0.5f, 0.0f), XMathVectorF3(0.5f, 0.5f, 0.0f));
}

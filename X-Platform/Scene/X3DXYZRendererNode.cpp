#include "X3DXYZRendererNode.h"

#include "X3DGeometryStateSaver.h"
#include "X3DTextureUnitSaver.h"
#include "X3DIndexBuffer.h"
#include "X3DReferencePlane.h"
#include "X3DVertexBuffer.h"
#include "XAssert.h"
#include "XLock.h"
#include "XTexture2D.h"
#include "XThreadLock.h"

#include <memory>
#include <utility>

X3DXYZRendererNode::X3DXYZRendererNode() = default;

X3DXYZRendererNode::~X3DXYZRendererNode()
{
    X_ASSERT_TEXT(itsPlaneVertexBuffer == nullptr && itsOutlineVertexBuffer == nullptr && itsPlaneIndexBuffer == nullptr
            && itsReferencePlanes.empty() && itsTextures == (std::array<XTexture2D*, 3>{}),
        "resources unloaded before destruction");
}

const std::array<uint16_t, 3 * X3DXYZRendererNode::kIndicesPerPlane>& X3DXYZRendererNode::GetPlaneIndices()
{
    static const std::array<uint16_t, 3 * kIndicesPerPlane> sIndices{0, 1, 2, 0, 2, 3, 4, 5, 6, 4, 6, 7, 8, 9, 10, 8, 10, 11};
    return sIndices;
}

void X3DXYZRendererNode::Setup(X3DGC& inGC, const XImageDataSource& inSource, XTexture2D* inXY, XTexture2D* inXZ,
    XTexture2D* inYZ, uint64_t inPlaneXY, uint64_t inPlaneXZ, uint64_t inPlaneYZ, bool inReplace)
{
    XThreadLock lock(GetNodeMutex());
    SetDataSource(inSource, inGC);
    itsPlanes = {inPlaneXY, inPlaneXZ, inPlaneYZ};
    const std::array<XTexture2D*, 3> given{inXY, inXZ, inYZ};
    X_ASSERT_TEXT(inReplace || given == (std::array<XTexture2D*, 3>{}), "inReplace || no textures");
    if (inReplace) {
        const bool none = given == std::array<XTexture2D*, 3>{};
        for (uint32_t plane = 0; plane < 3; ++plane) {
            if (none || (given[plane] && given[plane] != itsTextures[plane]))
                ClearTexture(inGC, XPlane(plane));
            if (given[plane])
                itsTextures[plane] = given[plane];
        }
    }
    MakeBuffers(inGC);
}

uint64_t X3DXYZRendererNode::GetXYPlane() const
{
    XThreadLock lock(GetNodeMutex());
    return itsPlanes[kPlaneXY];
}

uint64_t X3DXYZRendererNode::GetXZPlane() const
{
    XThreadLock lock(GetNodeMutex());
    return itsPlanes[kPlaneXZ];
}

uint64_t X3DXYZRendererNode::GetYZPlane() const
{
    XThreadLock lock(GetNodeMutex());
    return itsPlanes[kPlaneYZ];
}

XTexture2D* X3DXYZRendererNode::GetTexture(XPlane inPlane) const
{
    XThreadLock lock(GetNodeMutex());
    return inPlane < 3 ? itsTextures[inPlane] : nullptr;
}

void X3DXYZRendererNode::ClearTexture(X3DGC& inGC, XPlane inPlane)
{
    XThreadLock lock(GetNodeMutex());
    if (inPlane >= 3)
        return;
    if (itsTextures[inPlane])
        std::exchange(itsTextures[inPlane], nullptr)->Destroy(inGC);
}

void X3DXYZRendererNode::MakeBuffers(X3DGC& inGC)
{
    const X3DRect bounds = GetBounds();
    const float l = float(bounds.GetLeft()), r = float(bounds.GetRight());
    const float t = float(bounds.GetTop()), b = float(bounds.GetBottom());
    const float f = float(bounds.GetFront()), k = float(bounds.GetBack());
    // Through the centre of the chosen voxel plane.
    const float z = f + float(itsPlanes[kPlaneXY]) + 0.5f;
    const float y = t + float(itsPlanes[kPlaneXZ]) + 0.5f;
    const float x = l + float(itsPlanes[kPlaneYZ]) + 0.5f;
    // Corners in the order of the texture's (0, 0), (s, 0), (s, t), (0, t): an XY
    // slice has x across and y down, an XZ slice x across and z down, a YZ slice z
    // across and y down.
    const std::array<std::array<XMathVectorF3, 4>, 3> corners{{
        {XMathVectorF3(l, t, z), XMathVectorF3(r, t, z), XMathVectorF3(r, b, z), XMathVectorF3(l, b, z)},
        {XMathVectorF3(l, y, f), XMathVectorF3(r, y, f), XMathVectorF3(r, y, k), XMathVectorF3(l, y, k)},
        {XMathVectorF3(x, t, f), XMathVectorF3(x, t, k), XMathVectorF3(x, b, k), XMathVectorF3(x, b, f)},
    }};
    const std::array<XARGB32Colour, 3> colours{XARGB32Colour::kRed, XARGB32Colour::kGreen, XARGB32Colour::kBlue};
    for (uint32_t plane = 0; plane < 3; ++plane) {
        const XMathVectorF3 maxCoords =
            itsTextures[plane] ? itsTextures[plane]->GetMaxTextureCoords() : XMathVectorF3(1, 1, 1);
        const std::array<XMathVectorF2, 4> coords{XMathVectorF2(0, 0), XMathVectorF2(maxCoords[0], 0),
            XMathVectorF2(maxCoords[0], maxCoords[1]), XMathVectorF2(0, maxCoords[1])};
        for (uint32_t corner = 0; corner < 4; ++corner) {
            itsPlaneVertices[plane * kVerticesPerPlane + corner] = {corners[plane][corner], coords[corner]};
            itsOutlineVertices[plane * kOutlineVerticesPerPlane + 2 * corner] = {corners[plane][corner], colours[plane]};
            itsOutlineVertices[plane * kOutlineVerticesPerPlane + 2 * corner + 1] = {
                corners[plane][(corner + 1) % 4], colours[plane]};
        }
    }
    auto fill = [&inGC](X3DVertexBuffer*& inOutBuffer, const void* inData, uint64_t inBytes) {
        if (!inOutBuffer)
            inOutBuffer = std::make_unique<X3DVertexBuffer>(inGC, inBytes, X3DGCBuffer::kBufferStaticDraw).release();
        XLock mapped(*inOutBuffer, kLockWrite); // device storage is written while mapped
        inOutBuffer->CopyInData(inData, inBytes);
    };
    fill(itsPlaneVertexBuffer, itsPlaneVertices.data(), sizeof(itsPlaneVertices));
    fill(itsOutlineVertexBuffer, itsOutlineVertices.data(), sizeof(itsOutlineVertices));
    if (!itsPlaneIndexBuffer) {
        auto indices = std::make_unique<X3DIndexBuffer16>(inGC, sizeof(GetPlaneIndices()), X3DGCBuffer::kBufferStaticDraw);
        {
            XLock mapped(*indices, kLockWrite);
            indices->CopyInData(GetPlaneIndices().data(), sizeof(GetPlaneIndices()));
        }
        itsPlaneIndexBuffer = indices.release();
    }
}

void X3DXYZRendererNode::SetReferencePlane(const X3DRect& inVolumeBounds, X3DGC& inGC, unsigned long inPlanePos,
    XTexture2D* inTexture)
{
    XThreadLock lock(GetNodeMutex());
    const auto found = itsReferencePlanes.find(uint32_t(inPlanePos));
    if (found != itsReferencePlanes.end()) {
        found->second->SetTexture(inTexture, inGC);
        return;
    }
    auto plane = std::make_unique<X3DReferencePlane>(inVolumeBounds, inGC, inPlanePos, inTexture);
    itsReferencePlanes.emplace(uint32_t(inPlanePos), plane.release());
}

bool X3DXYZRendererNode::RemoveReferencePlane(X3DGC& inGC, unsigned long inPlanePos)
{
    XThreadLock lock(GetNodeMutex());
    const auto found = itsReferencePlanes.find(uint32_t(inPlanePos));
    if (found == itsReferencePlanes.end())
        return false;
    std::unique_ptr<X3DReferencePlane> plane(found->second);
    itsReferencePlanes.erase(found);
    plane->UnloadGraphicsResources(inGC);
    return true;
}

void X3DXYZRendererNode::DestroyAllReferencePlanes(X3DGC& inGC)
{
    XThreadLock lock(GetNodeMutex());
    for (auto& [position, plane] : itsReferencePlanes) {
        std::unique_ptr<X3DReferencePlane> owned(plane);
        owned->UnloadGraphicsResources(inGC);
    }
    itsReferencePlanes.clear();
}

std::vector<uint32_t> X3DXYZRendererNode::GetReferencePlanePositions() const
{
    XThreadLock lock(GetNodeMutex());
    std::vector<uint32_t> positions;
    for (const auto& entry : itsReferencePlanes)
        positions.push_back(entry.first);
    return positions;
}

std::vector<uint32_t> X3DXYZRendererNode::GetReferenceDrawOrder(float inCameraDepth) const
{
    XThreadLock lock(GetNodeMutex());
    std::vector<uint32_t> order;
    for (const auto& [position, plane] : itsReferencePlanes)
        if (plane->GetDepth() < inCameraDepth)
            order.push_back(position);
    for (auto it = itsReferencePlanes.rbegin(); it != itsReferencePlanes.rend(); ++it)
        if (it->second->GetDepth() > inCameraDepth)
            order.push_back(it->first);
    return order;
}

void X3DXYZRendererNode::UnloadGraphicsResourcesSelf(X3DGC& inGC)
{
    XThreadLock lock(GetNodeMutex());
    for (uint32_t plane = 0; plane < 3; ++plane)
        ClearTexture(inGC, XPlane(plane));
    if (itsPlaneVertexBuffer)
        std::exchange(itsPlaneVertexBuffer, nullptr)->Destroy(inGC);
    if (itsOutlineVertexBuffer)
        std::exchange(itsOutlineVertexBuffer, nullptr)->Destroy(inGC);
    if (itsPlaneIndexBuffer)
        std::exchange(itsPlaneIndexBuffer, nullptr)->Destroy(inGC);
    DestroyAllReferencePlanes(inGC);
    X3DVolumeNode::UnloadGraphicsResourcesSelf(inGC);
}

void X3DXYZRendererNode::RenderSelf(X3DGC& inGC, const XSceneRenderState& inState)
{
    XThreadLock lock(GetNodeMutex());
    X3DVolumeNode::RenderSelf(inGC, inState);
    if (itsPlaneVertexBuffer && itsPlaneIndexBuffer && itsOutlineVertexBuffer) {
        RenderPlanes(inGC);
        RenderOutlines(inGC);
    }
    RenderReferencePlanes(inGC, inState);
}

void X3DXYZRendererNode::RenderPlanes(X3DGC& inGC)
{
    X3DGeometryStateSaver saver(inGC, X3DGeometryStateSaver::kAll);
    X3DTextureUnitSaver unit(inGC);
    // Slices are opaque pictures: blending would let the background through dark voxels.
    inGC.SetBlendMode(X3DGC::kBlendNone);
    inGC.SetVertexDefinition(XVertexTypes::XVertexPositionTexture::GetDefinition());
    inGC.SetVerticies(itsPlaneVertexBuffer);
    inGC.SetIndicies(itsPlaneIndexBuffer);
    inGC.SetTextureSampler(0, X3DGC::XSamplerState());
    for (uint32_t plane = 0; plane < 3; ++plane) {
        if (!itsTextures[plane])
            continue;
        inGC.SetTexture(0, itsTextures[plane]);
        inGC.DrawIndexedPrimitives(X3DGC::kTriangleList, plane * kIndicesPerPlane, 2);
    }
    unit.Restore();
    saver.Restore();
}

void X3DXYZRendererNode::RenderOutlines(X3DGC& inGC)
{
    X3DGeometryStateSaver saver(inGC, X3DGeometryStateSaver::kDefinition | X3DGeometryStateSaver::kVertexBuffer);
    const float savedOffset = inGC.GetDepthBufferOffset();
    try {
        inGC.SetDepthBufferOffset(kOutlineDepthOffset);
        inGC.SetVertexDefinition(XVertexTypes::XVertexPositionColour::GetDefinition());
        inGC.SetVerticies(itsOutlineVertexBuffer);
        inGC.DrawPrimitives(X3DGC::kLineList, 0, 3 * kOutlineVerticesPerPlane / 2);
    } catch (...) {
        try {
            inGC.SetDepthBufferOffset(savedOffset);
        } catch (...) {
        }
        throw;
    }
    inGC.SetDepthBufferOffset(savedOffset);
    saver.Restore();
}

void X3DXYZRendererNode::RenderReferencePlanes(X3DGC& inGC, const XSceneRenderState& inState)
{
    if (itsReferencePlanes.empty())
        return;
    bool invertible = false;
    const XMatrix_4x4<float> toVoxels = GetWorldTransform().GetInverse(&invertible);
    if (!invertible)
        return;
    const XMathVectorF3 camera = toVoxels.TransformPoint(inState.GetCamera().GetPosition());
    for (uint32_t position : GetReferenceDrawOrder(camera[2]))
        itsReferencePlanes.at(position)->Render(inGC);
}

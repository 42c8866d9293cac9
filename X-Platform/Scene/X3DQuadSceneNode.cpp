#include "X3DQuadSceneNode.h"

#include "X3DGC.h"
#include "X3DGeometryStateSaver.h"
#include "XThreadLock.h"

X3DQuadSceneNode::X3DQuadSceneNode() { MakeQuad(XARGB32Colour::kWhite); }

X3DQuadSceneNode::X3DQuadSceneNode(const XARGB32Colour& inColour) { MakeQuad(inColour); }

void X3DQuadSceneNode::MakeQuad(const XARGB32Colour& inColour)
{
    XThreadLock lock(GetNodeMutex());
    // Corners in the order of the textured quad, so that the strip 1, 0, 3, 2 makes
    // two triangles that meet on a diagonal and cover the square.
    static constexpr float kCorners[4][2] = {{-0.5f, -0.5f}, {-0.5f, 0.5f}, {0.5f, -0.5f}, {0.5f, 0.5f}};
    for (size_t i = 0; i < 4; ++i)
        itsVertices[i] = {XMathVectorF3(kCorners[i][0], kCorners[i][1], 0.0f), inColour};
}

void X3DQuadSceneNode::SetColour(const XARGB32Colour& inColour) { MakeQuad(inColour); }

XARGB32Colour X3DQuadSceneNode::GetColour() const
{
    XThreadLock lock(GetNodeMutex());
    return itsVertices[0].colour.GetARGB();
}

X3DQuadSceneNode::XVertices X3DQuadSceneNode::GetVertices() const
{
    XThreadLock lock(GetNodeMutex());
    return itsVertices;
}

const std::array<uint32_t, 4>& X3DQuadSceneNode::GetIndices()
{
    static const std::array<uint32_t, 4> sIndices{1, 0, 3, 2};
    return sIndices;
}

void X3DQuadSceneNode::RenderSelf(X3DGC& inGC, const XSceneRenderState&)
{
    XThreadLock lock(GetNodeMutex());
    X3DGeometryStateSaver saver(inGC, X3DGeometryStateSaver::kDefinition);
    inGC.SetVertexDefinition(XVertexTypes::XVertexPositionColour::GetDefinition());
    inGC.DrawUserIndexedPrimitives(X3DGC::kTriangleStrip, itsVertices.data(), uint32_t(itsVertices.size()),
        uint32_t(sizeof(XVertexTypes::XVertexPositionColour)), GetIndices().data(), 2);
    saver.Restore();
}

XBoundingBox X3DQuadSceneNode::UpdateLocalBounds()
{
    return XBoundingBox(XMathVectorF3(-0.5f, -0.5f, 0.0f), XMathVectorF3(0.5f, 0.5f, 0.0f));
}

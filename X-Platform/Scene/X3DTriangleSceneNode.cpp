#include "X3DTriangleSceneNode.h"

#include "X3DGC.h"
#include "X3DGeometryStateSaver.h"

X3DTriangleSceneNode::X3DTriangleSceneNode()
    : itsVertices{{{XMathVectorF3(0.0f, 0.5f, 0.0f), XARGB32Colour::kRed},
                   {XMathVectorF3(-0.5f, -0.5f, 0.0f), XARGB32Colour::kGreen},
                   {XMathVectorF3(0.5f, -0.5f, 0.0f), XARGB32Colour::kBlue}}}
{
}

void X3DTriangleSceneNode::RenderSelf(X3DGC& inGC, const XSceneRenderState&)
{
    X3DGeometryStateSaver saver(inGC, X3DGeometryStateSaver::kDefinition);
    inGC.SetVertexDefinition(XVertexTypes::XVertexPositionColour::GetDefinition());
    inGC.DrawUserPrimitives(X3DGC::kTriangleList, itsVertices.data(), 0, 1);
    saver.Restore();
}

#pragma once
// A flat triangle in the z = 0 plane with red, green and blue corners (top, bottom
// left, bottom right): test geometry whose corners show where the node is.
#include "X3DSceneNode.h"

#include <array>

class X3DTriangleSceneNode : public X3DSceneNode {
public:
    X3DTriangleSceneNode();
    const std::array<XVertexTypes::XVertexPositionColour, 3>& GetVertices() const { return itsVertices; }

protected:
    void RenderSelf(X3DGC& inGC, const XSceneRenderState& inState) override;

private:
    std::array<XVertexTypes::XVertexPositionColour, 3> itsVertices;
};

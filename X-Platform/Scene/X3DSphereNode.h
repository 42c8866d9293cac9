#pragma once
// A white sphere of radius 0.5 around the origin: a grid of slices (around y) by
// stacks (from the pole at +y to the pole at -y), unit normals, and triangles
// counter-clockwise seen from outside. Drawn from host memory.
#include "X3DSceneNode.h"

#include <cstdint>

class X3DSphereNode : public X3DSceneNode {
public:
    // Fewer slices or stacks are raised to these, the least that still enclose the
    // centre without dividing by zero.
    static constexpr uint32_t kMinSlices = 3;
    static constexpr uint32_t kMinStacks = 2;
    X3DSphereNode(uint32_t inSlices, uint32_t inStacks);

    uint32_t GetSlices() const { return itsSlices; }
    uint32_t GetStacks() const { return itsStacks; }
    // Stack after stack, slices times stacks vertices.
    const XVector<XVertexTypes::XVertexPositionColourNormal>& GetVertices() const { return itsVertices; }
    const XVector<uint32_t>& GetIndices() const { return itsIndices; }

protected:
    void RenderSelf(X3DGC& inGC, const XSceneRenderState& inState) override;

private:
    uint32_t itsSlices;
    uint32_t itsStacks;
    XVector<XVertexTypes::XVertexPositionColourNormal> itsVertices;
    XVector<uint32_t> itsIndices;
};

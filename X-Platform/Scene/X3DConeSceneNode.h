#pragma once
// A white solid cone: apex (0, 0, 0.5), base circle of radius 0.5 in the plane
// z = -0.5, closed by a base cap. 2n sectors, flat-shaded sides; triangles are
// counter-clockwise seen from outside. Drawn from host memory.
#include "X3DSceneNode.h"

#include <cstdint>

class X3DConeSceneNode : public X3DSceneNode {
public:
    // Fewer than kMinHalfSectors is raised to it, so the cone stays a solid.
    static constexpr uint32_t kMinHalfSectors = 2;
    explicit X3DConeSceneNode(uint32_t inHalfSectors);

    uint32_t GetSectorCount() const { return itsSectorCount; }
    // The side triangles, then the cap triangles.
    const XVector<XVertexTypes::XVertexPositionColourNormal>& GetVertices() const { return itsVertices; }

protected:
    void RenderSelf(X3DGC& inGC, const XSceneRenderState& inState) override;

private:
    uint32_t itsSectorCount;
    XVector<XVertexTypes::XVertexPositionColourNormal> itsVertices;
};

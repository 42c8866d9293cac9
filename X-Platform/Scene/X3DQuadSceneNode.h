#pragma once
// A flat square of one colour from (-0.5, -0.5, 0) to (0.5, 0.5, 0), drawn from host
// memory as a two-triangle strip that covers it whole.
#include "X3DSceneNode.h"

#include <array>
#include <cstdint>

class X3DQuadSceneNode : public X3DSceneNode {
public:
    // White.
    X3DQuadSceneNode();
    explicit X3DQuadSceneNode(const XARGB32Colour& inColour);

    void SetColour(const XARGB32Colour& inColour);
    XARGB32Colour GetColour() const;

    using XVertices = std::array<XVertexTypes::XVertexPositionColour, 4>;
    XVertices GetVertices() const;
    static const std::array<uint32_t, 4>& GetIndices();

protected:
    void RenderSelf(X3DGC& inGC, const XSceneRenderState& inState) override;
    XBoundingBox UpdateLocalBounds() override;

private:
    void MakeQuad(const XARGB32Colour& inColour);

    XVertices itsVertices;
};

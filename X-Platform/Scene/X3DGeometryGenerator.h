#pragma once
// Appends solids to vertex lists: cones, cylinders (40 sectors around their axis)
// and boxes. Every solid is closed, its triangles counter-clockwise seen from
// outside, every vertex of the given colour with a unit normal pointing outwards.
// A cone or cylinder is centred on inCentre: half its height lies either side along
// inAxis, the cone's apex at the end the axis points to.
#include "XARGB32Colour.h"
#include "XMathRectF3.h"
#include "XMathVector.h"
#include "XVector.h"
#include "XVertexTypes.h"

#include <cstdint>

class X3DGeometryGenerator {
public:
    static constexpr uint32_t kSectors = 40;
    using XVertices = XVector<XVertexTypes::XVertexPositionColourNormal>;

    // A triangle list. A zero or non-finite axis is taken as +z.
    static void GenerateCone(XVertices& outVertices, float inRadius, float inHeight, const XMathVectorF3& inCentre,
        const XMathVectorF3& inAxis, const XARGB32Colour& inColour);
    static void GenerateCylinder(XVertices& outVertices, float inRadius, float inHeight, const XMathVectorF3& inCentre,
        const XMathVectorF3& inAxis, const XARGB32Colour& inColour);
    // 24 vertices (four a face) and 36 indices into outVertices as it grows.
    static void GenerateBox(XVertices& outVertices, XVector<uint32_t>& outIndices, const XMathRectF3& inBox,
        const XARGB32Colour& inColour);

private:
    struct XFrame {
        XMathVectorF3 u, v, w; // right-handed, w along the axis
        XMathVectorF3 Around(uint32_t inSector) const;
    };
    static XFrame MakeFrame(const XMathVectorF3& inAxis);
};

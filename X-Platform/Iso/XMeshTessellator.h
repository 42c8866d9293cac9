#pragma once
// GLU's polygon tessellator over vertices of a surface: closed loops of vertex indices
// in, the indices of independent triangles out. GLU is loaded through the module's
// run-time loader while a tessellator exists; no GL context is needed.
#include "XMathVector.h"
#include "XVector.h"

#include <cstdint>

class XMeshTessellator {
public:
    // Loads OpenGL and GLU; throws XException when they cannot be loaded or GLU lacks
    // its tessellator. inPositions must outlive the tessellator.
    explicit XMeshTessellator(XVector<XMathVectorD3>& inPositions);
    ~XMeshTessellator();
    XMeshTessellator(const XMeshTessellator&) = delete;
    XMeshTessellator& operator=(const XMeshTessellator&) = delete;

    // Triangulates the region inside an odd number of the loops (islands run the other
    // way round), each triangle turning counter-clockwise about inNormal: three indices
    // per triangle are appended to outIndices. False when the tessellator reports an
    // error or needs a vertex that is not one of the loops' (where the loops cross).
    bool Tessellate(const XVector<XVector<uint32_t>>& inLoops, const XMathVectorD3& inNormal,
                    XVector<uint32_t>& outIndices);

    // Where three vertices of one straight outline edge became a triangle of no area,
    // flips that triangle's long edge with the triangle beyond it.
    void RemoveSlivers(XVector<XMathVectorU3>& inOutTriangles) const;

private:
    XVector<XMathVectorD3>& itsPositions;
    void* itsTessellator = nullptr;
};

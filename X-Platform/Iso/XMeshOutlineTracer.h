#pragma once
// Traces the outline of a region of a surface's polygons into closed loops of vertices,
// and checks that new triangles close such an outline exactly. Works on the simplifier's
// lists of triangles and quads, which must outlive it.
#include "XMeshSimplificationTool.h"

#include "XMathVector.h"
#include "XVector.h"

#include <cstdint>

class XMeshOutlineTracer {
public:
    using XPolygon = XMeshSimplificationTool::XPolygon;
    using XEdge = XMeshSimplificationTool::XEdge;

    XMeshOutlineTracer(const XVector<XMathVectorU3>& inTriangles, const XVector<XMathVectorU4>& inQuads,
                       size_t inVertexCount);

    // The directed edges of inPolygons whose reverse is not among them, traced into closed
    // loops in the surface's winding (islands run the other way); a loop that passes a
    // vertex twice becomes two. Every polygon around the inInside vertices must be in
    // inPolygons. False when the edges do not chain into closed loops.
    bool Trace(const XVector<XPolygon>& inPolygons, const XVector<uint32_t>& inInside,
               XVector<XVector<uint32_t>>& outLoops);

    // Whether the edges of inAdded not matched by a reverse among them are the loops'
    // edges, each once, so that the surface stays closed and oriented.
    static bool Closes(const XVector<XVector<uint32_t>>& inLoops, const XVector<XMathVectorU3>& inAdded);

private:
    void SplitOutDuplicates(const XVector<uint32_t>& inLoop, XVector<XVector<uint32_t>>& outLoops);
    uint32_t NextMark();

    const XVector<XMathVectorU3>& itsTriangles;
    const XVector<XMathVectorU4>& itsQuads;
    XVector<uint32_t> itsVertexMark;
    uint32_t itsMarkStamp = 0;
    XVector<uint64_t> itsEdgeScratch;
};

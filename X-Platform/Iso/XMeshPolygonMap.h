#pragma once
// For every vertex of a surface, the polygons that use it. All the lists share one block,
// each made with room for a few new triangles; a list that fills up moves to the end of
// the block with twice the room.
#include "XMeshSimplificationTool.h"

#include "XMathVector.h"
#include "XVector.h"

#include <cstdint>
#include <span>

class XMeshPolygonMap {
public:
    using XPolygon = XMeshSimplificationTool::XPolygon;

    // Every corner of the polygons must be below inVertexCount.
    XMeshPolygonMap(const XVector<XMathVectorU3>& inTriangles, const XVector<XMathVectorU4>& inQuads,
                    size_t inVertexCount);

    std::span<const XPolygon> GetPolygons(uint32_t inVertex) const;
    void Add(uint32_t inVertex, const XPolygon& inPolygon);
    // Does nothing when the polygon is not in the vertex's list; the order of the rest
    // may change.
    void Remove(uint32_t inVertex, const XPolygon& inPolygon);

private:
    // Where a vertex's polygons lie in the block.
    struct XPolygonList {
        size_t itsStart;
        uint32_t itsCount;
        uint32_t itsCapacity;
    };

    XVector<XPolygonList> itsPolygonLists;
    XVector<XPolygon> itsPolygonArena;
};

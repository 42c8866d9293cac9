#include "XMeshPolygonMap.h"

#include <algorithm>

XMeshPolygonMap::XMeshPolygonMap(const XVector<XMathVectorU3>& inTriangles, const XVector<XMathVectorU4>& inQuads,
                                 size_t inVertexCount)
{
    XVector<uint32_t> counts(inVertexCount, 0);
    for (const XMathVectorU3& t : inTriangles)
        for (uint32_t k = 0; k < 3; ++k)
            ++counts[t[k]];
    for (const XMathVectorU4& q : inQuads)
        for (uint32_t k = 0; k < 4; ++k)
            ++counts[q[k]];
    itsPolygonLists.resize(inVertexCount);
    size_t start = 0;
    for (size_t v = 0; v < counts.size(); ++v) {
        itsPolygonLists[v] = {start, 0, counts[v] + 2};
        start += counts[v] + 2;
    }
    itsPolygonArena.resize(start);
    for (uint32_t i = 0; i < inTriangles.size(); ++i)
        for (uint32_t k = 0; k < 3; ++k)
            Add(inTriangles[i][k], {XPolygon::kTriangle, i});
    for (uint32_t i = 0; i < inQuads.size(); ++i)
        for (uint32_t k = 0; k < 4; ++k)
            Add(inQuads[i][k], {XPolygon::kQuad, i});
}

std::span<const XMeshPolygonMap::XPolygon> XMeshPolygonMap::GetPolygons(uint32_t inVertex) const
{
    const XPolygonList& list = itsPolygonLists[inVertex];
    return {itsPolygonArena.data() + list.itsStart, list.itsCount};
}

void XMeshPolygonMap::Add(uint32_t inVertex, const XPolygon& inPolygon)
{
    XPolygonList& list = itsPolygonLists[inVertex];
    if (list.itsCount == list.itsCapacity) {
        const size_t start = itsPolygonArena.size();
        list.itsCapacity = std::max<uint32_t>(4, 2 * list.itsCapacity);
        itsPolygonArena.resize(start + list.itsCapacity);
        std::copy_n(itsPolygonArena.begin() + ptrdiff_t(list.itsStart), list.itsCount,
                    itsPolygonArena.begin() + ptrdiff_t(start));
        list.itsStart = start;
    }
    itsPolygonArena[list.itsStart + list.itsCount++] = inPolygon;
}

void XMeshPolygonMap::Remove(uint32_t inVertex, const XPolygon& inPolygon)
{
    XPolygonList& list = itsPolygonLists[inVertex];
    XPolygon* first = itsPolygonArena.data() + list.itsStart;
    XPolygon* found = std::find(first, first + list.itsCount, inPolygon);
    if (found != first + list.itsCount)
        *found = first[--list.itsCount];
}

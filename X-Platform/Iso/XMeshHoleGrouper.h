#pragma once
// Groups the vertices to delete into holes: a vertex joins the hole of any vertex on its
// ring (they share a polygon), and holes that one vertex touches are merged.
#include "XVector.h"

#include <cstdint>

class XMeshHoleGrouper {
public:
    explicit XMeshHoleGrouper(uint32_t inVertexCount);

    void AddVertexToHole(uint32_t inVertex, const XVector<uint32_t>& inRing);

    // The vertices of each hole, in vertex order; holes in the order of their lowest vertex.
    XVector<XVector<uint32_t>> CollectHoles() const;

private:
    uint32_t FindRoot(uint32_t inHole);

    XVector<uint32_t> itsHoleOfVertex;
    XVector<uint32_t> itsHoleParent;
};

#include "XMeshHoleGrouper.h"

#include <algorithm>

namespace {

constexpr uint32_t kNone = 0xFFFFFFFF;

} // namespace

XMeshHoleGrouper::XMeshHoleGrouper(uint32_t inVertexCount) : itsHoleOfVertex(inVertexCount, kNone) {}

uint32_t XMeshHoleGrouper::FindRoot(uint32_t inHole)
{
    while (itsHoleParent[inHole] != inHole)
        inHole = itsHoleParent[inHole] = itsHoleParent[itsHoleParent[inHole]];
    return inHole;
}

void XMeshHoleGrouper::AddVertexToHole(uint32_t inVertex, const XVector<uint32_t>& inRing)
{
    uint32_t hole = kNone;
    for (uint32_t u : inRing) {
        if (itsHoleOfVertex[u] == kNone)
            continue;
        const uint32_t root = FindRoot(itsHoleOfVertex[u]);
        if (hole == kNone) {
            hole = root;
        } else if (root != hole) {
            const uint32_t low = std::min(root, hole), high = std::max(root, hole);
            itsHoleParent[high] = low;
            hole = low;
        }
    }
    if (hole == kNone) {
        hole = uint32_t(itsHoleParent.size());
        itsHoleParent.push_back(hole);
    }
    itsHoleOfVertex[inVertex] = hole;
}

XVector<XVector<uint32_t>> XMeshHoleGrouper::CollectHoles() const
{
    XVector<XVector<uint32_t>> holes;
    XVector<uint32_t> holeOfRoot(itsHoleParent.size(), kNone);
    for (uint32_t v = 0; v < itsHoleOfVertex.size(); ++v) {
        if (itsHoleOfVertex[v] == kNone)
            continue;
        uint32_t root = itsHoleOfVertex[v];
        while (itsHoleParent[root] != root)
            root = itsHoleParent[root];
        if (holeOfRoot[root] == kNone) {
            holeOfRoot[root] = uint32_t(holes.size());
            holes.emplace_back();
        }
        holes[holeOfRoot[root]].push_back(v);
    }
    return holes;
}

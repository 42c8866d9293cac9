#include "XMeshSimplificationTool.h"

#include "XMeshTessellator.h"

#include "XAssert.h"
#include "XException.h"
#include "XThread.h"
#include "XThreadYield.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <span>
#include <utility>

namespace {

constexpr uint32_t kDeleted = 0xFFFFFFFF;
constexpr uint32_t kNone = 0xFFFFFFFF;

// A vertex is simple only when every face around it is exactly parallel to its neighbours.
constexpr double kFlatnessTolerance = 0.0;
// An edge is a crease when 1 - |n1 . n2| of its two faces exceeds this.
constexpr double kCreaseThreshold = 0.005;
// Two creases through a vertex match when their sharpness differs by less than this.
constexpr double kCreaseMatch = 0.01;
// A crease is straight when |1 - d1 . d2| of its two unit directions is at most this.
constexpr double kCreaseStraightness = 0.05;

// Cancellation is tested on every call; the processor is given up less often.
constexpr uint32_t kCallsPerYield = 256;

// Marks a polygon normal not yet worked out (unit normals lie within -1 ... 1).
constexpr double kUnknownNormal = 2.0;

enum : uint8_t { kVertexKept = 0, kVertexDeleted = 1, kVertexRunEnd = 2 };

XMathVectorD3 Cross(const XMathVectorD3& a, const XMathVectorD3& b) { return a.Cross(b); }

uint64_t EdgeKey(uint32_t inFrom, uint32_t inTo) { return (uint64_t(inFrom) << 32) | inTo; }

} // namespace

XMeshSimplificationTool::XMeshSimplificationTool(XVector<XMathVectorU3>& inOutTriangles,
                                                 XVector<XMathVectorU4>& inOutQuads,
                                                 const XVector<XMathVectorF3>& inPositions)
    : itsYield(kCallsPerYield), itsOutTriangles(inOutTriangles), itsOutQuads(inOutQuads),
      itsTriangles(inOutTriangles), itsQuads(inOutQuads)
{
    const size_t vertexCount = inPositions.size();
    if (vertexCount >= kDeleted || itsTriangles.size() >= kDeleted || itsQuads.size() >= kDeleted)
        throw XException(XException::kBadArgument,
                         XString("the surface has more vertices or polygons than 32-bit indices can name; "
                                 "simplify it in parts"));
    auto check = [vertexCount](const uint32_t* inCorners, uint32_t inCount) {
        for (uint32_t k = 0; k < inCount; ++k)
            if (inCorners[k] >= vertexCount)
                throw XException(XException::kBadArgument,
                                 XString("a polygon names vertex %1 but the surface has only %2 vertices; "
                                         "the surface is damaged and cannot be simplified")
                                     .Replace(int64_t(inCorners[k]))
                                     .Replace(int64_t(vertexCount)));
    };
    for (const XMathVectorU3& t : itsTriangles)
        check(t.GetData(), 3);
    for (const XMathVectorU4& q : itsQuads)
        check(q.GetData(), 4);

    itsPositions.resize(vertexCount);
    for (size_t i = 0; i < vertexCount; ++i)
        itsPositions[i] = XMathVectorD3(inPositions[i][0], inPositions[i][1], inPositions[i][2]);
    GeneratePolygonMap();
}

XMeshSimplificationTool::~XMeshSimplificationTool() = default;

void XMeshSimplificationTool::GeneratePolygonMap()
{
    X_ASSERT_TEXT(XThread::GetCurrentThread() != nullptr, "currentThread");
    XVector<uint32_t> counts(itsPositions.size(), 0);
    for (const XMathVectorU3& t : itsTriangles)
        for (uint32_t k = 0; k < 3; ++k)
            ++counts[t[k]];
    for (const XMathVectorU4& q : itsQuads)
        for (uint32_t k = 0; k < 4; ++k)
            ++counts[q[k]];
    // One block holds every vertex's list, each with room for a few new triangles.
    itsPolygonLists.resize(itsPositions.size());
    size_t start = 0;
    for (size_t v = 0; v < counts.size(); ++v) {
        itsPolygonLists[v] = {start, 0, counts[v] + 2};
        start += counts[v] + 2;
    }
    itsPolygonArena.resize(start);
    for (uint32_t i = 0; i < itsTriangles.size(); ++i)
        for (uint32_t k = 0; k < 3; ++k)
            AddToPolygonMap(itsTriangles[i][k], {XPolygon::kTriangle, i});
    for (uint32_t i = 0; i < itsQuads.size(); ++i)
        for (uint32_t k = 0; k < 4; ++k)
            AddToPolygonMap(itsQuads[i][k], {XPolygon::kQuad, i});
}

std::span<const XMeshSimplificationTool::XPolygon> XMeshSimplificationTool::GetPolygons(uint32_t inVertex) const
{
    const XPolygonList& list = itsPolygonLists[inVertex];
    return {itsPolygonArena.data() + list.itsStart, list.itsCount};
}

void XMeshSimplificationTool::AddToPolygonMap(uint32_t inVertex, const XPolygon& inPolygon)
{
    XPolygonList& list = itsPolygonLists[inVertex];
    if (list.itsCount == list.itsCapacity) {
        // A full list moves to the end of the block with twice the room.
        const size_t start = itsPolygonArena.size();
        list.itsCapacity = std::max<uint32_t>(4, 2 * list.itsCapacity);
        itsPolygonArena.resize(start + list.itsCapacity);
        std::copy_n(itsPolygonArena.begin() + ptrdiff_t(list.itsStart), list.itsCount,
                    itsPolygonArena.begin() + ptrdiff_t(start));
        list.itsStart = start;
    }
    itsPolygonArena[list.itsStart + list.itsCount++] = inPolygon;
}

void XMeshSimplificationTool::RemoveFromPolygonMap(uint32_t inVertex, const XPolygon& inPolygon)
{
    XPolygonList& list = itsPolygonLists[inVertex];
    XPolygon* first = itsPolygonArena.data() + list.itsStart;
    XPolygon* found = std::find(first, first + list.itsCount, inPolygon);
    if (found != first + list.itsCount)
        *found = first[--list.itsCount];
}

void XMeshSimplificationTool::SimplifyMesh()
{
    itsDeletedTriangleCount = itsDeletedQuadCount = itsNewTriangleCount = 0;
    const uint32_t vertexCount = uint32_t(itsPositions.size());
    itsHoleOfVertex.assign(vertexCount, kNone);
    itsVertexState.assign(vertexCount, kVertexKept);
    itsVertexMark.assign(vertexCount, 0);
    itsHoleParent.clear();
    itsHoles.clear();
    itsPendingCreases.clear();
    itsPendingCreases.reserve(vertexCount / 10);
    itsPolygonNormals[XPolygon::kTriangle].clear();
    itsPolygonNormals[XPolygon::kQuad].clear();

    // GLU is loaded when the first hole needs it, and let go however the run ends.
    struct XRelease {
        std::unique_ptr<XMeshTessellator>& itsTessellator;
        ~XRelease() { itsTessellator.reset(); }
    } release{itsTessellator};

    XThreadYield& yield = itsYield;
    XVector<uint32_t> ring;
    for (uint32_t v = 0; v < vertexCount; ++v) {
        if (GetVertexNeighbours(v, ring) && ring.size() > 2) {
            if (CanDeleteSimple(v)) {
                AddVertexToHole(v, ring);
            } else {
                uint32_t first = kNone, second = kNone;
                if (IsEdgeVertex(v, ring, first, second) == 2 && CanDeleteEdge(v, first, second))
                    itsPendingCreases.push_back({first, second, v});
            }
        }
        yield.Yield();
    }

    CollectHoles();
    for (XHole& hole : itsHoles) {
        if (!CreateContoursForHole(hole))
            hole.itsLoops.clear();
        yield.Yield();
    }
    TriangulateHoles();

    XVector<XCreaseRun> runs;
    ChainCreaseRuns(runs);
    for (const XCreaseRun& run : runs) {
        DealWithEdge(run);
        yield.Yield();
    }

    SimplifyVectors();
}

uint32_t XMeshSimplificationTool::GetCorners(const XPolygon& inPolygon, uint32_t outCorners[4]) const
{
    if (inPolygon.itsList == XPolygon::kTriangle) {
        const XMathVectorU3& t = itsTriangles[inPolygon.itsIndex];
        outCorners[0] = t[0], outCorners[1] = t[1], outCorners[2] = t[2];
        return 3;
    }
    const XMathVectorU4& q = itsQuads[inPolygon.itsIndex];
    outCorners[0] = q[0], outCorners[1] = q[1], outCorners[2] = q[2], outCorners[3] = q[3];
    return 4;
}

// Twice the polygon's area along its normal, in the direction about which its corners
// turn counter-clockwise (for a quad, the cross product of its diagonals).
XMathVectorD3 XMeshSimplificationTool::GetAreaVector(const XPolygon& inPolygon) const
{
    uint32_t c[4];
    if (GetCorners(inPolygon, c) == 3)
        return Cross(itsPositions[c[1]] - itsPositions[c[0]], itsPositions[c[2]] - itsPositions[c[0]]);
    return Cross(itsPositions[c[2]] - itsPositions[c[0]], itsPositions[c[3]] - itsPositions[c[1]]);
}

bool XMeshSimplificationTool::GetVertexNeighbours(uint32_t inVertex, XVector<uint32_t>& outRing)
{
    outRing.clear();
    itsFan.clear();
    itsFanStarts.clear();
    itsFanNormals.clear();
    const std::span<const XPolygon> polygons = GetPolygons(inVertex);
    const size_t count = polygons.size();
    if (count < 2)
        return false;

    // Each polygon contributes the path of its corners from the one after the vertex
    // to the one before it; the paths chain into the ring when the fan is proper.
    itsFanScratch.clear();
    for (const XPolygon& polygon : polygons) {
        XFanEntry entry;
        entry.itsPolygon = polygon;
        entry.itsCount = GetCorners(polygon, entry.itsCorners);
        entry.itsAt = kNone;
        for (uint32_t k = 0; k < entry.itsCount; ++k)
            if (entry.itsCorners[k] == inVertex) {
                if (entry.itsAt != kNone)
                    return false;
                entry.itsAt = k;
            }
        itsFanScratch.push_back(entry);
    }
    auto corner = [](const XFanEntry& inEntry, uint32_t inStep) {
        return inEntry.itsCorners[(inEntry.itsAt + inStep) % inEntry.itsCount];
    };
    for (size_t i = 0; i < count; ++i)
        for (size_t j = i + 1; j < count; ++j)
            if (corner(itsFanScratch[i], 1) == corner(itsFanScratch[j], 1))
                return false;

    // Ring vertices must be distinct and differ from the vertex.
    const uint32_t stamp = NextMark();
    itsVertexMark[inVertex] = stamp;
    size_t current = 0;
    for (size_t step = 0; step < count; ++step) {
        const XFanEntry& entry = itsFanScratch[current];
        for (uint32_t k = 1; k + 1 < entry.itsCount; ++k) {
            const uint32_t u = corner(entry, k);
            if (itsVertexMark[u] == stamp)
                return false;
            itsVertexMark[u] = stamp;
            outRing.push_back(u);
        }
        itsFan.push_back(entry.itsPolygon);
        itsFanStarts.push_back(corner(entry, 1));
        const uint32_t end = corner(entry, entry.itsCount - 1);
        size_t next = count;
        for (size_t j = 0; j < count; ++j)
            if (corner(itsFanScratch[j], 1) == end) {
                next = j;
                break;
            }
        // The chain must come back to the first polygon after passing every other once.
        if (next == count || (next == 0) != (step + 1 == count))
            return false;
        current = next;
    }
    return SortNormals();
}

// The unit normals of the fan's polygons, in ring order; false when one is degenerate.
bool XMeshSimplificationTool::SortNormals()
{
    itsFanNormals.clear();
    for (const XPolygon& polygon : itsFan) {
        const XMathVectorD3& n = GetUnitNormal(polygon);
        if (!n.IsFinite())
            return false;
        itsFanNormals.push_back(n);
    }
    return true;
}

// Each polygon's normal is worked out once, the first time a fan needs it; a polygon
// of no area has none (NaN).
const XMathVectorD3& XMeshSimplificationTool::GetUnitNormal(const XPolygon& inPolygon)
{
    XVector<XMathVectorD3>& normals = itsPolygonNormals[inPolygon.itsList];
    if (normals.size() <= inPolygon.itsIndex)
        normals.resize(inPolygon.itsList == XPolygon::kTriangle ? itsTriangles.size() : itsQuads.size(),
                       XMathVectorD3::MakeFilled(kUnknownNormal));
    XMathVectorD3& normal = normals[inPolygon.itsIndex];
    if (normal[0] == kUnknownNormal) {
        normal = GetAreaVector(inPolygon);
        const double length = normal.GetLength();
        normal = (length > 0.0 && std::isfinite(length)) ? normal / length : XMathVectorD3::MakeFilled(NAN);
    }
    return normal;
}

bool XMeshSimplificationTool::CanDeleteSimple(uint32_t) const
{
    const size_t count = itsFanNormals.size();
    if (count < 3)
        return false;
    double sum = 0.0;
    for (size_t i = 0; i < count; ++i) {
        const double cosine = itsFanNormals[i].Dot(itsFanNormals[(i + 1) % count]);
        // A face folded back onto its neighbour is parallel but not flat.
        if (!(cosine > 0.0))
            return false;
        const double c = 1.0 - std::abs(cosine);
        if (c > kFlatnessTolerance || c < 0.0)
            return false;
        sum += c;
    }
    return sum <= kFlatnessTolerance;
}

uint32_t XMeshSimplificationTool::IsEdgeVertex(uint32_t, const XVector<uint32_t>&, uint32_t& outFirst,
                                               uint32_t& outSecond) const
{
    // Polygon i meets polygon i - 1 along the edge to its first ring vertex.
    const size_t count = itsFanNormals.size();
    uint32_t creases = 0;
    double reference = 0.0;
    for (size_t i = 0; i < count; ++i) {
        const double c = 1.0 - std::abs(itsFanNormals[i].Dot(itsFanNormals[(i + count - 1) % count]));
        if (!(c > kCreaseThreshold))
            continue;
        if (creases == 0) {
            reference = c;
            outFirst = itsFanStarts[i];
            creases = 1;
        } else if (std::abs(c - reference) < kCreaseMatch) {
            if (++creases == 2)
                outSecond = itsFanStarts[i];
        } else {
            creases += 9;
        }
    }
    return creases;
}

bool XMeshSimplificationTool::CanDeleteEdge(uint32_t inVertex, uint32_t inFirst, uint32_t inSecond) const
{
    X_ASSERT_TEXT(inFirst != inSecond, "firstEdge != secondEdge");
    if (inFirst == inSecond)
        return false;
    XMathVectorD3 d1 = itsPositions[inVertex] - itsPositions[inFirst];
    XMathVectorD3 d2 = itsPositions[inSecond] - itsPositions[inVertex];
    const double l1 = d1.GetLength(), l2 = d2.GetLength();
    if (!(l1 > 0.0) || !(l2 > 0.0))
        return false;
    return std::abs(1.0 - d1.Dot(d2) / (l1 * l2)) <= kCreaseStraightness;
}

void XMeshSimplificationTool::AddVertexToHole(uint32_t inVertex, const XVector<uint32_t>& inRing)
{
    // A hole touches the vertex when one of its vertices shares a polygon with it, that
    // is, lies on the vertex's ring. Touching holes are merged.
    auto find = [this](uint32_t inHole) {
        while (itsHoleParent[inHole] != inHole)
            inHole = itsHoleParent[inHole] = itsHoleParent[itsHoleParent[inHole]];
        return inHole;
    };
    uint32_t hole = kNone;
    for (uint32_t u : inRing) {
        if (itsHoleOfVertex[u] == kNone)
            continue;
        const uint32_t root = find(itsHoleOfVertex[u]);
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

void XMeshSimplificationTool::CollectHoles()
{
    XVector<uint32_t> holeOfRoot(itsHoleParent.size(), kNone);
    for (uint32_t v = 0; v < itsHoleOfVertex.size(); ++v) {
        if (itsHoleOfVertex[v] == kNone)
            continue;
        uint32_t root = itsHoleOfVertex[v];
        while (itsHoleParent[root] != root)
            root = itsHoleParent[root];
        if (holeOfRoot[root] == kNone) {
            holeOfRoot[root] = uint32_t(itsHoles.size());
            itsHoles.emplace_back();
        }
        itsHoles[holeOfRoot[root]].itsVertices.push_back(v);
    }
}

// Adds the vertex's polygons to a region being gathered, each once.
void XMeshSimplificationTool::AddVertexToLoop(uint32_t inVertex, XVector<XPolygon>& inOutPolygons)
{
    for (const XPolygon& polygon : GetPolygons(inVertex)) {
        XVector<uint32_t>& stamps = itsPolygonStamp[polygon.itsList];
        if (stamps.size() <= polygon.itsIndex)
            stamps.resize(polygon.itsList == XPolygon::kTriangle ? itsTriangles.size() : itsQuads.size(), 0);
        if (stamps[polygon.itsIndex] == itsPolygonStampValue)
            continue;
        stamps[polygon.itsIndex] = itsPolygonStampValue;
        inOutPolygons.push_back(polygon);
    }
}

bool XMeshSimplificationTool::CreateContoursForHole(XHole& inOutHole)
{
    ++itsPolygonStampValue;
    inOutHole.itsPolygons.clear();
    for (uint32_t v : inOutHole.itsVertices)
        AddVertexToLoop(v, inOutHole.itsPolygons);
    return TraceOutline(inOutHole.itsPolygons, inOutHole.itsVertices, inOutHole.itsLoops);
}

// The outline of a region of polygons around some vertices: its directed edges whose
// reverse is not in the region, traced into closed loops in the surface's winding
// (islands run the other way). An edge at one of those vertices is inside the region,
// since each of them has its whole fan there, so only the others need looking up.
bool XMeshSimplificationTool::TraceOutline(const XVector<XPolygon>& inPolygons, const XVector<uint32_t>& inInside,
                                           XVector<XVector<uint32_t>>& outLoops)
{
    outLoops.clear();
    const uint32_t inside = NextMark();
    for (uint32_t v : inInside)
        itsVertexMark[v] = inside;
    XVector<uint64_t>& edges = itsEdgeScratch;
    edges.clear();
    for (const XPolygon& polygon : inPolygons) {
        uint32_t c[4];
        const uint32_t n = GetCorners(polygon, c);
        for (uint32_t k = 0; k < n; ++k) {
            const uint32_t from = c[k], to = c[(k + 1) % n];
            if (itsVertexMark[from] != inside && itsVertexMark[to] != inside)
                edges.push_back(EdgeKey(from, to));
        }
    }
    std::sort(edges.begin(), edges.end());
    XVector<XEdge> outline;
    for (size_t i = 0; i < edges.size();) {
        size_t j = i;
        while (j < edges.size() && edges[j] == edges[i])
            ++j;
        const uint32_t from = uint32_t(edges[i] >> 32), to = uint32_t(edges[i]);
        const uint64_t reverse = EdgeKey(to, from);
        const auto range = std::equal_range(edges.begin(), edges.end(), reverse);
        for (ptrdiff_t extra = ptrdiff_t(j - i) - (range.second - range.first); extra > 0; --extra)
            outline.push_back({from, to});
        i = j;
    }

    // Outline edges by their start; at a vertex the outline passes more than once, any
    // unused edge will do: the loops are split at repeated vertices afterwards.
    XVector<uint8_t> used(outline.size(), 0);
    XVector<uint32_t> loop;
    for (size_t first = 0; first < outline.size(); ++first) {
        if (used[first])
            continue;
        loop.clear();
        used[first] = 1;
        loop.push_back(outline[first].itsFrom);
        uint32_t at = outline[first].itsTo;
        while (at != outline[first].itsFrom) {
            loop.push_back(at);
            auto it = std::lower_bound(outline.begin(), outline.end(), at,
                                       [](const XEdge& e, uint32_t v) { return e.itsFrom < v; });
            const XEdge* currentEdge = nullptr;
            for (; it != outline.end() && it->itsFrom == at; ++it)
                if (!used[size_t(it - outline.begin())]) {
                    currentEdge = &*it;
                    used[size_t(it - outline.begin())] = 1;
                    break;
                }
            X_ASSERT(currentEdge != 0);
            if (!currentEdge)
                return false;
            at = currentEdge->itsTo;
        }
        SplitOutDuplicates(loop, outLoops);
    }
    return true;
}

// A loop that passes a vertex twice becomes two loops that meet there.
void XMeshSimplificationTool::SplitOutDuplicates(const XVector<uint32_t>& inLoop, XVector<XVector<uint32_t>>& outLoops)
{
    const uint32_t stamp = NextMark();
    XVector<uint32_t> stack;
    for (uint32_t v : inLoop) {
        if (itsVertexMark[v] == stamp) {
            auto it = std::find(stack.begin(), stack.end(), v);
            XVector<uint32_t> piece(it, stack.end());
            for (auto p = it + 1; p != stack.end(); ++p)
                itsVertexMark[*p] = 0;
            stack.erase(it + 1, stack.end());
            if (piece.size() >= 3)
                outLoops.push_back(std::move(piece));
            continue;
        }
        itsVertexMark[v] = stamp;
        stack.push_back(v);
    }
    if (stack.size() >= 3)
        outLoops.push_back(std::move(stack));
}

uint32_t XMeshSimplificationTool::NextMark()
{
    if (itsMarkStamp == 0xFFFFFFFF) {
        std::fill(itsVertexMark.begin(), itsVertexMark.end(), 0);
        itsMarkStamp = 0;
    }
    return ++itsMarkStamp;
}

bool XMeshSimplificationTool::Tessellate(const XVector<XVector<uint32_t>>& inLoops, const XMathVectorD3& inNormal,
                                         XVector<XMathVectorU3>& outTriangles)
{
    outTriangles.clear();
    if (!itsTessellator)
        itsTessellator = std::make_unique<XMeshTessellator>(itsPositions);
    // The normal of the region in the surface's winding: every new triangle then turns
    // about it as the surface's own polygons do.
    XVector<uint32_t>& orderedIDs = itsIndexScratch;
    orderedIDs.clear();
    if (!itsTessellator->Tessellate(inLoops, inNormal, orderedIDs))
        return false;
    X_ASSERT_TEXT(orderedIDs.size() % 3 == 0, "orderedIDs.first.size() % 3 == 0");
    if (orderedIDs.size() % 3 != 0 || orderedIDs.empty())
        return false;
    for (size_t i = 0; i < orderedIDs.size(); i += 3)
        outTriangles.push_back(XMathVectorU3(orderedIDs[i], orderedIDs[i + 1], orderedIDs[i + 2]));
    itsTessellator->RemoveSlivers(outTriangles);
    return true;
}

bool XMeshSimplificationTool::TriangulateLoopAsHole(const XVector<uint32_t>& inLoop,
                                                    XVector<XMathVectorU3>& outTriangles)
{
    if (inLoop.size() < 3)
        return inLoop.size() == 2; // an edge already closed by the polygons beyond it
    if (inLoop.size() == 3) {
        outTriangles.push_back(XMathVectorU3(inLoop[0], inLoop[1], inLoop[2]));
        return true;
    }
    XMathVectorD3 normal;
    const XMathVectorD3& origin = itsPositions[inLoop[0]];
    for (size_t i = 1; i + 1 < inLoop.size(); ++i)
        normal += Cross(itsPositions[inLoop[i]] - origin, itsPositions[inLoop[i + 1]] - origin);
    XVector<XMathVectorU3> triangles;
    XVector<XVector<uint32_t>> loops(1, inLoop);
    if (!Tessellate(loops, normal, triangles))
        return false;
    outTriangles.insert(outTriangles.end(), triangles.begin(), triangles.end());
    return true;
}

// Whether the new triangles close exactly the outline loops: the edges of the triangles
// that are not matched by a reverse among them are the loops' edges, each once, so the
// surface stays closed and oriented.
bool XMeshSimplificationTool::ClosesOutline(const XVector<XVector<uint32_t>>& inLoops,
                                            const XVector<XMathVectorU3>& inAdded) const
{
    XVector<std::pair<uint64_t, int>> flow;
    auto add = [&flow](uint32_t a, uint32_t b, int inSign) {
        if (a < b)
            flow.push_back({EdgeKey(a, b), inSign});
        else
            flow.push_back({EdgeKey(b, a), -inSign});
    };
    for (const XVector<uint32_t>& loop : inLoops)
        for (size_t k = 0; k < loop.size(); ++k)
            add(loop[k], loop[(k + 1) % loop.size()], 1);
    for (const XMathVectorU3& t : inAdded) {
        if (t[0] == t[1] || t[1] == t[2] || t[2] == t[0])
            return false;
        for (uint32_t k = 0; k < 3; ++k)
            add(t[k], t[(k + 1) % 3], -1);
    }
    std::sort(flow.begin(), flow.end());
    for (size_t i = 0; i < flow.size();) {
        int sum = 0;
        size_t j = i;
        for (; j < flow.size() && flow[j].first == flow[i].first; ++j)
            sum += flow[j].second;
        if (sum != 0)
            return false;
        i = j;
    }
    return true;
}

void XMeshSimplificationTool::TriangulateHoles()
{
    XVector<XMathVectorU3> triangles;
    for (XHole& hole : itsHoles) {
        if (hole.itsLoops.empty())
            continue;
        XMathVectorD3 area;
        double size = 0.0;
        for (const XPolygon& polygon : hole.itsPolygons) {
            const XMathVectorD3 a = GetAreaVector(polygon);
            area += a;
            size += a.GetLength();
        }
        if (!Tessellate(hole.itsLoops, area, triangles) || !ClosesOutline(hole.itsLoops, triangles))
            continue;
        // The patch is flat, so the new triangles span the same area in the same plane.
        XMathVectorD3 added;
        for (const XMathVectorU3& t : triangles)
            added += Cross(itsPositions[t[1]] - itsPositions[t[0]], itsPositions[t[2]] - itsPositions[t[0]]);
        if (!((added - area).GetLength() <= 1e-9 * size))
            continue;
        for (uint32_t v : hole.itsVertices)
            DeleteVertex(v);
        for (const XMathVectorU3& t : triangles)
            AddTriangle(t);
        itsYield.Yield();
    }
}

void XMeshSimplificationTool::ChainCreaseRuns(XVector<XCreaseRun>& outRuns) const
{
    // Two crease vertices are linked when each names the other as a crease neighbour;
    // links[i][k] is the crease vertex reached through neighbour k (first, second).
    const uint32_t count = uint32_t(itsPendingCreases.size());
    XVector<uint32_t> pendingOfVertex(itsPositions.size(), kNone);
    for (uint32_t i = 0; i < count; ++i)
        pendingOfVertex[itsPendingCreases[i].itsVertex] = i;
    XVector<std::array<uint32_t, 2>> links(count);
    for (uint32_t i = 0; i < count; ++i) {
        const XPendingCrease& p = itsPendingCreases[i];
        const uint32_t neighbours[2] = {p.itsFirst, p.itsSecond};
        for (int k = 0; k < 2; ++k) {
            const uint32_t other = pendingOfVertex[neighbours[k]];
            const bool mutual = other != kNone && (itsPendingCreases[other].itsFirst == p.itsVertex ||
                                                   itsPendingCreases[other].itsSecond == p.itsVertex);
            links[i][k] = mutual ? other : kNone;
        }
    }
    auto onward = [&links](uint32_t inAt, uint32_t inFrom) {
        for (uint32_t next : links[inAt])
            if (next != kNone && next != inFrom)
                return next;
        return kNone;
    };
    auto unlinkedNeighbour = [&](uint32_t inAt, bool inMayTakeFirst) {
        const XPendingCrease& p = itsPendingCreases[inAt];
        if (links[inAt][0] == kNone && inMayTakeFirst)
            return p.itsFirst;
        return links[inAt][1] == kNone ? p.itsSecond : kNone;
    };

    XVector<uint8_t> visited(count, 0);
    for (uint32_t start = 0; start < count; ++start) {
        if (visited[start])
            continue;
        // Walk one way to the end of the chain; coming back to the start means a loop.
        uint32_t end = start, from = kNone;
        bool closed = false;
        for (uint32_t next; (next = onward(end, from)) != kNone;) {
            if (next == start) {
                closed = true;
                break;
            }
            from = end;
            end = next;
        }
        // From that end, the other way, collecting the inner vertices.
        XCreaseRun run;
        uint32_t at = end, previous = kNone;
        for (;;) {
            visited[at] = 1;
            run.itsInner.push_back(itsPendingCreases[at].itsVertex);
            const uint32_t next = onward(at, previous);
            if (next == kNone || visited[next])
                break;
            previous = at;
            at = next;
        }
        // A closed run has no ends to keep; it is left alone.
        if (closed)
            continue;
        run.itsEnds[0] = unlinkedNeighbour(end, true);
        run.itsEnds[1] = unlinkedNeighbour(at, at != end);
        if (run.itsEnds[0] == kNone || run.itsEnds[1] == kNone || run.itsEnds[0] == run.itsEnds[1])
            continue;
        outRuns.push_back(std::move(run));
    }
}

bool XMeshSimplificationTool::SeparateNeighbours(const XVector<uint32_t>& inLoop, const uint32_t inEnds[2],
                                                 XVector<uint32_t>& outSide1, XVector<uint32_t>& outSide2) const
{
    const auto first = std::find(inLoop.begin(), inLoop.end(), inEnds[0]);
    const auto second = std::find(inLoop.begin(), inLoop.end(), inEnds[1]);
    X_ASSERT_TEXT(first != inLoop.end() && second != inLoop.end(), "it != bigLoop.end()");
    if (first == inLoop.end() || second == inLoop.end())
        return false;
    // Each side runs from one end to the other along the loop; the new edge between
    // the ends closes it.
    const size_t size = inLoop.size();
    const size_t a = size_t(first - inLoop.begin()), b = size_t(second - inLoop.begin());
    outSide1.clear();
    outSide2.clear();
    for (size_t i = a;; i = (i + 1) % size) {
        outSide1.push_back(inLoop[i]);
        if (i == b)
            break;
    }
    for (size_t i = b;; i = (i + 1) % size) {
        outSide2.push_back(inLoop[i]);
        if (i == a)
            break;
    }
    return true;
}

bool XMeshSimplificationTool::DealWithEdge(const XCreaseRun& inRun)
{
    // A vertex another run already deleted or kept as an end changes this run's
    // neighbourhood in ways its crease test did not see.
    for (uint32_t v : inRun.itsInner)
        if (itsVertexState[v] != kVertexKept)
            return false;
    for (uint32_t v : inRun.itsEnds)
        if (itsVertexState[v] == kVertexDeleted)
            return false;

    XVector<uint32_t> ring;
    XVector<XPolygon> polygons;
    ++itsPolygonStampValue;
    for (uint32_t v : inRun.itsInner) {
        const bool getNeighboursSuccess = GetVertexNeighbours(v, ring);
        if (!getNeighboursSuccess)
            return false;
        AddVertexToLoop(v, polygons);
    }
    XVector<XVector<uint32_t>> loops;
    if (!TraceOutline(polygons, inRun.itsInner, loops) || loops.size() != 1)
        return false;
    const XVector<uint32_t>& bigLoop = loops[0];
    for (uint32_t v : inRun.itsInner)
        if (bigLoop.DoesContain(v))
            return false;

    XVector<uint32_t> side1, side2;
    if (!SeparateNeighbours(bigLoop, inRun.itsEnds, side1, side2))
        return false;
    XVector<XMathVectorU3> triangles;
    if (!TriangulateLoopAsHole(side1, triangles) || !TriangulateLoopAsHole(side2, triangles) ||
        !ClosesOutline(loops, triangles))
        return false;

    for (uint32_t v : inRun.itsInner) {
        DeleteVertex(v);
        itsVertexState[v] = kVertexDeleted;
    }
    for (uint32_t v : inRun.itsEnds)
        itsVertexState[v] = kVertexRunEnd;
    for (const XMathVectorU3& t : triangles)
        AddTriangle(t);
    return true;
}

void XMeshSimplificationTool::DeleteVertex(uint32_t inVertex)
{
    // Each deletion takes the polygon off this vertex's list too.
    for (std::span<const XPolygon> polygons; !(polygons = GetPolygons(inVertex)).empty();) {
        const XPolygon polygon = polygons.back();
        DeletePolygon(polygon);
    }
}

void XMeshSimplificationTool::DeletePolygon(const XPolygon& inPolygon)
{
    uint32_t c[4];
    const uint32_t n = GetCorners(inPolygon, c);
    for (uint32_t k = 0; k < n; ++k)
        RemoveFromPolygonMap(c[k], inPolygon);
    if (inPolygon.itsList == XPolygon::kTriangle) {
        itsTriangles[inPolygon.itsIndex] = XMathVectorU3(kDeleted, kDeleted, kDeleted);
        ++itsDeletedTriangleCount;
    } else {
        itsQuads[inPolygon.itsIndex] = XMathVectorU4(kDeleted, kDeleted, kDeleted, kDeleted);
        ++itsDeletedQuadCount;
    }
}

void XMeshSimplificationTool::AddTriangle(const XMathVectorU3& inTriangle)
{
    if (itsTriangles.size() >= kDeleted)
        throw XException(XException::kBadArgument,
                         XString("simplifying the surface made more triangles than 32-bit indices can name; "
                                 "simplify it in parts"));
    const uint32_t index = uint32_t(itsTriangles.size());
    itsTriangles.push_back(inTriangle);
    for (uint32_t k = 0; k < 3; ++k)
        AddToPolygonMap(inTriangle[k], {XPolygon::kTriangle, index});
    ++itsNewTriangleCount;
}

void XMeshSimplificationTool::SimplifyVectors()
{
    XVector<XMathVectorU3> triangles;
    triangles.reserve(itsTriangles.size() - itsDeletedTriangleCount);
    for (const XMathVectorU3& t : itsTriangles)
        if (t[0] != kDeleted)
            triangles.push_back(t);
    XVector<XMathVectorU4> quads;
    quads.reserve(itsQuads.size() - itsDeletedQuadCount);
    for (const XMathVectorU4& q : itsQuads)
        if (q[0] != kDeleted)
            quads.push_back(q);
    // Only now does the caller's surface change, all at once.
    itsOutTriangles.swap(triangles);
    itsOutQuads.swap(quads);
}

#include "XMeshSimplificationTool.h"

#include "XMeshCreaseRuns.h"
#include "XMeshHoleGrouper.h"
#include "XMeshOutlineTracer.h"
#include "XMeshPolygonMap.h"
#include "XMeshTessellator.h"

#include "XAssert.h"
#include "XException.h"
#include "XThread.h"
#include "XThreadYield.h"

#include <algorithm>
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

XMathVectorD3 Cross(const XMathVectorD3& a, const XMathVectorD3& b) { return a.Cross(b); }

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
    itsPolygonMap = std::make_unique<XMeshPolygonMap>(itsTriangles, itsQuads, itsPositions.size());
}

void XMeshSimplificationTool::SimplifyMesh()
{
    itsDeletedTriangleCount = itsDeletedQuadCount = itsNewTriangleCount = 0;
    const uint32_t vertexCount = uint32_t(itsPositions.size());
    itsVertexMark.assign(vertexCount, 0);
    itsHoles.clear();
    itsOutlineTracer = std::make_unique<XMeshOutlineTracer>(itsTriangles, itsQuads, vertexCount);
    itsPolygonNormals[XPolygon::kTriangle].clear();
    itsPolygonNormals[XPolygon::kQuad].clear();

    // GLU is loaded when the first hole needs it, and let go however the run ends.
    struct XRelease {
        std::unique_ptr<XMeshTessellator>& itsTessellator;
        ~XRelease() { itsTessellator.reset(); }
    } release{itsTessellator};

    XThreadYield& yield = itsYield;
    XMeshHoleGrouper holeGrouper(vertexCount);
    XMeshCreaseRuns creaseRuns(vertexCount);
    XVector<uint32_t> ring;
    for (uint32_t v = 0; v < vertexCount; ++v) {
        if (GetVertexNeighbours(v, ring) && ring.size() > 2) {
            if (CanDeleteSimple(v)) {
                holeGrouper.AddVertexToHole(v, ring);
            } else {
                uint32_t first = kNone, second = kNone;
                if (IsEdgeVertex(v, ring, first, second) == 2 && CanDeleteEdge(v, first, second))
                    creaseRuns.AddVertex(first, second, v);
            }
        }
        yield.Yield();
    }

    for (XVector<uint32_t>& vertices : holeGrouper.CollectHoles())
        itsHoles.push_back({std::move(vertices), {}, {}});
    for (XHole& hole : itsHoles) {
        if (!CreateContoursForHole(hole))
            hole.itsLoops.clear();
        yield.Yield();
    }
    TriangulateHoles();

    XVector<XCreaseRun> runs;
    creaseRuns.ChainRuns(runs);
    for (const XCreaseRun& run : runs) {
        DealWithEdge(run, creaseRuns);
        yield.Yield();
    }

    SimplifyVectors();
}

uint32_t XMeshSimplificationTool::GetCorners(const XPolygon& inPolygon, uint32_t outCorners[4]) const
{
    return inPolygon.GetCorners(itsTriangles, itsQuads, outCorners);
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
    const std::span<const XPolygon> polygons = itsPolygonMap->GetPolygons(inVertex);
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

// Adds the vertex's polygons to a region being gathered, each once.
void XMeshSimplificationTool::AddVertexToLoop(uint32_t inVertex, XVector<XPolygon>& inOutPolygons)
{
    for (const XPolygon& polygon : itsPolygonMap->GetPolygons(inVertex)) {
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

bool XMeshSimplificationTool::TraceOutline(const XVector<XPolygon>& inPolygons, const XVector<uint32_t>& inInside,
                                           XVector<XVector<uint32_t>>& outLoops)
{
    // Outline edges always chain into closed loops on a surface of whole fans.
    const bool traced = itsOutlineTracer->Trace(inPolygons, inInside, outLoops);
    X_ASSERT_TEXT(traced, "currentEdge != 0");
    return traced;
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
        if (!Tessellate(hole.itsLoops, area, triangles) || !XMeshOutlineTracer::Closes(hole.itsLoops, triangles))
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

bool XMeshSimplificationTool::DealWithEdge(const XCreaseRun& inRun, XMeshCreaseRuns& inOutRuns)
{
    if (!inOutRuns.MayCollapse(inRun))
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
    const bool separated = XMeshCreaseRuns::SeparateNeighbours(bigLoop, inRun.itsEnds, side1, side2);
    X_ASSERT_TEXT(separated, "it != bigLoop.end()");
    if (!separated)
        return false;
    XVector<XMathVectorU3> triangles;
    if (!TriangulateLoopAsHole(side1, triangles) || !TriangulateLoopAsHole(side2, triangles) ||
        !XMeshOutlineTracer::Closes(loops, triangles))
        return false;

    for (uint32_t v : inRun.itsInner)
        DeleteVertex(v);
    inOutRuns.SetCollapsed(inRun);
    for (const XMathVectorU3& t : triangles)
        AddTriangle(t);
    return true;
}

void XMeshSimplificationTool::DeleteVertex(uint32_t inVertex)
{
    // Each deletion takes the polygon off this vertex's list too.
    for (std::span<const XPolygon> polygons; !(polygons = itsPolygonMap->GetPolygons(inVertex)).empty();) {
        const XPolygon polygon = polygons.back();
        DeletePolygon(polygon);
    }
}

void XMeshSimplificationTool::DeletePolygon(const XPolygon& inPolygon)
{
    uint32_t c[4];
    const uint32_t n = GetCorners(inPolygon, c);
    for (uint32_t k = 0; k < n; ++k)
        itsPolygonMap->Remove(c[k], inPolygon);
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
        itsPolygonMap->Add(inTriangle[k], {XPolygon::kTriangle, index});
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

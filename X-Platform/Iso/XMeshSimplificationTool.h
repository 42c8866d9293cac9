#pragma once
// Reduces the polygon count of a surface extracted from a voxel mask without changing
// its shape. Such surfaces are made of exactly flat patches and straight creases: the
// tool removes the vertices inside flat patches and the inner vertices of straight
// crease runs, and closes each hole they leave with new triangles from GLU's
// tessellator (loaded at run time; no GL context is needed).
//
// The tool works on private copies and hands the caller the finished surface whole:
// when it is cancelled or fails (GLU missing, for one), the caller's lists are as they
// were. Vertices are never removed; deleted ones simply stop being referenced.
// Surviving polygons keep their order; new triangles follow the surviving triangles.
#include "XMathVector.h"
#include "XMeshCreaseRuns.h"
#include "XThreadYield.h"
#include "XVector.h"

#include <cstdint>
#include <memory>

class XMeshOutlineTracer;
class XMeshPolygonMap;
class XMeshTessellator;

class XMeshSimplificationTool {
public:
    // One polygon of the surface: the list it is in and its index there.
    struct XPolygon {
        enum EList : uint32_t { kTriangle = 0, kQuad = 1 };
        EList itsList;
        uint32_t itsIndex;
        friend bool operator==(const XPolygon&, const XPolygon&) = default;

        // Its corners in those lists; returns how many (3 or 4).
        uint32_t GetCorners(const XVector<XMathVectorU3>& inTriangles, const XVector<XMathVectorU4>& inQuads,
                            uint32_t outCorners[4]) const
        {
            if (itsList == kTriangle) {
                const XMathVectorU3& t = inTriangles[itsIndex];
                outCorners[0] = t[0], outCorners[1] = t[1], outCorners[2] = t[2];
                return 3;
            }
            const XMathVectorU4& q = inQuads[itsIndex];
            outCorners[0] = q[0], outCorners[1] = q[1], outCorners[2] = q[2], outCorners[3] = q[3];
            return 4;
        }
    };

    // Vertices to delete whose polygons form one connected region, and the closed
    // loops the region's outline falls into.
    struct XHole {
        XVector<uint32_t> itsVertices;
        XVector<XPolygon> itsPolygons;
        XVector<XVector<uint32_t>> itsLoops;
    };

    // A directed edge of an outline being traced.
    struct XEdge {
        uint32_t itsFrom;
        uint32_t itsTo;
    };

    // The surface: triangles and quads index inPositions. Throws XException when a
    // polygon names a vertex that does not exist. Must be made on a host thread.
    XMeshSimplificationTool(XVector<XMathVectorU3>& inOutTriangles, XVector<XMathVectorU4>& inOutQuads,
                            const XVector<XMathVectorF3>& inPositions);
    XMeshSimplificationTool(const XMeshSimplificationTool&) = delete;
    XMeshSimplificationTool& operator=(const XMeshSimplificationTool&) = delete;
    ~XMeshSimplificationTool();

    // The whole simplification; on success the caller's triangles and quads hold the
    // result. Cancellation (XStopThreadException) and failures leave them untouched.
    void SimplifyMesh();

    // Polygons deleted and triangles added by the last SimplifyMesh.
    uint32_t GetDeletedTriangleCount() const { return itsDeletedTriangleCount; }
    uint32_t GetDeletedQuadCount() const { return itsDeletedQuadCount; }
    uint32_t GetNewTriangleCount() const { return itsNewTriangleCount; }

private:
    using XCreaseRun = XMeshCreaseRuns::XCreaseRun;

    // A polygon around the vertex being looked at, with its corners.
    struct XFanEntry {
        XPolygon itsPolygon;
        uint32_t itsCorners[4];
        uint32_t itsCount;
        uint32_t itsAt;
    };

    void GeneratePolygonMap();
    bool GetVertexNeighbours(uint32_t inVertex, XVector<uint32_t>& outRing);
    bool CanDeleteSimple(uint32_t inVertex) const;
    uint32_t IsEdgeVertex(uint32_t inVertex, const XVector<uint32_t>& inRing, uint32_t& outFirst,
                          uint32_t& outSecond) const;
    bool CanDeleteEdge(uint32_t inVertex, uint32_t inFirst, uint32_t inSecond) const;
    void AddVertexToLoop(uint32_t inVertex, XVector<XPolygon>& inOutPolygons);
    void DeleteVertex(uint32_t inVertex);
    bool CreateContoursForHole(XHole& inOutHole);
    bool DealWithEdge(const XCreaseRun& inRun, XMeshCreaseRuns& inOutRuns);
    void TriangulateHoles();
    bool TriangulateLoopAsHole(const XVector<uint32_t>& inLoop, XVector<XMathVectorU3>& outTriangles);
    bool SortNormals();
    const XMathVectorD3& GetUnitNormal(const XPolygon& inPolygon);
    void SimplifyVectors();

    // Helpers of the steps above.
    bool TraceOutline(const XVector<XPolygon>& inPolygons, const XVector<uint32_t>& inInside,
                      XVector<XVector<uint32_t>>& outLoops);
    bool Tessellate(const XVector<XVector<uint32_t>>& inLoops, const XMathVectorD3& inNormal,
                    XVector<XMathVectorU3>& outTriangles);
    uint32_t GetCorners(const XPolygon& inPolygon, uint32_t outCorners[4]) const;
    XMathVectorD3 GetAreaVector(const XPolygon& inPolygon) const;
    void DeletePolygon(const XPolygon& inPolygon);
    void AddTriangle(const XMathVectorU3& inTriangle);
    uint32_t NextMark();

    // Lets other threads run, and a stopped thread leave, between vertices and holes.
    XThreadYield itsYield;
    XVector<XMathVectorU3>& itsOutTriangles;
    XVector<XMathVectorU4>& itsOutQuads;

    // Working copies: deleted polygons hold 0xFFFFFFFF in every corner.
    XVector<XMathVectorU3> itsTriangles;
    XVector<XMathVectorU4> itsQuads;
    XVector<XMathVectorD3> itsPositions;
    std::unique_ptr<XMeshPolygonMap> itsPolygonMap;
    uint32_t itsDeletedTriangleCount = 0;
    uint32_t itsDeletedQuadCount = 0;
    uint32_t itsNewTriangleCount = 0;

    // The holes of the run, their tracer, and per-vertex and per-polygon scratch marks.
    XVector<XHole> itsHoles;
    std::unique_ptr<XMeshOutlineTracer> itsOutlineTracer;
    XVector<uint32_t> itsVertexMark;
    uint32_t itsMarkStamp = 0;
    XVector<uint32_t> itsPolygonStamp[2];
    uint32_t itsPolygonStampValue = 0;

    // The fan of the vertex last given to GetVertexNeighbours, in ring order: its
    // polygons, the first ring vertex each contributes, and their unit normals.
    XVector<XPolygon> itsFan;
    XVector<uint32_t> itsFanStarts;
    XVector<XFanEntry> itsFanScratch;
    XVector<XMathVectorD3> itsPolygonNormals[2];
    XVector<XMathVectorD3> itsFanNormals;

    // Made when the first hole is closed; one serves the whole run.
    std::unique_ptr<XMeshTessellator> itsTessellator;
    XVector<uint32_t> itsIndexScratch;
};

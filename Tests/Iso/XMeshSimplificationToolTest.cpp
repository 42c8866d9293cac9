// The simplification on surfaces extracted from voxel masks and on hand-made ones: what
// goes, what must stay, the order of what is handed back, and all or nothing on failure.
#include "IsoReference.h"
#include "XAssertRecorder.h"
#include "XException.h"
#include "XMeshSimplificationTool.h"
#include "XThread.h"

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <exception>
#include <random>
#include <set>
#include <string>
#include <thread>

using namespace IsoReference;

namespace {

// The tool runs on host threads (its jobs' workers), as here.
void RunOnHostThread(const std::function<void()>& inWork)
{
    std::exception_ptr error;
    XThread thread([&] {
        try {
            inWork();
        } catch (...) {
            error = std::current_exception();
        }
    });
    thread.Start();
    thread.Join();
    if (error)
        std::rethrow_exception(error);
}

XSurface Simplified(const XSurface& inSurface)
{
    XSurface result = inSurface;
    RunOnHostThread([&] {
        XMeshSimplificationTool tool(result.triangles, result.quads, result.positions);
        tool.SimplifyMesh();
    });
    return result;
}

bool SamePolygons(const XSurface& a, const XSurface& b) { return a.quads == b.quads && a.triangles == b.triangles; }

// Every directed edge is matched by its reverse as often as it occurs (once each on a
// manifold surface): the surface is closed and consistently oriented.
void ExpectBalanced(const XSurface& inSurface, bool inManifold)
{
    const auto edges = GetDirectedEdges(inSurface);
    for (const auto& [edge, count] : edges) {
        const auto reverse = edges.find({edge.second, edge.first});
        ASSERT_NE(reverse, edges.end()) << edge.first << "->" << edge.second << " has no reverse";
        ASSERT_EQ(reverse->second, count) << edge.first << "->" << edge.second;
        if (inManifold) {
            ASSERT_EQ(count, 1) << edge.first << "->" << edge.second;
        }
    }
}

size_t GetTriangleCount(const XSurface& inSurface) { return inSurface.triangles.size() + 2 * inSurface.quads.size(); }

using XBox = std::array<int, 6>; // lo x, y, z, hi x, y, z

// The voxels inside any of the boxes, scaled, in a volume from the origin to their far corner.
XMaskVolume Boxes(const std::vector<XBox>& inBoxes, int inScale = 1)
{
    X3DRect bounds(0, 0, 0, 1, 1, 1);
    for (const XBox& b : inBoxes)
        bounds = X3DRect(0, 0, 0, std::max(bounds.right, b[3] * inScale), std::max(bounds.bottom, b[4] * inScale),
                         std::max(bounds.back, b[5] * inScale));
    return MakeMask(bounds, [&](int x, int y, int z) {
        for (const XBox& b : inBoxes)
            if (x >= b[0] * inScale && y >= b[1] * inScale && z >= b[2] * inScale && x < b[3] * inScale &&
                y < b[4] * inScale && z < b[5] * inScale)
                return true;
        return false;
    });
}

struct XBoxCase {
    const char* itsName;
    std::vector<XBox> itsBoxes; // in units scaled per run
};

const XBoxCase kBoxCases[] = {
    {"cube", {{0, 0, 0, 1, 1, 1}}},
    {"slab", {{0, 0, 0, 3, 2, 1}}},
    {"L", {{0, 0, 0, 2, 1, 1}, {0, 0, 0, 1, 2, 1}}},
    {"step", {{0, 0, 0, 2, 2, 1}, {0, 0, 0, 1, 2, 2}}},
    {"bump on top", {{0, 0, 0, 3, 3, 1}, {1, 1, 1, 2, 2, 2}}},
    {"ring", {{0, 0, 0, 3, 1, 1}, {0, 2, 0, 3, 3, 1}, {0, 0, 0, 1, 3, 1}, {2, 0, 0, 3, 3, 1}}},
};

} // namespace

// Surfaces of boxy masks (unions of boxes, plates one voxel thick whose two faces are a
// voxel apart), balls and non-manifold masks (voxels meeting along an edge or at a
// corner, where vertices are left alone) all lose polygons and stay closed and oriented
// with their volume. Boxy ones come down to their corners whatever their scale, keep
// their bounds exactly and get no triangle of no area.
TEST(XMeshSimplificationTool, ExtractedShapesKeepTheirVolume)
{
    enum EKind { kBoxy, kPlate, kRound, kNonManifold };
    struct XCase {
        std::string itsName;
        XMaskVolume itsMask;
        EKind itsKind;
        std::string itsShape; // vertices left must not depend on the scale
    };
    std::vector<XCase> cases;
    for (const XBoxCase& c : kBoxCases)
        for (int scale : {4, 5, 8})
            cases.push_back({c.itsName + std::string(" at scale ") + std::to_string(scale), Boxes(c.itsBoxes, scale),
                             kBoxy, c.itsName});
    cases.push_back({"plate", Boxes({{0, 0, 0, 12, 9, 1}}), kPlate, ""});
    cases.push_back({"bent plate", Boxes({{0, 0, 0, 12, 9, 1}, {0, 0, 0, 1, 9, 6}}), kPlate, ""});
    for (double radius : {7.0, 10.0, 14.0}) {
        const double c = int(2 * radius + 2) / 2.0;
        cases.push_back({"ball of radius " + std::to_string(radius),
                         MakeMask(X3DRect(0, 0, 0, int(2 * c), int(2 * c), int(2 * c)),
                                  [&](int x, int y, int z) {
                                      return std::hypot(x + 0.5 - c, y + 0.5 - c, z + 0.5 - c) <= radius;
                                  }),
                         kRound, ""});
    }
    cases.push_back({"boxes along an edge", Boxes({{0, 0, 0, 5, 5, 6}, {5, 5, 0, 10, 10, 6}}), kNonManifold, ""});
    cases.push_back({"boxes at a corner", Boxes({{0, 0, 0, 5, 5, 5}, {5, 5, 5, 10, 10, 10}}), kNonManifold, ""});
    // A box with flat faces to simplify, strewn with voxels that touch it and each other
    // along edges and at corners.
    std::mt19937 random(7);
    cases.push_back({"noise", MakeMask(X3DRect(0, 0, 0, 12, 12, 12), [&](int x, int y, int z) {
                         const bool strewn = random() % 100 < 12;
                         return strewn || (std::min({x, y, z}) >= 3 && std::max({x, y, z}) < 9);
                     }), kNonManifold, ""});

    std::map<std::string, size_t> usedOfShape;
    for (const XCase& c : cases) {
        SCOPED_TRACE(c.itsName);
        const XSurface before = Extract(c.itsMask, 128, std::nullopt);
        const XSurface after = Simplified(before);
        ExpectBalanced(after, c.itsKind != kNonManifold);
        EXPECT_LT(GetTriangleCount(after), GetTriangleCount(before) / (c.itsKind == kPlate ? 2 : 1));
        if (c.itsKind == kNonManifold)
            continue;
        const double volume = GetEnclosedVolume(before);
        EXPECT_NEAR(GetEnclosedVolume(after), volume, (c.itsKind == kRound ? 0.01 : 1e-6) * volume);
        if (c.itsKind == kRound)
            continue;
        EXPECT_EQ(GetUsedBounds(after), GetUsedBounds(before));
        for (const XMathVectorU3& t : after.triangles) {
            const XMathVectorF3 &p = after.positions[t[0]], &q = after.positions[t[1]], &r = after.positions[t[2]];
            EXPECT_GT((q - p).Cross(r - p).GetLength(), 1e-3f) << "a triangle of no area";
        }
        if (!c.itsShape.empty() && !usedOfShape.emplace(c.itsShape, CountUsedVertices(after)).second) {
            EXPECT_EQ(CountUsedVertices(after), usedOfShape[c.itsShape]);
        }
    }
    // At scale 3 every vertex of the cube is a corner: no face has an inner vertex and no
    // edge a straight run, so nothing may go, and the larger scales come down to the same.
    const XSurface smallest = Extract(Boxes(kBoxCases[0].itsBoxes, 3), 128, std::nullopt);
    EXPECT_TRUE(SamePolygons(Simplified(smallest), smallest));
    EXPECT_EQ(usedOfShape["cube"], smallest.positions.size());
}

namespace {

// A flat fan of quads around vertex 0 whose outer corners wind inTurns times round it.
XSurface MakeFan(int inQuads, int inTurns)
{
    XSurface fan;
    fan.positions.push_back(XMathVectorF3(0, 0, 0));
    const int corners = 2 * inQuads;
    for (int k = 0; k < corners; ++k) {
        const double angle = 2.0 * M_PI * inTurns * k / corners, radius = 1.0 + 0.5 * k / corners;
        fan.positions.push_back(XMathVectorF3(float(radius * std::cos(angle)), float(radius * std::sin(angle)), 0));
    }
    for (int i = 0; i < inQuads; ++i)
        fan.quads.push_back(XMathVectorU4(0, 1 + 2 * i, 2 + 2 * i, 1 + (2 * i + 2) % corners));
    return fan;
}

// Directed edges without a reverse: the outline of an open surface.
std::multiset<std::pair<uint32_t, uint32_t>> GetOutline(const XSurface& inSurface)
{
    std::multiset<std::pair<uint32_t, uint32_t>> outline;
    const auto edges = GetDirectedEdges(inSurface);
    for (const auto& [edge, count] : edges)
        if (!edges.count({edge.second, edge.first}))
            for (int i = 0; i < count; ++i)
                outline.insert(edge);
    return outline;
}

// Area seen from +z, counter-clockwise positive.
double GetAreaZ(const XSurface& inSurface)
{
    double area = 0.0;
    ForEachTriangle(inSurface, [&](uint32_t a, uint32_t b, uint32_t c) {
        const XMathVectorF3 &p = inSurface.positions[a], &q = inSurface.positions[b], &r = inSurface.positions[c];
        area += 0.5 * ((double(q[0]) - p[0]) * (double(r[1]) - p[1]) - (double(q[1]) - p[1]) * (double(r[0]) - p[0]));
    });
    return area;
}

} // namespace

// A flat fan of quads round one centre loses the centre: triangles over its outer
// vertices cover it with the same winding and the same outline. What cannot be
// simplified comes out exactly as it went in.
TEST(XMeshSimplificationTool, FlatFansLoseTheirCentre)
{
    for (int quads : {4, 8}) {
        SCOPED_TRACE(quads);
        const XSurface fan = MakeFan(quads, 1);
        const XSurface after = Simplified(fan);
        EXPECT_TRUE(after.quads.empty());
        EXPECT_EQ(after.triangles.size(), size_t(2 * quads - 2));
        EXPECT_EQ(CountUsedVertices(after), size_t(2 * quads)) << "all but the centre";
        for (const XMathVectorU3& t : after.triangles)
            EXPECT_GT(GetAreaZ({fan.positions, {}, {}, {t}}), 0.0);
        EXPECT_NEAR(GetAreaZ(after), GetAreaZ(fan), 1e-5);
        EXPECT_EQ(GetOutline(after), GetOutline(fan));
    }

    XSurface bent = MakeFan(4, 1);
    bent.positions[0].SetZ(1e-3f); // every face now slightly tilted against the others
    XSurface twoRing;
    twoRing.positions = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    twoRing.triangles = {{0, 1, 2}, {0, 2, 1}};
    const std::pair<const char*, XSurface> unchanged[] = {
        {"slightly bent fan", bent},
        {"ring of two neighbours", twoRing},
        // Its outline crosses itself: the tessellator asks for a new vertex, which cannot
        // be indexed, so the flat centre keeps its polygons.
        {"fan wound twice", MakeFan(8, 2)},
    };
    for (const auto& [name, surface] : unchanged) {
        SCOPED_TRACE(name);
        XAssertRecorder recorder;
        EXPECT_TRUE(SamePolygons(Simplified(surface), surface));
        EXPECT_EQ(recorder.GetCount(), 0u);
    }
}

// Surviving triangles and quads keep their order; the new triangles follow them.
TEST(XMeshSimplificationTool, SurvivorsKeepTheirOrderAndNewTrianglesComeLast)
{
    XSurface before = Extract(Boxes(kBoxCases[3].itsBoxes, 5), 128, std::nullopt);
    XVector<XMathVectorU4> quads;
    for (size_t i = 0; i < before.quads.size(); ++i) {
        const XMathVectorU4& q = before.quads[i];
        if (i % 3 == 0) {
            before.triangles.push_back({q[0], q[1], q[2]});
            before.triangles.push_back({q[0], q[2], q[3]});
        } else {
            quads.push_back(q);
        }
    }
    before.quads = quads;
    const XSurface after = Simplified(before);
    ExpectBalanced(after, true);
    EXPECT_NEAR(GetEnclosedVolume(after), GetEnclosedVolume(before), 1e-6 * GetEnclosedVolume(before));
    // Whether inPart is inWhole with some elements left out, the rest in their order.
    auto isSubsequence = [](const auto& inPart, const auto& inWhole) {
        size_t at = 0;
        for (const auto& value : inPart) {
            while (at < inWhole.size() && !(inWhole[at] == value))
                ++at;
            if (at++ >= inWhole.size())
                return false;
        }
        return true;
    };
    EXPECT_TRUE(isSubsequence(after.quads, before.quads));
    size_t survivors = 0;
    while (survivors < after.triangles.size() && before.triangles.DoesContain(after.triangles[survivors]))
        ++survivors;
    const XVector<XMathVectorU3> kept(after.triangles.begin(), after.triangles.begin() + survivors);
    EXPECT_TRUE(isSubsequence(kept, before.triangles));
    EXPECT_LT(survivors, after.triangles.size());
    for (size_t i = survivors; i < after.triangles.size(); ++i)
        EXPECT_FALSE(before.triangles.DoesContain(after.triangles[i])) << "triangle " << i;
}

// A failure or a cancellation leaves the caller's surface exactly as it was.
TEST(XMeshSimplificationTool, FailuresLeaveTheSurfaceAsItWas)
{
    const XSurface box = Extract(Boxes(kBoxCases[0].itsBoxes, 6), 128, std::nullopt);
    XSurface damaged = box;
    damaged.quads[5][2] = uint32_t(box.positions.size());
    const struct {
        const char* itsName;
        const XSurface& itsSurface;
        int32_t itsCode;
        std::function<void()> itsBefore;
    } cases[] = {
        {"GLU missing", box, XException::kMissingExtension,
         [] { setenv("KESTRIN_GLU_LIBRARY", "libKestrinNoSuchGLU.so.1", 1); }},
        {"cancelled", box, XException::kThreadStopped, [] { XThread::GetCurrentThread()->RequestStop(); }},
        {"vertex index past the vertices", damaged, XException::kBadArgument, [] {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.itsName);
        XSurface surface = c.itsSurface;
        int32_t code = -1;
        RunOnHostThread([&] {
            try {
                c.itsBefore();
                XMeshSimplificationTool tool(surface.triangles, surface.quads, surface.positions);
                tool.SimplifyMesh();
            } catch (const XException& e) {
                code = e.GetErrorCode();
            }
        });
        unsetenv("KESTRIN_GLU_LIBRARY");
        EXPECT_EQ(code, c.itsCode);
        EXPECT_TRUE(SamePolygons(surface, c.itsSurface));
    }
    // With GLU back the same box simplifies.
    EXPECT_LT(GetTriangleCount(Simplified(box)), GetTriangleCount(box));
}

// Stopped at some moment while it works, the tool hands over all of the result or none.
TEST(XMeshSimplificationTool, CancellationDeliversAllOrNothing)
{
    const XSurface box = Extract(Boxes(kBoxCases[4].itsBoxes, 12), 128, std::nullopt);
    const XSurface whole = Simplified(box);
    for (int delay : {0, 1, 2, 4, 8, 16}) {
        SCOPED_TRACE(delay);
        XSurface surface = box;
        XThread thread([&] {
            XMeshSimplificationTool tool(surface.triangles, surface.quads, surface.positions);
            tool.SimplifyMesh();
        });
        thread.Start();
        std::this_thread::sleep_for(std::chrono::milliseconds(delay));
        thread.RequestStop();
        thread.Join();
        EXPECT_TRUE(SamePolygons(surface, box) || SamePolygons(surface, whole));
    }
}

// A 64-sided prism: each rim vertex lies on a straight enough crease between its cap
// and the side (the side bends by less than a crease between its quads), so each rim
// is a closed crease run, which has no ends to keep and stays whole. The caps' centres
// are flat and go.
TEST(XMeshSimplificationTool, ClosedCreaseRunsStay)
{
    constexpr uint32_t kSides = 64;
    XSurface prism;
    for (float z : {0.0f, 1.0f}) {
        for (uint32_t i = 0; i < kSides; ++i) {
            const double angle = 2.0 * M_PI * i / kSides;
            prism.positions.push_back(XMathVectorF3(float(10 * std::cos(angle)), float(10 * std::sin(angle)), z));
        }
    }
    const uint32_t bottom = uint32_t(prism.positions.size()), top = bottom + 1;
    prism.positions.push_back(XMathVectorF3(0, 0, 0));
    prism.positions.push_back(XMathVectorF3(0, 0, 1));
    for (uint32_t i = 0; i < kSides; ++i) {
        const uint32_t j = (i + 1) % kSides;
        prism.triangles.push_back({bottom, j, i});
        prism.triangles.push_back({top, kSides + i, kSides + j});
        prism.quads.push_back({i, j, kSides + j, kSides + i});
    }
    const XSurface after = Simplified(prism);
    ExpectBalanced(after, true);
    EXPECT_EQ(after.quads, prism.quads);
    EXPECT_EQ(CountUsedVertices(after), 2 * kSides);
    EXPECT_NEAR(GetEnclosedVolume(after), GetEnclosedVolume(prism), 1e-6 * std::abs(GetEnclosedVolume(prism)));
}

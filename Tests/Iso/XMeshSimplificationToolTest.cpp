#include "XAssertRecorder.h"
#include "XException.h"
#include "XMeshSimplificationTool.h"
#include "XStopThreadException.h"
#include "XTestSurface.h"
#include "XThread.h"

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <exception>
#include <functional>
#include <gtest/gtest.h>
#include <random>
#include <set>
#include <string>
#include <thread>

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

XTestSurface Simplified(const XTestSurface& inSurface)
{
    XTestSurface result = inSurface;
    RunOnHostThread([&] {
        XMeshSimplificationTool tool(result.itsTriangles, result.itsQuads, result.itsPositions);
        tool.SimplifyMesh();
    });
    return result;
}

// Every directed edge is matched by its reverse as often as it occurs (once each on a
// manifold surface): the surface is closed and consistently oriented.
void ExpectBalanced(const XTestSurface& inSurface, bool inManifold)
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

size_t GetTriangleCount(const XTestSurface& inSurface)
{
    return inSurface.itsTriangles.size() + 2 * inSurface.itsQuads.size();
}

XTestMask BoxUnion(const std::vector<std::array<int, 6>>& inBoxes, int inScale)
{
    int size[3] = {1, 1, 1};
    for (const auto& b : inBoxes)
        for (int i = 0; i < 3; ++i)
            size[i] = std::max(size[i], b[3 + i] * inScale);
    XTestMask mask(size[0], size[1], size[2]);
    for (const auto& b : inBoxes)
        mask.AddBox(b[0] * inScale, b[1] * inScale, b[2] * inScale, b[3] * inScale, b[4] * inScale, b[5] * inScale);
    return mask;
}

struct XBoxCase {
    const char* itsName;
    std::vector<std::array<int, 6>> itsBoxes; // lo x, y, z, hi x, y, z, in units scaled per run
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

// Boxes and unions of boxes: the flat interiors and straight crease runs go, so the
// simplified surface is the same whatever the scale; it stays closed and oriented and
// keeps its corners, bounds and enclosed volume.
TEST(XMeshSimplificationTool, BoxUnionsKeepShapeAndLoseEveryInnerVertex)
{
    for (const XBoxCase& c : kBoxCases) {
        SCOPED_TRACE(c.itsName);
        size_t reference = 0;
        for (int scale : {4, 5, 8}) {
            SCOPED_TRACE(scale);
            const XTestSurface before = MakeTestSurface(BoxUnion(c.itsBoxes, scale));
            const XTestSurface after = Simplified(before);
            ExpectBalanced(after, true);
            const double volume = GetSignedVolume(before);
            EXPECT_NEAR(GetSignedVolume(after), volume, 1e-6 * std::abs(volume));
            EXPECT_EQ(GetUsedBounds(after), GetUsedBounds(before));
            for (const XMathVectorU3& t : after.itsTriangles) {
                const XMathVectorF3 &p = after.itsPositions[t[0]], &q = after.itsPositions[t[1]],
                                    &r = after.itsPositions[t[2]];
                EXPECT_GT((q - p).Cross(r - p).GetLength(), 1e-3f) << "a triangle of no area";
            }
            const size_t used = CountUsedVertices(after);
            EXPECT_LT(GetTriangleCount(after), GetTriangleCount(before));
            if (reference == 0)
                reference = used;
            EXPECT_EQ(used, reference) << "vertices left at scale " << scale;
        }
        // At scale 3 every vertex is a corner: no face has an inner vertex and no edge a
        // straight run, so nothing may go, and the larger scales come down to the same.
        const XTestSurface smallest = MakeTestSurface(BoxUnion(c.itsBoxes, 3));
        const XTestSurface same = Simplified(smallest);
        if (std::string(c.itsName) == "cube") {
            EXPECT_EQ(same.itsQuads, smallest.itsQuads);
            EXPECT_EQ(reference, smallest.itsPositions.size());
        }
    }
}

namespace {

// A flat fan of quads around vertex 0 whose outer corners wind inTurns times round it.
XTestSurface MakeFan(int inQuads, int inTurns)
{
    XTestSurface fan;
    fan.itsPositions.push_back(XMathVectorF3(0, 0, 0));
    const int corners = 2 * inQuads;
    for (int k = 0; k < corners; ++k) {
        const double angle = 2.0 * M_PI * inTurns * k / corners, radius = 1.0 + 0.5 * k / corners;
        fan.itsPositions.push_back(XMathVectorF3(float(radius * std::cos(angle)), float(radius * std::sin(angle)), 0));
    }
    for (int i = 0; i < inQuads; ++i)
        fan.itsQuads.push_back(XMathVectorU4(0, 1 + 2 * i, 2 + 2 * i, 1 + (2 * i + 2) % corners));
    return fan;
}

// Directed edges without a reverse: the outline of an open surface.
std::multiset<std::pair<uint32_t, uint32_t>> GetOutline(const XTestSurface& inSurface)
{
    std::multiset<std::pair<uint32_t, uint32_t>> outline;
    const auto edges = GetDirectedEdges(inSurface);
    for (const auto& [edge, count] : edges)
        if (!edges.count({edge.second, edge.first}))
            for (int i = 0; i < count; ++i)
                outline.insert(edge);
    return outline;
}

double GetAreaZ(const XTestSurface& inSurface)
{
    double area = 0.0;
    ForEachTriangle(inSurface, [&](uint32_t a, uint32_t b, uint32_t c) {
        const XMathVectorF3 &p = inSurface.itsPositions[a], &q = inSurface.itsPositions[b],
                            &r = inSurface.itsPositions[c];
        area += 0.5 * ((double(q[0]) - p[0]) * (double(r[1]) - p[1]) - (double(q[1]) - p[1]) * (double(r[0]) - p[0]));
    });
    return area;
}

} // namespace

// A flat square of four quads round one centre loses the centre: six triangles over its
// eight outer vertices cover it with the same winding and the same outline.
TEST(XMeshSimplificationTool, FlatSquareLosesItsCentre)
{
    XTestSurface square;
    for (int y = -1; y <= 1; ++y)
        for (int x = -1; x <= 1; ++x)
            square.itsPositions.push_back(XMathVectorF3(float(x), float(y), 0));
    // Vertex 4 is the centre; the quads turn counter-clockwise seen from +z.
    square.itsQuads = {{4, 3, 0, 1}, {4, 1, 2, 5}, {4, 5, 8, 7}, {4, 7, 6, 3}};
    const XTestSurface after = Simplified(square);
    EXPECT_TRUE(after.itsQuads.empty());
    ASSERT_EQ(after.itsTriangles.size(), 6u);
    EXPECT_EQ(CountUsedVertices(after), 8u);
    for (const XMathVectorU3& t : after.itsTriangles) {
        EXPECT_FALSE(t[0] == 4 || t[1] == 4 || t[2] == 4);
        XTestSurface one;
        one.itsPositions = square.itsPositions;
        one.itsTriangles = {t};
        EXPECT_GT(GetAreaZ(one), 0.0);
    }
    EXPECT_DOUBLE_EQ(GetAreaZ(after), 4.0);
    EXPECT_EQ(GetOutline(after), GetOutline(square));
}

// What must come out exactly as it went in.
TEST(XMeshSimplificationTool, LeavesAloneWhatItCannotSimplify)
{
    XTestSurface bent = MakeFan(4, 1);
    bent.itsPositions[0].SetZ(1e-3f); // every face now slightly tilted against the others
    XTestSurface twoRing;
    twoRing.itsPositions = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    twoRing.itsTriangles = {{0, 1, 2}, {0, 2, 1}};
    const struct {
        const char* itsName;
        XTestSurface itsSurface;
    } cases[] = {
        {"slightly bent fan", bent},
        {"ring of two neighbours", twoRing},
        // Its outline crosses itself: the tessellator asks for a new vertex, which cannot
        // be indexed, so the flat centre keeps its polygons.
        {"fan wound twice", MakeFan(8, 2)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.itsName);
        XAssertRecorder recorder;
        const XTestSurface after = Simplified(c.itsSurface);
        EXPECT_EQ(after.itsQuads, c.itsSurface.itsQuads);
        EXPECT_EQ(after.itsTriangles, c.itsSurface.itsTriangles);
        EXPECT_EQ(recorder.GetCount(), 0u);
    }
    // Wound once, the same fan is simplified.
    const XTestSurface once = MakeFan(8, 1);
    const XTestSurface simplified = Simplified(once);
    EXPECT_TRUE(simplified.itsQuads.empty());
    EXPECT_EQ(simplified.itsTriangles.size(), 14u);
    EXPECT_NEAR(GetAreaZ(simplified), GetAreaZ(once), 1e-5);
}

// Balls are made of flat patches and creases too: they lose most of their polygons,
// stay closed and keep their volume within 1%.
TEST(XMeshSimplificationTool, BallsKeepTheirVolume)
{
    for (double radius : {7.0, 10.0, 14.0}) {
        SCOPED_TRACE(radius);
        const int size = int(2 * radius) + 2;
        XTestMask mask(size, size, size);
        mask.AddBall(size / 2.0, size / 2.0, size / 2.0, radius);
        const XTestSurface before = MakeTestSurface(mask);
        const XTestSurface after = Simplified(before);
        ExpectBalanced(after, true);
        const double volume = GetSignedVolume(before);
        EXPECT_NEAR(GetSignedVolume(after), volume, 0.01 * std::abs(volume));
        EXPECT_LT(GetTriangleCount(after), GetTriangleCount(before));
    }
}

// Where voxels meet only along an edge or at a corner the surface is not a manifold:
// vertices there are left alone, and every directed edge stays matched by its reverse.
TEST(XMeshSimplificationTool, NonManifoldSurfacesStayBalanced)
{
    XTestMask edge(10, 10, 6), corner(10, 10, 10), noise(12, 12, 12);
    edge.AddBox(0, 0, 0, 5, 5, 6);
    edge.AddBox(5, 5, 0, 10, 10, 6);
    corner.AddBox(0, 0, 0, 5, 5, 5);
    corner.AddBox(5, 5, 5, 10, 10, 10);
    // A box with flat faces to simplify, strewn with voxels that touch it and each other
    // along edges and at corners.
    std::mt19937 random(7);
    for (uint8_t& v : noise.itsVoxels)
        v = (random() % 100 < 12) ? 255 : 0;
    noise.AddBox(3, 3, 3, 9, 9, 9);
    const struct {
        const char* itsName;
        XTestMask itsMask;
    } cases[] = {{"boxes along an edge", edge}, {"boxes at a corner", corner}, {"noise", noise}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.itsName);
        const XTestSurface before = MakeTestSurface(c.itsMask);
        const XTestSurface after = Simplified(before);
        ExpectBalanced(after, false);
        EXPECT_LT(GetTriangleCount(after), GetTriangleCount(before));
    }
}


namespace {

// Whether inPart is inWhole with some elements left out, the rest in their order.
template <class T>
bool IsSubsequence(const XVector<T>& inPart, const XVector<T>& inWhole)
{
    size_t at = 0;
    for (const T& value : inPart) {
        while (at < inWhole.size() && !(inWhole[at] == value))
            ++at;
        if (at++ >= inWhole.size())
            return false;
    }
    return true;
}

} // namespace

// Surviving triangles and quads keep their order; the new triangles follow them.
TEST(XMeshSimplificationTool, SurvivorsKeepTheirOrderAndNewTrianglesComeLast)
{
    XTestSurface before = MakeTestSurface(BoxUnion(kBoxCases[3].itsBoxes, 5));
    XVector<XMathVectorU4> quads;
    for (size_t i = 0; i < before.itsQuads.size(); ++i) {
        const XMathVectorU4& q = before.itsQuads[i];
        if (i % 3 == 0) {
            before.itsTriangles.push_back({q[0], q[1], q[2]});
            before.itsTriangles.push_back({q[0], q[2], q[3]});
        } else {
            quads.push_back(q);
        }
    }
    before.itsQuads = quads;
    const XTestSurface after = Simplified(before);
    ExpectBalanced(after, true);
    EXPECT_NEAR(GetSignedVolume(after), GetSignedVolume(before), 1e-6 * std::abs(GetSignedVolume(before)));
    EXPECT_TRUE(IsSubsequence(after.itsQuads, before.itsQuads));
    size_t survivors = 0;
    while (survivors < after.itsTriangles.size() && before.itsTriangles.DoesContain(after.itsTriangles[survivors]))
        ++survivors;
    const XVector<XMathVectorU3> kept(after.itsTriangles.begin(), after.itsTriangles.begin() + survivors);
    EXPECT_TRUE(IsSubsequence(kept, before.itsTriangles));
    EXPECT_LT(survivors, after.itsTriangles.size());
    for (size_t i = survivors; i < after.itsTriangles.size(); ++i)
        EXPECT_FALSE(before.itsTriangles.DoesContain(after.itsTriangles[i])) << "triangle " << i;
}

// A failure or a cancellation leaves the caller's surface exactly as it was.
TEST(XMeshSimplificationTool, FailuresLeaveTheSurfaceAsItWas)
{
    const XTestSurface box = MakeTestSurface(BoxUnion(kBoxCases[0].itsBoxes, 6));
    XTestSurface damaged = box;
    damaged.itsQuads[5][2] = uint32_t(box.itsPositions.size());
    const struct {
        const char* itsName;
        const XTestSurface& itsSurface;
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
        XTestSurface surface = c.itsSurface;
        int32_t code = -1;
        RunOnHostThread([&] {
            try {
                c.itsBefore();
                XMeshSimplificationTool tool(surface.itsTriangles, surface.itsQuads, surface.itsPositions);
                tool.SimplifyMesh();
            } catch (const XException& e) {
                code = e.GetErrorCode();
            }
        });
        unsetenv("KESTRIN_GLU_LIBRARY");
        EXPECT_EQ(code, c.itsCode);
        EXPECT_EQ(surface.itsQuads, c.itsSurface.itsQuads);
        EXPECT_EQ(surface.itsTriangles, c.itsSurface.itsTriangles);
    }
    // With GLU back the same box simplifies.
    EXPECT_LT(GetTriangleCount(Simplified(box)), GetTriangleCount(box));
}

// Stopped at some moment while it works, the tool hands over all of the result or none.
TEST(XMeshSimplificationTool, CancellationDeliversAllOrNothing)
{
    const XTestSurface box = MakeTestSurface(BoxUnion(kBoxCases[4].itsBoxes, 12));
    const XTestSurface whole = Simplified(box);
    for (int delay : {0, 1, 2, 4, 8, 16}) {
        SCOPED_TRACE(delay);
        XTestSurface surface = box;
        XThread thread([&] {
            XMeshSimplificationTool tool(surface.itsTriangles, surface.itsQuads, surface.itsPositions);
            tool.SimplifyMesh();
        });
        thread.Start();
        std::this_thread::sleep_for(std::chrono::milliseconds(delay));
        thread.RequestStop();
        thread.Join();
        const bool untouched = surface.itsQuads == box.itsQuads && surface.itsTriangles == box.itsTriangles;
        const bool finished = surface.itsQuads == whole.itsQuads && surface.itsTriangles == whole.itsTriangles;
        EXPECT_TRUE(untouched || finished);
    }
}

// A plate one voxel thick has its two faces a voxel apart: each still loses its inner
// vertices and the plate stays closed with its volume.
TEST(XMeshSimplificationTool, OneVoxelPlatesSimplify)
{
    XTestMask flat(12, 9, 1), bent(12, 9, 6);
    flat.AddBox(0, 0, 0, 12, 9, 1);
    bent.AddBox(0, 0, 0, 12, 9, 1);
    bent.AddBox(0, 0, 0, 1, 9, 6);
    for (const XTestMask* mask : {&flat, &bent}) {
        const XTestSurface before = MakeTestSurface(*mask);
        const XTestSurface after = Simplified(before);
        ExpectBalanced(after, true);
        EXPECT_NEAR(GetSignedVolume(after), GetSignedVolume(before), 1e-6 * std::abs(GetSignedVolume(before)));
        EXPECT_EQ(GetUsedBounds(after), GetUsedBounds(before));
        EXPECT_LT(GetTriangleCount(after), GetTriangleCount(before) / 2);
    }
}

// A 64-sided prism: each rim vertex lies on a straight enough crease between its cap
// and the side (the side bends by less than a crease between its quads), so each rim
// is a closed crease run, which has no ends to keep and stays whole. The caps' centres
// are flat and go.
TEST(XMeshSimplificationTool, ClosedCreaseRunsStay)
{
    constexpr uint32_t kSides = 64;
    XTestSurface prism;
    for (float z : {0.0f, 1.0f}) {
        for (uint32_t i = 0; i < kSides; ++i) {
            const double angle = 2.0 * M_PI * i / kSides;
            prism.itsPositions.push_back(XMathVectorF3(float(10 * std::cos(angle)), float(10 * std::sin(angle)), z));
        }
    }
    const uint32_t bottom = uint32_t(prism.itsPositions.size()), top = bottom + 1;
    prism.itsPositions.push_back(XMathVectorF3(0, 0, 0));
    prism.itsPositions.push_back(XMathVectorF3(0, 0, 1));
    for (uint32_t i = 0; i < kSides; ++i) {
        const uint32_t j = (i + 1) % kSides;
        prism.itsTriangles.push_back({bottom, j, i});
        prism.itsTriangles.push_back({top, kSides + i, kSides + j});
        prism.itsQuads.push_back({i, j, kSides + j, kSides + i});
    }
    const XTestSurface after = Simplified(prism);
    ExpectBalanced(after, true);
    EXPECT_EQ(after.itsQuads, prism.itsQuads);
    EXPECT_EQ(CountUsedVertices(after), 2 * kSides);
    EXPECT_NEAR(GetSignedVolume(after), GetSignedVolume(prism), 1e-6 * std::abs(GetSignedVolume(prism)));
}

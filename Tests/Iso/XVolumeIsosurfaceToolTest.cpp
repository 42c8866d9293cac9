// The isosurface extraction: exact on hand-made inputs, closed and oriented on
// shapes, identical to the literal method on random volumes, and clean on bad input.
#include "IsoReference.h"
#include "XAssertRecorder.h"
#include "XException.h"
#include "XStopThreadException.h"
#include "XThread.h"
#include "XVolumeIsoTool.h"
#include "XVolumeIsosurfaceTool.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>

using namespace IsoReference;

namespace {
XSurface Surface(XVolumeIsosurfaceTool& inTool)
{
    XSurface s;
    inTool.MakeIsoSurface(s.positions, s.normals, s.quads);
    return s;
}

XSurface Surface(const XMaskVolume& inVolume, unsigned char inIso = 128)
{
    XVolumeIsosurfaceTool tool(inVolume, inIso);
    return Surface(tool);
}

bool SameBits(const XSurface& a, const XSurface& b)
{
    auto same = [](const auto& x, const auto& y) {
        return x.size() == y.size() && (x.empty() || std::memcmp(x.data(), y.data(), x.size() * sizeof(x[0])) == 0);
    };
    return same(a.positions, b.positions) && same(a.normals, b.normals) && same(a.quads, b.quads);
}

bool InBall(int x, int y, int z, double cx, double cy, double cz, double r)
{
    return (x - cx) * (x - cx) + (y - cy) * (y - cy) + (z - cz) * (z - cz) <= r * r;
}

// Lists already holding one vertex and one quad, to see that a run appends or restores.
XSurface Filled() { return {{XMathVectorF3(1, 2, 3)}, {XMathVectorF3(0, 1, 0)}, {XMathVectorU4(0, 0, 0, 0)}, {}}; }
} // namespace

TEST(XVolumeIsosurfaceTool, OneVoxelGivesSixQuadsAroundEightSharedVertices)
{
    XMaskVolume voxel(1, 1, 1);
    voxel.SetVoxel(0, 0, 0, 255);
    const XSurface s = Surface(voxel);
    ASSERT_EQ(s.quads.size(), 6u);
    ASSERT_EQ(s.positions.size(), 8u);
    ASSERT_EQ(s.normals.size(), 8u);
    for (size_t v = 0; v < 8; ++v)
        for (size_t i = 0; i < 3; ++i) {
            EXPECT_NEAR(std::fabs(s.positions[v][i]), 127.0f / 765.0f, 1e-6) << "vertex " << v << " axis " << i;
            EXPECT_GT(s.normals[v][i] * s.positions[v][i], 0.0f) << "outwards: vertex " << v << " axis " << i;
        }
}

TEST(XVolumeIsosurfaceTool, ShapesAreClosedWithTheirEulerCharacteristic)
{
    struct Case {
        const char* name;
        X3DRect box;
        std::function<bool(int, int, int)> inside;
        int64_t euler;
    };
    std::vector<Case> cases;
    for (int r = 1; r <= 10; ++r)
        cases.push_back({"ball", X3DRect(-r - 1, -r - 1, -r - 1, r + 2, r + 2, r + 2),
                         [r](int x, int y, int z) { return InBall(x, y, z, 0, 0, 0, r + 0.3); }, 2});
    cases.push_back({"thick torus", X3DRect(-12, -12, -5, 13, 13, 6),
                     [](int x, int y, int z) {
                         const double ring = std::hypot(double(x), double(y)) - 8.0;
                         return ring * ring + double(z) * z <= 3.5 * 3.5;
                     },
                     0});
    cases.push_back({"two balls", X3DRect(0, 0, 0, 30, 12, 12),
                     [](int x, int y, int z) { return InBall(x, y, z, 6, 6, 6, 4.5) || InBall(x, y, z, 22, 6, 6, 4.5); },
                     4});
    cases.push_back({"ball cut by the volume's edges", X3DRect(0, 0, 0, 8, 8, 8),
                     [](int x, int y, int z) { return InBall(x, y, z, 4, 4, 4, 6); }, 2});
    cases.push_back({"one-voxel plate", X3DRect(0, 0, 0, 9, 7, 3), [](int, int, int z) { return z == 1; }, 2});
    cases.push_back({"depth-1 volume", X3DRect(5, -3, 7, 14, 4, 8),
                     [](int x, int y, int) { return (x - 9) * (x - 9) + y * y <= 9; }, 2});
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " in a box " + std::to_string(c.box.GetWidth()) + " wide");
        const XSurface s = Surface(MakeMask(c.box, c.inside));
        ASSERT_FALSE(s.quads.empty());
        // Closed and oriented: every edge once each way between two faces.
        const auto edges = GetDirectedEdges(s);
        bool paired = true;
        for (const auto& [edge, count] : edges)
            paired = paired && count == 1 && edges.count({edge.second, edge.first}) == 1;
        EXPECT_TRUE(paired);
        EXPECT_EQ(CountUsedVertices(s), s.positions.size()) << "every vertex is used";
        EXPECT_EQ(int64_t(s.positions.size()) - int64_t(edges.size() / 2) + int64_t(s.quads.size()), c.euler);
        EXPECT_GT(GetEnclosedVolume(s), 0.0);
    }
}

TEST(XVolumeIsosurfaceTool, IsTheLiteralMethodBitForBitOnRandomVolumes)
{
    std::mt19937 random(20261207);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); };
    // One tool for most volumes: its storage is reused, and must not remember the last.
    XMaskVolume first(1, 1, 1);
    XVolumeIsosurfaceTool reused(first, 0);
    for (int n = 0; n < 300; ++n) {
        // Some rows longer than the sixteen voxels the walk takes at once.
        const int width = n % 5 == 4 ? pick(12, 40) : pick(1, 9);
        const X3DRect box = X3DRect(0, 0, 0, width, pick(1, 9), pick(1, 9)).Offsetted(pick(-50, 50), pick(-50, 50), pick(-50, 50));
        XMaskVolume volume(box);
        // Half of them with few values, so that equal neighbours and the iso value itself occur.
        const bool coarse = n % 2 == 0;
        for (int z = 0; z < box.GetDepth(); ++z)
            for (int y = 0; y < box.GetHeight(); ++y)
                for (int x = 0; x < box.GetWidth(); ++x)
                    volume.SetVoxel(x, y, z, uint8_t(coarse ? pick(0, 4) * 60 : pick(0, 255)));
        const unsigned char iso = uint8_t(coarse ? pick(0, 4) * 60 : pick(0, 255));
        // A third each: other output bounds, the input's own box, and a new tool's defaults.
        std::optional<X3DRect> bounds;
        if (n % 3 == 0)
            bounds = X3DRect(0, 0, 0, pick(1, 40), pick(1, 40), pick(1, 40)).Offsetted(pick(-9, 9), pick(-9, 9), pick(-9, 9));
        else if (n % 3 == 2)
            bounds = box;
        SCOPED_TRACE("volume " + std::to_string(n));
        const XSurface expected = Extract(volume, iso, bounds);

        XVolumeIsosurfaceTool fresh(volume, iso);
        XVolumeIsosurfaceTool& tool = bounds ? reused : fresh;
        if (bounds) {
            reused.SetInput(volume, iso);
            reused.SetOutputBounds(*bounds);
        }
        // Appended after what the lists held, the quads offset by it.
        XSurface actual = Filled();
        tool.MakeIsoSurface(actual.positions, actual.normals, actual.quads);
        ASSERT_EQ(actual.positions.size(), expected.positions.size() + 1);
        actual.positions.erase(actual.positions.begin());
        actual.normals.erase(actual.normals.begin());
        actual.quads.erase(actual.quads.begin());
        for (XMathVectorU4& q : actual.quads)
            q -= XMathVectorU4(1, 1, 1, 1);
        ASSERT_TRUE(SameBits(actual, expected));

        if (n % 10 == 0) {
            XSurface legacy;
            XThread worker([&] {
                XVolumeIsoTool<unsigned char> tool(volume, iso);
                if (bounds)
                    tool.SetOutputBounds(*bounds);
                XRefPtr<XVolumeIsoTool<unsigned char>::XIsoData> data = tool.MakeIsoSurface();
                legacy = {data->itsPositions, data->itsNormals, data->itsQuads, {}};
            });
            worker.Start();
            worker.Join();
            ASSERT_TRUE(SameBits(legacy, expected)) << "the legacy tool";
        }
    }
}

TEST(XVolumeIsosurfaceTool, EmptyZeroSizedAndOutOfRangeInput)
{
    constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
    constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
    struct Case {
        const char* name;
        X3DRect box;
        uint8_t value;
        int quads; // -1: refused
    };
    const Case cases[] = {
        {"empty mask", X3DRect(0, 0, 0, 6, 5, 4), 0, 0},
        {"everything at the iso value", X3DRect(0, 0, 0, 6, 5, 4), 128, 0},
        {"zero width", X3DRect(4, 0, 0, 4, 5, 4), 255, 0},
        {"zero depth", X3DRect(0, 0, 2, 6, 5, 2), 255, 0},
        {"border past the top", X3DRect(kMax - 3, 0, 0, kMax, 2, 2), 255, -1},
        {"border past the bottom", X3DRect(0, kMin + 1, 0, 2, kMin + 3, 2), 255, -1},
        {"border past the back", X3DRect(0, 0, kMax - 2, 2, 2, kMax - 1), 255, -1},
        {"just inside the limits", X3DRect(kMax - 4, kMin + 2, 0, kMax - 2, kMin + 4, 2), 255, 24},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        XMaskVolume volume(c.box);
        volume.Fill(c.value);
        if (c.quads < 0) {
            EXPECT_THROW(XVolumeIsosurfaceTool(volume, 128), XException);
            continue;
        }
        XVolumeIsosurfaceTool tool(volume, 128);
        tool.SetOutputBounds(X3DRect(0, 0, 0, 10, 10, 10));
        const XSurface s = Surface(tool);
        EXPECT_EQ(s.quads.size(), size_t(c.quads));
        EXPECT_EQ(s.positions.empty(), c.quads == 0);
    }
}

TEST(XVolumeIsosurfaceTool, ResampledBoxesAreCheckedBeforeAllocating)
{
    constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    struct Case {
        const char* name;
        X3DRect bounds;
        float factor[3];
    };
    const Case refused[] = {
        {"NaN", X3DRect(0, 0, 0, 10, 10, 10), {1, nan, 1}},
        {"zero", X3DRect(0, 0, 0, 10, 10, 10), {0, 1, 1}},
        {"negative", X3DRect(0, 0, 0, 10, 10, 10), {1, 1, -2}},
        {"infinite", X3DRect(0, 0, 0, 10, 10, 10), {inf, 1, 1}},
        {"giant", X3DRect(0, 0, 0, 10, 10, 10), {1e9f, 1e9f, 1}},
        {"too many voxels", X3DRect(0, 0, 0, 1000, 1000, 1000), {4, 4, 4}},
        {"past 32-bit coordinates", X3DRect(kMax - 100, 0, 0, kMax - 50, 10, 10), {2, 1, 1}},
    };
    for (const Case& c : refused) {
        SCOPED_TRACE(c.name);
        EXPECT_THROW(XVolumeIsosurfaceTool::MakeResampledBox(c.bounds, c.factor), XException);
    }
    const float half[3] = {0.5f, 0.25f, 0.01f};
    EXPECT_EQ(XVolumeIsosurfaceTool::MakeResampledBox(X3DRect(3, 4, 5, 13, 14, 15), half), X3DRect(3, 4, 5, 8, 6, 6))
        << "floored, at least one voxel, at the origin";
}

TEST(XVolumeIsosurfaceTool, FailureAndCancellationLeaveTheListsAsTheyWere)
{
    const XMaskVolume ball = MakeMask(X3DRect(0, 0, 0, 9, 9, 9), [](int x, int y, int z) { return InBall(x, y, z, 4, 4, 4, 3); });
    XVolumeIsosurfaceTool limited(ball, 128);
    limited.SetMaxVertexCount(20);
    XSurface s = Filled();
    EXPECT_THROW(limited.MakeIsoSurface(s.positions, s.normals, s.quads), XException);
    EXPECT_TRUE(SameBits(s, Filled()));
    limited.SetMaxVertexCount(0xFFFFFFFFu);
    EXPECT_TRUE(SameBits(Surface(limited), Extract(ball, 128, std::nullopt))) << "the tool works on after a failure";

    XSurface cancelled = Filled();
    int stopped = 0;
    XThread worker([&] {
        XThread::GetCurrentThread()->RequestStop();
        try {
            XVolumeIsosurfaceTool(ball, 128).MakeIsoSurface(cancelled.positions, cancelled.normals, cancelled.quads);
        } catch (const XStopThreadException&) {
            ++stopped;
        }
        try {
            XVolumeIsoTool<unsigned char>(ball, 128).MakeIsoSurface();
        } catch (const XStopThreadException&) {
            ++stopped;
        }
    });
    worker.Start();
    worker.Join();
    EXPECT_EQ(stopped, 2) << "both tools test for cancellation";
    EXPECT_TRUE(SameBits(cancelled, Filled()));

    XAssertRecorder reports;
    XVolumeIsoTool<unsigned char>(ball, 128).MakeIsoSurface();
    EXPECT_TRUE(reports.Has("currentThread")) << "the legacy tool runs on host threads only";
}

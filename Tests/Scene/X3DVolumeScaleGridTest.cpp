// The volume scale's grid: calibration, face lines, and which faces and lines show.
#include "X3DVolumeScaleGrid.h"
#include "XException.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {
using XLine = X3DVolumeScaleGrid::XLineElement;

TEST(X3DVolumeScaleGrid, CalibratesWholeIntervalsOnEveryAxis)
{
    struct XCase {
        const char* name;
        X3DRect bounds;
        double sx, sy, sz;
        uint32_t intervals;
        float spacing;
        XMathVectorU3 counts;
        XMathRectF3 box;
    };
    const XCase cases[] = {
        {"padded and rounded up", X3DRect(0, 0, 0, 100, 50, 20), 1, 1, 1, 10, 10.2f, {10, 6, 3},
            XMathRectF3({-1, -6, -5}, {102, 61, 30})},
        // Equal voxel counts: x is the reference whatever the voxel sizes.
        {"tie goes to x", X3DRect(0, 0, 0, 10, 10, 10), 1, 2, 3, 10, 1.2f, {10, 20, 30},
            XMathRectF3({-1, -1, -1}, {12, 12, 12})},
        {"tie of y and z goes to y", X3DRect(0, 0, 0, 10, 20, 20), 1, 1, 2, 11, 2.0f, {6, 11, 22},
            XMathRectF3({-1, -1, -1}, {12, 22, 22})},
        // 0.6 / 0.1 is 6.000000000000001 in doubles: still six intervals, not seven.
        {"nearly whole counts", X3DRect(0, 0, 0, 8, 4, 1), 0.1, 0.1, 0.1, 10, 0.1f, {10, 6, 3},
            XMathRectF3({-1, -1, -1}, {10, 6, 3})},
        {"offset bounds", X3DRect(10, 20, 30, 110, 70, 50), 1, 1, 1, 10, 10.2f, {10, 6, 3},
            XMathRectF3({9, 14, 25}, {102, 61, 30})},
        {"one interval", X3DRect(0, 0, 0, 4, 4, 4), 0.5, 0.5, 0.5, 1, 3.0f, {1, 1, 1},
            XMathRectF3({-1, -1, -1}, {6, 6, 6})},
    };
    for (const XCase& c : cases) {
        SCOPED_TRACE(c.name);
        X3DVolumeScaleGrid grid;
        const float spacing = grid.Calibrate(c.intervals, c.sx, c.sy, c.sz, c.bounds);
        EXPECT_NEAR(spacing, c.spacing, 1e-5f);
        EXPECT_EQ(grid.GetTickCounts(), c.counts);
        EXPECT_EQ(grid.GetBox(), c.box);
    }
}

TEST(X3DVolumeScaleGrid, RefusesWhatCannotMakeAGridAndKeepsTheOldOne)
{
    const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
    struct XCase {
        const char* name;
        uint32_t intervals;
        double sx, sy, sz;
        X3DRect bounds;
    };
    const X3DRect volume(0, 0, 0, 100, 50, 20);
    const XCase cases[] = {
        {"no intervals", 0, 1, 1, 1, volume},
        {"too many intervals", X3DVolumeScaleGrid::kMaxIntervals + 1, 1, 1, 1, volume},
        {"zero voxel size", 10, 1, 0, 1, volume},
        {"negative voxel size", 10, -1, 1, 1, volume},
        {"NaN voxel size", 10, 1, 1, nan, volume},
        {"infinite voxel size", 10, inf, 1, 1, volume},
        {"empty bounds", 10, 1, 1, 1, X3DRect(0, 0, 0, 100, 0, 20)},
        // A thin axis of huge voxels would need millions of lines.
        {"huge count on a short axis", 10, 1, 1, 1e6, volume},
    };
    for (const XCase& c : cases) {
        SCOPED_TRACE(c.name);
        X3DVolumeScaleGrid grid;
        grid.Calibrate(10, 1, 1, 1, volume);
        const size_t lines = grid.GetLineCount();
        EXPECT_THROW(
            try { grid.Calibrate(c.intervals, c.sx, c.sy, c.sz, c.bounds); } catch (const XException& e) {
                EXPECT_EQ(e.GetErrorCode(), XException::kBadArgument);
                throw;
            },
            XException);
        EXPECT_EQ(grid.GetTickCounts(), XMathVectorU3(10, 6, 3));
        EXPECT_EQ(grid.GetLineCount(), lines);
    }
}

TEST(X3DVolumeScaleGrid, FaceLinesLieOnTheirFacesInCanonicalOrder)
{
    X3DVolumeScaleGrid grid;
    grid.Calibrate(10, 1, 1, 1, X3DRect(0, 0, 0, 100, 50, 20));
    const XMathVectorF3 min = grid.GetBox().GetMin(), max = grid.GetBox().GetMax();
    // Each face: the axis it is normal to, where, and its sections along the other two (count + 1 each).
    struct XFace {
        int axis;
        float at;
        size_t lines;
    };
    const XFace faces[6] = {{1, max[1], 11 + 4}, {1, min[1], 11 + 4}, {0, max[0], 7 + 4},
                            {0, min[0], 7 + 4}, {2, max[2], 11 + 7}, {2, min[2], 11 + 7}};
    for (int32_t f = 0; f < 6; ++f) {
        EXPECT_EQ(grid.GetFaceLines(f).size(), faces[f].lines) << f;
        for (const XLine& line : grid.GetFaceLines(f)) {
            ASSERT_TRUE(line.first[size_t(faces[f].axis)] == faces[f].at && line.second[size_t(faces[f].axis)] == faces[f].at);
            ASSERT_EQ(XLine(line.second, line.first), line) << "the same segment either way round";
        }
    }
}

TEST(X3DVolumeScaleGrid, BoxEdgesAreInTheListsOfBothTheirFaces)
{
    // Uneven spacings, where a sum of steps need not land on the far side exactly.
    for (int w = 17; w < 60; w += 7)
        for (double size : {0.3, 0.7, 1.3})
            for (uint32_t intervals : {7u, 9u, 13u}) {
                X3DVolumeScaleGrid grid;
                grid.Calibrate(intervals, size, size * 1.1, size * 2.3, X3DRect(0, 0, 0, w, w / 2 + 1, w / 3 + 1));
                const XMathVectorF3 min = grid.GetBox().GetMin(), max = grid.GetBox().GetMax();
                for (int a = 0; a < 3; ++a) // edges along axis a
                    for (bool bMax : {false, true})
                        for (bool cMax : {false, true}) {
                            const int b = (a + 1) % 3, c = (a + 2) % 3;
                            XMathVectorF3 p = min, q = max;
                            p[size_t(b)] = q[size_t(b)] = bMax ? max[size_t(b)] : min[size_t(b)];
                            p[size_t(c)] = q[size_t(c)] = cMax ? max[size_t(c)] : min[size_t(c)];
                            const int32_t faceB = b == 0 ? (bMax ? 2 : 3) : b == 1 ? (bMax ? 0 : 1) : (bMax ? 4 : 5);
                            const int32_t faceC = c == 0 ? (cMax ? 2 : 3) : c == 1 ? (cMax ? 0 : 1) : (cMax ? 4 : 5);
                            EXPECT_TRUE(grid.GetFaceLines(faceB).DoesContain(XLine(p, q)) &&
                                        grid.GetFaceLines(faceC).DoesContain(XLine(p, q)))
                                << "w " << w << " size " << size << " intervals " << intervals << " axis " << a;
                        }
            }
}

TEST(X3DVolumeScaleGrid, FacesFadeWithTheAngleTheyAreSeenAt)
{
    struct XCase {
        float visibility, alpha;
    };
    const XCase cases[] = {{0.0f, 0.0f}, {0.5f, 0.0f}, {0.51f, 0.0f}, {0.63f, 0.5f}, {0.75f, 1.0f}, {0.9f, 1.0f}, {1.0f, 1.0f}};
    for (const XCase& c : cases)
        EXPECT_NEAR(X3DVolumeScaleGrid::GetFaceAlpha(c.visibility), c.alpha, 1e-6f) << c.visibility;

    // Looking down -z: the +z face faces the viewer, the side faces are edge-on.
    const XMathVectorF3 view(0, 0, -1);
    const float expected[6] = {0.5f, 0.5f, 0.5f, 0.5f, 1.0f, 0.0f};
    for (int32_t f = 0; f < 6; ++f)
        EXPECT_FLOAT_EQ(
            X3DVolumeScaleGrid::GetFaceVisibilityState(f, X3DVolumeScaleGrid::kFaceNormals[size_t(f)], view).visibility,
            expected[f]);
}

TEST(X3DVolumeScaleGrid, EveryShownLineIsDrawnOnce)
{
    X3DVolumeScaleGrid grid;
    grid.Calibrate(10, 1, 1, 1, X3DRect(0, 0, 0, 100, 50, 20));
    const XMathVectorF3 min = grid.GetBox().GetMin(), max = grid.GetBox().GetMax();
    struct XCase {
        const char* name;
        XMathVectorF3 view;
        std::vector<int32_t> drawn; // least visible first
    };
    const XCase cases[] = {
        {"straight at +z", {0, 0, -1}, {4}},
        {"+x and +y at 45 degrees", XMathVectorF3(-1, -1, 0).GetNormalised(), {0, 2}},
        {"three faces", XMathVectorF3(-1, -2, -3).GetNormalised(), {2, 0, 4}},
    };
    for (const XCase& c : cases) {
        SCOPED_TRACE(c.name);
        const auto drawings = grid.GetFaceDrawings(c.view);
        std::vector<int32_t> faces;
        XVector<XLine> all, drawn;
        for (const auto& d : drawings) {
            faces.push_back(d.state.face);
            drawn.insert(drawn.end(), d.lines.begin(), d.lines.end());
            all.insert(all.end(), grid.GetFaceLines(d.state.face).begin(), grid.GetFaceLines(d.state.face).end());
        }
        EXPECT_EQ(faces, c.drawn);
        std::sort(all.begin(), all.end());
        all.erase(std::unique(all.begin(), all.end()), all.end());
        std::sort(drawn.begin(), drawn.end());
        EXPECT_EQ(std::adjacent_find(drawn.begin(), drawn.end()), drawn.end()) << "a line drawn twice";
        EXPECT_EQ(drawn, all) << "every line of a shown face is drawn";
    }
    // The edge between the shown +z face and the hidden +y face still shows, with +z.
    const XLine edge(XMathVectorF3(min[0], max[1], max[2]), XMathVectorF3(max[0], max[1], max[2]));
    const auto drawings = grid.GetFaceDrawings({0, 0, -1});
    ASSERT_EQ(drawings.size(), 1u);
    EXPECT_TRUE(drawings[0].lines.DoesContain(edge));
}
} // namespace

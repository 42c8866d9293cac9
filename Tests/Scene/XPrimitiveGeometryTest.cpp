// The solids of the primitive nodes and the geometry generator, checked as numbers:
// closed, outward-facing, of the right size and colour.
#include "X3DConeSceneNode.h"
#include "X3DCubeSceneNode.h"
#include "X3DGeometryGenerator.h"
#include "X3DSphereNode.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <numbers>
#include <tuple>

namespace {
using XVertex = XVertexTypes::XVertexPositionColourNormal;
using XVertices = XVector<XVertex>;

struct XTriangle {
    XVertex v[3];
    XMathVectorF3 FaceNormal() const { return (v[1].position - v[0].position).Cross(v[2].position - v[0].position); }
};

std::vector<XTriangle> FromList(const XVertices& inVertices)
{
    std::vector<XTriangle> triangles;
    for (size_t i = 0; i + 2 < inVertices.size(); i += 3)
        triangles.push_back({{inVertices[i], inVertices[i + 1], inVertices[i + 2]}});
    return triangles;
}

std::vector<XTriangle> FromIndices(const XVertices& inVertices, const XVector<uint32_t>& inIndices)
{
    std::vector<XTriangle> triangles;
    for (size_t i = 0; i + 2 < inIndices.size(); i += 3)
        triangles.push_back({{inVertices.at(inIndices[i]), inVertices.at(inIndices[i + 1]), inVertices.at(inIndices[i + 2])}});
    return triangles;
}

// Closed: every edge is walked once each way. Outward: each vertex normal is a unit
// vector on the side the winding faces, and the enclosed volume is positive. Zero-area
// triangles (a sphere's poles) count for neither.
double CheckSolid(const std::vector<XTriangle>& inTriangles, const XARGB32Colour& inColour)
{
    using Key = std::tuple<long, long, long>;
    const auto key = [](const XMathVectorF3& p) {
        return Key(std::lround(p[0] * 1e4f), std::lround(p[1] * 1e4f), std::lround(p[2] * 1e4f));
    };
    std::map<std::pair<Key, Key>, int> edges;
    double volume = 0.0;
    int wrong = 0;
    for (const XTriangle& t : inTriangles) {
        const XMathVectorF3 face = t.FaceNormal();
        volume += t.v[0].position.Dot(t.v[1].position.Cross(t.v[2].position)) / 6.0;
        for (const XVertex& v : t.v) {
            wrong += !(std::abs(v.normal.GetLength() - 1.0f) < 1e-4f);
            wrong += !(v.colour.GetARGB() == inColour);
        }
        if (face.GetLength() < 1e-7f)
            continue;
        for (const XVertex& v : t.v)
            wrong += !(v.normal.Dot(face) > 0.0f);
        for (int e = 0; e < 3; ++e)
            ++edges[{key(t.v[e].position), key(t.v[(e + 1) % 3].position)}];
    }
    EXPECT_EQ(wrong, 0) << "normals or colours";
    int open = 0;
    for (const auto& [edge, count] : edges) {
        const auto back = edges.find({edge.second, edge.first});
        open += back == edges.end() || back->second != count;
    }
    EXPECT_EQ(open, 0) << "edges without a twin running the other way";
    EXPECT_GT(volume, 0.0);
    return volume;
}

TEST(PrimitiveGeometry, TheCubeIsAUnitSolidWithItsFacesColouredInOrder)
{
    const XARGB32Colour faces[6] = {XARGB32Colour::kWhite, XARGB32Colour::kRed, XARGB32Colour::kBlue,
                                    XARGB32Colour::kGreen, XARGB32Colour(255, 255, 255, 0), XARGB32Colour::kWhite};
    XVertices vertices(X3DCubeSceneNode::GetVertices().begin(), X3DCubeSceneNode::GetVertices().end());
    for (size_t i = 0; i < 36; ++i) {
        EXPECT_EQ(vertices[i].colour.GetARGB(), faces[i / 6]) << i;
        EXPECT_FLOAT_EQ(vertices[i].position.Dot(vertices[i].normal), 0.5f) << "on the side its normal points to";
        vertices[i].colour = XARGB32Colour::kWhite; // one colour for the solid's check
    }
    EXPECT_NEAR(CheckSolid(FromList(vertices), XARGB32Colour::kWhite), 1.0, 1e-6);
}

TEST(PrimitiveGeometry, ConesHaveTwoSidesAndTwoCapTrianglesPerHalfSector)
{
    struct Case {
        uint32_t n, sectors;
    };
    for (const Case c : {Case{3, 6}, Case{4, 8}, Case{6, 12}, Case{12, 24}, Case{16, 32}, Case{32, 64}, Case{0, 4}, Case{1, 4}}) {
        SCOPED_TRACE(c.n);
        X3DConeSceneNode cone(c.n);
        EXPECT_EQ(cone.GetSectorCount(), c.sectors);
        const auto triangles = FromList(cone.GetVertices());
        ASSERT_EQ(triangles.size(), 2u * c.sectors);
        // A pyramid over the inscribed polygon: no sector doubled, none missing.
        const double expected = 0.5 * c.sectors * 0.25 * std::sin(2.0 * std::numbers::pi / c.sectors) / 3.0;
        EXPECT_NEAR(CheckSolid(triangles, XARGB32Colour::kWhite), expected, 1e-5);
        for (size_t i = 0; i < triangles.size(); ++i) {
            const XTriangle& t = triangles[i];
            if (i < c.sectors)
                EXPECT_EQ(t.v[0].position, XMathVectorF3(0, 0, 0.5f));
            else
                EXPECT_EQ(t.v[0].normal, XMathVectorF3(0, 0, -1));
            for (int k = 1; k < 3; ++k) {
                EXPECT_FLOAT_EQ(t.v[k].position[2], -0.5f);
                EXPECT_NEAR(std::hypot(t.v[k].position[0], t.v[k].position[1]), 0.5, 1e-6);
            }
        }
    }
}

TEST(PrimitiveGeometry, SpheresAreGridsBetweenTwoPolesOfRadiusOneHalf)
{
    struct Case {
        uint32_t slices, stacks, expectedSlices, expectedStacks;
    };
    for (const Case c : {Case{8, 5, 8, 5}, Case{16, 9, 16, 9}, Case{3, 3, 3, 3}, Case{6, 1, 6, 2}, Case{6, 0, 6, 2}, Case{0, 4, 3, 4}}) {
        SCOPED_TRACE(testing::Message() << c.slices << " x " << c.stacks);
        X3DSphereNode sphere(c.slices, c.stacks);
        const uint32_t n = c.expectedSlices, m = c.expectedStacks;
        const auto& vertices = sphere.GetVertices();
        ASSERT_EQ(vertices.size(), size_t(n) * m);
        EXPECT_EQ(sphere.GetIndices().size(), size_t(6) * n * (m - 1));
        for (uint32_t j = 0; j < n; ++j) {
            EXPECT_TRUE(vertices[j].position.IsNearlyEqual({0, 0.5f, 0}, 1e-6f));
            EXPECT_TRUE(vertices[size_t(m - 1) * n + j].position.IsNearlyEqual({0, -0.5f, 0}, 1e-6f));
        }
        for (const XVertex& v : vertices)
            EXPECT_NEAR(v.position.GetLength(), 0.5f, 1e-6f);
        if (m > 2)
            CheckSolid(FromIndices(vertices, sphere.GetIndices()), XARGB32Colour::kWhite);
    }
}

TEST(PrimitiveGeometry, GeneratedSolidsAreClosedAndSizedAlongAnyAxis)
{
    const XMathVectorF3 centre(1, 2, 3);
    const float radius = 0.25f, height = 2.0f;
    const XARGB32Colour colour(255, 10, 200, 30);
    for (const XMathVectorF3 axis : {XMathVectorF3(1, 0, 0), XMathVectorF3(0, 1, 0), XMathVectorF3(0, 0, 1),
             XMathVectorF3(1, 1, 1), XMathVectorF3(0, 0, -3)}) {
        SCOPED_TRACE(testing::Message() << axis[0] << "," << axis[1] << "," << axis[2]);
        const XMathVectorF3 w = axis.GetNormalised();
        for (bool cone : {true, false}) {
            SCOPED_TRACE(cone ? "cone" : "cylinder");
            XVertices vertices;
            if (cone)
                X3DGeometryGenerator::GenerateCone(vertices, radius, height, centre, axis, colour);
            else
                X3DGeometryGenerator::GenerateCylinder(vertices, radius, height, centre, axis, colour);
            const double volume = CheckSolid(FromList(vertices), colour);
            const double prism = 0.5 * 40 * radius * radius * std::sin(2.0 * std::numbers::pi / 40) * height;
            EXPECT_NEAR(volume, cone ? prism / 3 : prism, 1e-4);
            float lowest = 1e9f, highest = -1e9f, widest = 0.0f;
            for (const XVertex& v : vertices) {
                const XMathVectorF3 d = v.position - centre;
                const float along = d.Dot(w);
                lowest = std::min(lowest, along);
                highest = std::max(highest, along);
                widest = std::max(widest, (d - w * along).GetLength());
                if (cone && along > 0.0f) {
                    EXPECT_NEAR(along, 1.0f, 1e-5f); // the apex is the one point above the base
                }
            }
            EXPECT_NEAR(lowest, -1.0f, 1e-5f);
            EXPECT_NEAR(highest, 1.0f, 1e-5f);
            EXPECT_NEAR(widest, radius, 1e-5f);
        }
    }
}

TEST(PrimitiveGeometry, GeneratedBoxesFillTheirRectangleAndIndexFromTheListsEnd)
{
    XVertices vertices(5); // indices count from what is already there
    XVector<uint32_t> indices;
    const XMathRectF3 box(XMathVectorF3(-1, 2, 0.5f), XMathVectorF3(2, 3, 4));
    X3DGeometryGenerator::GenerateBox(vertices, indices, box, XARGB32Colour::kBlue);
    ASSERT_EQ(vertices.size(), 5u + 24u);
    ASSERT_EQ(indices.size(), 36u);
    EXPECT_EQ(*std::min_element(indices.begin(), indices.end()), 5u);
    EXPECT_NEAR(CheckSolid(FromIndices(vertices, indices), XARGB32Colour::kBlue), 24.0, 1e-4);
    for (size_t i = 5; i < vertices.size(); ++i)
        for (int a = 0; a < 3; ++a)
            EXPECT_TRUE(vertices[i].position[a] == box.GetMin()[a] || vertices[i].position[a] == box.GetMax()[a]);
}

} // namespace

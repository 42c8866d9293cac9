#include "XOpenGLDeviceFixture.h"

#include "X3DIndexBuffer.h"
#include "X3DVertexBuffer.h"
#include "XLock.h"

#include <functional>
#include <numeric>

namespace {
struct XPoint {
    int x, y;
};

struct XPrimitiveCase {
    const char* name;
    X3DGC::XPrimitiveType type;
    uint32_t primitives;
    std::vector<std::pair<float, float>> vertices; // target pixels
    std::vector<XPoint> lit;
    std::vector<XPoint> dark;
};

// Counter-clockwise where it matters, so the default culling keeps every face.
const XPrimitiveCase kPrimitiveCases[] = {
    {"points", X3DGC::kPointList, 2, {{16.5f, 16.5f}, {40.5f, 50.5f}}, {{16, 16}, {40, 50}}, {{48, 16}, {16, 48}}},
    {"lines", X3DGC::kLineList, 1, {{4.0f, 16.5f}, {60.0f, 16.5f}}, {{10, 16}, {50, 16}}, {{32, 48}}},
    {"line strip", X3DGC::kLineStrip, 2, {{4.0f, 16.5f}, {60.5f, 16.5f}, {60.5f, 60.0f}}, {{32, 16}, {60, 40}}, {{32, 48}}},
    {"triangles", X3DGC::kTriangleList, 1, {{0, 0}, {64, 0}, {0, 64}}, {{10, 10}, {40, 10}}, {{54, 54}}},
    {"triangle strip", X3DGC::kTriangleStrip, 2, {{0, 0}, {64, 0}, {0, 32}, {64, 32}}, {{50, 10}, {10, 20}}, {{32, 50}}},
    {"triangle fan", X3DGC::kTriangleFan, 2, {{0, 32}, {64, 32}, {64, 64}, {0, 64}}, {{10, 50}, {54, 54}}, {{32, 10}}},
    {"quads", X3DGC::kQuadList, 1, {{0, 0}, {32, 0}, {32, 64}, {0, 64}}, {{10, 10}, {10, 54}}, {{54, 32}}},
};

enum class XSource { kUserMemory, kUserIndexed, kVertexBuffer, kIndexBuffer16, kIndexBuffer32 };
const std::pair<XSource, const char*> kSources[] = {{XSource::kUserMemory, "user memory"},
    {XSource::kUserIndexed, "user indices"}, {XSource::kVertexBuffer, "vertex buffer"},
    {XSource::kIndexBuffer16, "16-bit index buffer"}, {XSource::kIndexBuffer32, "32-bit index buffer"}};

std::vector<XColouredVertex> Coloured(const std::vector<std::pair<float, float>>& inPixels, uint8_t inRed = 255,
                                      uint8_t inGreen = 255, uint8_t inBlue = 255, uint8_t inAlpha = 255)
{
    std::vector<XColouredVertex> vertices;
    for (auto [x, y] : inPixels)
        vertices.push_back({x, y, 0.0f, {inRed, inGreen, inBlue, inAlpha}});
    return vertices;
}

template <class TIndex>
X3DIndexBuffer* MakeIndices(X3DGC& inGC, size_t inCount, uint32_t inFirst)
{
    // Reversed pairs would change the winding: indices in order, after inFirst unused ones.
    std::vector<TIndex> indices(inCount + inFirst, TIndex(0));
    std::iota(indices.begin() + inFirst, indices.end(), TIndex(0));
    auto* buffer = new X3DIndexBufferT<TIndex>(inGC, indices.size() * sizeof(TIndex), X3DGCBuffer::kBufferStaticDraw);
    XLock lock(*buffer, kLockWrite);
    buffer->CopyInData(indices.data(), indices.size() * sizeof(TIndex));
    return buffer;
}

TEST_F(OpenGLDeviceTest, EachPrimitiveTypeDrawsFromEverySource)
{
    UseColouredVertices();
    for (const auto& [source, sourceName] : kSources)
        for (const XPrimitiveCase& c : kPrimitiveCases) {
            // Quads cannot be drawn from user indices: refused, and nothing drawn.
            const bool refused = source == XSource::kUserIndexed && c.type == X3DGC::kQuadList;
            SCOPED_TRACE(std::string(c.name) + " from " + sourceName);
            const std::vector<XColouredVertex> vertices = Coloured(c.vertices);
            const uint64_t bytes = vertices.size() * sizeof(XColouredVertex);
            std::vector<uint32_t> order(vertices.size());
            std::iota(order.begin(), order.end(), 0u);
            X3DVertexBuffer* buffer = nullptr;
            X3DIndexBuffer* indices = nullptr;
            BeginFrame();
            if (source == XSource::kUserMemory) {
                gc->DrawUserPrimitives(c.type, vertices.data(), 0, c.primitives);
            } else if (source == XSource::kUserIndexed) {
                gc->DrawUserIndexedPrimitives(c.type, vertices.data(), uint32_t(vertices.size()), sizeof(XColouredVertex),
                                              order.data(), c.primitives);
            } else {
                buffer = new X3DVertexBuffer(*gc, bytes, X3DGCBuffer::kBufferStreamDraw);
                {
                    XLock mapped(*buffer, kLockWrite); // the storage is written while mapped
                    buffer->CopyInData(vertices.data(), bytes);
                }
                gc->SetVerticies(buffer);
                if (source == XSource::kVertexBuffer) {
                    gc->DrawPrimitives(c.type, 0, c.primitives);
                } else {
                    // Starting past unused indices checks the byte offset of the first one.
                    indices = source == XSource::kIndexBuffer16 ? MakeIndices<uint16_t>(*gc, vertices.size(), 3)
                                                                : MakeIndices<uint32_t>(*gc, vertices.size(), 3);
                    gc->SetIndicies(indices);
                    gc->DrawIndexedPrimitives(c.type, 3, c.primitives);
                    gc->SetIndicies(nullptr);
                }
                gc->SetVerticies(nullptr);
            }
            const XBGRA32Volume picture = EndFrame();
            EXPECT_EQ(asserts.Has("false", "X-Platform/XOpenGLGC"), refused);
            asserts.Clear();
            for (const XPoint& p : c.lit)
                EXPECT_EQ(IsLit(At(picture, p.x, p.y)), !refused) << "at " << p.x << ", " << p.y;
            for (const XPoint& p : c.dark)
                EXPECT_FALSE(IsLit(At(picture, p.x, p.y))) << "at " << p.x << ", " << p.y;
            for (X3DGCResource* resource : {static_cast<X3DGCResource*>(buffer), static_cast<X3DGCResource*>(indices)})
                if (resource)
                    resource->Destroy(*gc); // deletes it
        }
}

TEST_F(OpenGLDeviceTest, BlendModesCombineSourceAndDestination)
{
    // Destination alpha 128 (0.5), source alpha 64 (0.25).
    const XARGB32Colour destination(128, 200, 40, 100);
    struct XCase {
        X3DGC::XBlendMode mode;
        XARGB32Colour expected;
    };
    const XCase cases[] = {
        {X3DGC::kBlendNone, XARGB32Colour(255, 100, 160, 20)},
        {X3DGC::kBlendOver, XARGB32Colour(255, 175, 70, 80)},     // s × 0.25 + d × 0.75
        {X3DGC::kBlendUnder, XARGB32Colour(255, 250, 120, 110)},  // s × (1 − 0.5) + d
        {X3DGC::kBlendMaximum, XARGB32Colour(255, 200, 160, 100)}, // per channel
    };
    UseColouredVertices();
    const auto quad = Coloured({{0, 0}, {64, 0}, {64, 64}, {0, 64}}, 100, 160, 20, 64);
    for (const XCase& c : cases) {
        SCOPED_TRACE(int(c.mode));
        BeginFrame(destination);
        gc->SetBlendMode(c.mode);
        gc->DrawUserPrimitives(X3DGC::kQuadList, quad.data(), 0, 1);
        gc->SetBlendMode(X3DGC::kBlendOver);
        const XARGB32Colour p = At(EndFrame(), 32, 32);
        // One step of rounding either way in the blend unit.
        EXPECT_NEAR(p.red, c.expected.red, 2);
        EXPECT_NEAR(p.green, c.expected.green, 2);
        EXPECT_NEAR(p.blue, c.expected.blue, 2);
    }
}

TEST_F(OpenGLDeviceTest, CullFillAndClippingStateDecideWhatIsDrawn)
{
    using XProbes = std::vector<std::pair<XPoint, bool>>; // pixel, lit
    // Left: counter-clockwise on the screen; right: clockwise.
    const auto faces = Coloured({{0, 0}, {30, 0}, {0, 64}, {34, 0}, {34, 64}, {64, 0}});
    const auto inset = Coloured({{8.5f, 8.5f}, {56.5f, 8.5f}, {56.5f, 56.5f}, {8.5f, 56.5f}});
    const auto whole = Coloured({{0, 0}, {64, 0}, {64, 64}, {0, 64}});
    const XProbes sides[3] = {{{{8, 8}, true}, {{56, 8}, false}}, {{{8, 8}, false}, {{56, 8}, true}}, {{{8, 8}, true}, {{56, 8}, true}}};
    struct XCase {
        const char* name;
        std::function<void(X3DGC&)> set;
        X3DGC::XPrimitiveType type;
        const std::vector<XColouredVertex>* vertices;
        XProbes probes;
    };
    const XCase cases[] = {
        {"cull clockwise", [](X3DGC& g) { g.SetCullMode(X3DGC::kCullClockwise); }, X3DGC::kTriangleList, &faces, sides[0]},
        {"cull counter-clockwise", [](X3DGC& g) { g.SetCullMode(X3DGC::kCullCounterClockwise); }, X3DGC::kTriangleList, &faces, sides[1]},
        {"cull none", [](X3DGC& g) { g.SetCullMode(X3DGC::kCullNone); }, X3DGC::kTriangleList, &faces, sides[2]},
        // Inside, on an edge, at a corner.
        {"fill solid", [](X3DGC& g) { g.SetFillMode(X3DGC::kFillSolid); }, X3DGC::kTriangleFan, &inset,
         {{{32, 40}, true}, {{32, 8}, true}, {{56, 56}, true}}},
        {"fill wireframe", [](X3DGC& g) { g.SetFillMode(X3DGC::kFillWireframe); }, X3DGC::kTriangleFan, &inset,
         {{{32, 40}, false}, {{32, 8}, true}, {{56, 56}, true}}},
        {"fill points", [](X3DGC& g) { g.SetFillMode(X3DGC::kFillPoint); }, X3DGC::kTriangleFan, &inset,
         {{{32, 40}, false}, {{32, 8}, false}, {{56, 56}, true}}},
        // Planes in world space, deleted after each draw: the last case has none left.
        {"clip to x >= 32", [](X3DGC& g) { g.SetFillMode(X3DGC::kFillSolid); g.AddClippingPlane(XMathVectorF4(1, 0, 0, -32)); },
         X3DGC::kQuadList, &whole, {{{8, 8}, false}, {{56, 8}, true}, {{56, 56}, true}}},
        {"clip to x >= 32 and y <= 32", [](X3DGC& g) { g.AddClippingPlane(XMathVectorF4(1, 0, 0, -32)); g.AddClippingPlane(XMathVectorF4(0, -1, 0, 32)); },
         X3DGC::kQuadList, &whole, {{{8, 8}, false}, {{56, 8}, true}, {{56, 56}, false}}},
        {"no clipping", [](X3DGC&) {}, X3DGC::kQuadList, &whole, {{{8, 8}, true}, {{56, 8}, true}, {{56, 56}, true}}},
    };
    UseColouredVertices();
    for (const XCase& c : cases) {
        SCOPED_TRACE(c.name);
        BeginFrame();
        c.set(*gc);
        gc->DrawUserPrimitives(c.type, c.vertices->data(), 0, c.type == X3DGC::kQuadList ? 1 : 2);
        gc->DeleteAllClippingPlanes();
        const XBGRA32Volume picture = EndFrame();
        for (const auto& [p, lit] : c.probes)
            EXPECT_EQ(IsLit(At(picture, p.x, p.y)), lit) << "at " << p.x << ", " << p.y;
    }
}

TEST_F(OpenGLDeviceTest, ColourMaskAndDepthTestFilterWrites)
{
    UseColouredVertices();
    const auto near = Coloured({{0, 0}, {64, 0}, {64, 64}, {0, 64}}, 255, 255, 255);
    auto far = near;
    for (auto& v : far) {
        v.z = 0.5f; // farther than the first quad
        v.rgba[1] = 0;
    }
    BeginFrame();
    gc->SetBlendMode(X3DGC::kBlendNone);
    gc->SetDepthTestEnabled(true);
    gc->SetColourBufferWriteMask(0x00FF0000); // green only
    gc->DrawUserPrimitives(X3DGC::kQuadList, near.data(), 0, 1);
    gc->SetColourBufferWriteMask(0xFFFFFFFF);
    gc->DrawUserPrimitives(X3DGC::kQuadList, far.data(), 0, 1);
    const XARGB32Colour p = At(EndFrame(), 32, 32);
    EXPECT_EQ(p.red, 0);
    EXPECT_EQ(p.green, 255);
    EXPECT_EQ(p.blue, 0);
}
} // namespace

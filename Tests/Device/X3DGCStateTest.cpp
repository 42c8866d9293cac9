#include "XDeviceFixture.h"

#include "X3DVertexBuffer.h"

#include <functional>

namespace {
using Calls = std::vector<std::string>;

TEST_F(DeviceTest, RepeatedStateReachesTheImplementationOnlyWhenItChanges)
{
    const X3DGC::XSamplerState linear{0, 0, 0, 1, 1};
    struct Case {
        const char* name;
        std::function<void(X3DGC&)> set;
        size_t reachesWhenDoneTwice;
    };
    const Case cases[] = {
        {"blend mode changed", [](X3DGC& g) { g.SetBlendMode(X3DGC::kBlendMaximum); }, 1},
        {"blend mode as it starts", [](X3DGC& g) { g.SetBlendMode(X3DGC::kBlendOver); }, 0},
        {"cull mode", [](X3DGC& g) { g.SetCullMode(X3DGC::kCullNone); }, 1},
        {"fill mode", [](X3DGC& g) { g.SetFillMode(X3DGC::kFillWireframe); }, 1},
        {"depth test", [](X3DGC& g) { g.SetDepthTestEnabled(true); }, 1},
        {"depth writes as they start", [](X3DGC& g) { g.SetDepthBufferWritesEnabled(true); }, 0},
        {"depth offset", [](X3DGC& g) { g.SetDepthBufferOffset(2.0f); }, 1},
        {"stencil test", [](X3DGC& g) { g.SetStencilBufferEnabled(true); }, 1},
        {"colour mask", [](X3DGC& g) { g.SetColourBufferWriteMask(0xFF00FF00); }, 1},
        {"stencil function, reference only", [](X3DGC& g) { g.SetStencilFunc(X3DGC::kStencilNever, 1, 0); }, 1},
        {"stencil function as it starts", [](X3DGC& g) { g.SetStencilFunc(X3DGC::kStencilNever, 0, 0); }, 0},
        {"first stencil write op, even of the initial values", [](X3DGC& g) { g.SetStencilWriteOp(X3DGC::kStencilKeep, X3DGC::kStencilKeep); }, 1},
        {"sampler", [&](X3DGC& g) { g.SetTextureSampler(0, linear); }, 2},
        {"viewport", [](X3DGC& g) { g.SetViewport(X3DViewport(XRect(0, 0, 8, 8))); }, 2},
        {"world", [](X3DGC& g) { g.SetWorld(XMatrix_4x4<float>()); }, 2},
        {"clear", [](X3DGC& g) { g.Clear(X3DGC::kClearColour, XARGB32Colour(), 1.0f, 0); }, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        X3DGC fresh;
        fresh.Initialise();
        Taken();
        c.set(fresh);
        c.set(fresh);
        EXPECT_EQ(Taken().size(), c.reachesWhenDoneTwice);
    }
}

void ExpectSameMatrix(const XMatrix_4x4<float>& inActual, const XMatrix_4x4<float>& inExpected)
{
    for (size_t i = 0; i < 4; ++i)
        for (size_t j = 0; j < 4; ++j)
            EXPECT_NEAR(inActual(i, j), inExpected(i, j), 1e-5f) << "element " << i << "," << j;
}

TEST_F(DeviceTest, ProductsFollowEveryMatrixWhateverTheOrderTheyAreSet)
{
    const auto world = XMatrix_4x4<float>::MakeRotationZ(0.5f) * XMatrix_4x4<float>::MakeTranslation(1, 2, 3);
    const auto view = XMatrix_4x4<float>::MakeScale(2, 3, 4) * XMatrix_4x4<float>::MakeRotationX(0.3f);
    const auto projection = XMatrix_4x4<float>::MakeTranslation(0, 0, -5) * XMatrix_4x4<float>::MakeScale(1, 1, 0.5f);
    // Row vectors: the world applies first.
    const XMathVectorF4 p(1, 0, 0, 1);
    const XMathVectorF4 expected = ((p * world) * view) * projection;
    const std::vector<std::vector<char>> orders = {{'W', 'V', 'P'}, {'P', 'V', 'W'}, {'V', 'P', 'W'}, {'P', 'W', 'V', 'O'}};
    for (const auto& order : orders) {
        SCOPED_TRACE(std::string(order.begin(), order.end()));
        X3DGC fresh;
        for (char step : order) {
            if (step == 'W') fresh.SetWorld(world);
            if (step == 'V') fresh.SetView(view);
            if (step == 'P') fresh.SetProjection(projection);
            if (step == 'O') fresh.SetViewport(X3DViewport(XRect(0, 0, 4, 4)));
        }
        ExpectSameMatrix(fresh.GetWorldView(), world * view);
        const XMathVectorF4 actual = p * fresh.GetWorldViewProjection();
        for (size_t i = 0; i < 4; ++i)
            EXPECT_NEAR(actual[i], expected[i], 1e-4f);
    }
}

TEST_F(DeviceTest, VertexDefinitionsAreCheckedAndOnlyNewOnesRebindTheVertices)
{
    using E = X3DGC::XVertexElement;
    const E position{0, X3DGC::kElementFloat3, X3DGC::kUsagePosition};
    const E colour{12, X3DGC::kElementUByte4, X3DGC::kUsageColour};
    const E texture{16, X3DGC::kElementFloat2, X3DGC::kUsageTexCoord0};
    X3DVertexBuffer* buffer = new X3DVertexBuffer(gc, 64, X3DGCBuffer::kBufferStaticDraw);
    gc.SetVerticies(buffer);
    struct Case {
        const char* name;
        E first, second;
        uint64_t stride;
        const char* assertion; // empty: accepted
        bool rebinds;
    };
    const Case cases[] = {
        {"position and colour", position, colour, 16, "", true},
        {"the same again", position, colour, 16, "", false},
        {"another stride", position, colour, 20, "", true},
        {"another element", position, texture, 20, "", true},
        {"two positions", position, position, 20, "Find( aKey ) == this->end()", false},
        {"no position", colour, texture, 20, "uniqueUsages.DoesContain( kUsagePosition )", false},
    };
    Taken();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        XAssertRecorder asserts;
        gc.SetVertexDefinition({{c.first, c.second}, c.stride});
        EXPECT_EQ(Taken(), c.rebinds ? (Calls{"SetVertexDefinition", "RenderUnlock vertices", "RenderLock vertices"}) : Calls{});
        EXPECT_EQ(asserts.GetCount(), *c.assertion ? 1u : 0u);
        if (*c.assertion) {
            EXPECT_TRUE(asserts.Has(c.assertion, "X-Platform/X3DGC"));
        }
    }
    gc.SetVerticies(nullptr);
    buffer->Destroy(gc);
}
} // namespace

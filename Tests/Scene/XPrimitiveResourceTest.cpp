// What the primitives that keep device buffers make, bind, put back and release.
#include "XDeviceFixture.h"

#include "X3DCubeSceneNode.h"
#include "X3DIndexBuffer.h"
#include "X3DTexturedQuadSceneNode.h"
#include "X3DVertexBuffer.h"
#include "XTexture2D.h"

#include <algorithm>

namespace {
using Calls = std::vector<std::string>;

size_t CountOf(const Calls& inCalls, const std::string& inCall) { return size_t(std::count(inCalls.begin(), inCalls.end(), inCall)); }

class PrimitiveResourceTest : public DeviceTest {
protected:
    void Draw(X3DSceneNode& inNode)
    {
        inNode.UpdateGeometry(XMatrix_4x4<float>(), XSceneRenderState());
        inNode.Render(gc, XSceneRenderState());
    }
    XAssertRecorder asserts;
};

TEST_F(PrimitiveResourceTest, TheCubeMakesItsBufferOnceAndReleasesItOnUnload)
{
    auto cube = std::make_unique<X3DCubeSceneNode>();
    Draw(*cube);
    Draw(*cube);
    const Calls drawn = Taken();
    EXPECT_EQ(CountOf(drawn, "DrawPrimitives"), 2u);
    EXPECT_EQ(gc.GetVertexBuffer(), nullptr) << "the caller's (empty) binding is back";
    cube->UnloadGraphicsResources(gc);
    EXPECT_EQ(Taken(), Calls{"Destroy vertices"});
    cube->UnloadGraphicsResources(gc);
    EXPECT_TRUE(Taken().empty());
    cube.reset();
    EXPECT_EQ(asserts.GetCount(), 0u);
}

TEST_F(PrimitiveResourceTest, TheTexturedQuadPutsBackTheCallersGeometryAndUnit)
{
    const X3DGC::XSamplerState nearest{}, linear{0, 0, 0, 1, 1};
    X3DVertexBuffer callersVertices(gc, 64, X3DGCBuffer::kBufferStaticDraw);
    X3DIndexBuffer32 callersIndices(gc, 16, X3DGCBuffer::kBufferStaticDraw);
    XTexture2D callersTexture(gc, 2, 2, X3DGC::kBGRA32);
    const X3DGC::XVertexDefinition callersDefinition = XVertexTypes::XVertexPositionColour::GetDefinition();
    struct Case {
        const char* name;
        bool quadHasTexture;
        XTexture* callersUnit0;
        size_t unitCalls; // attaches, unattaches and sampler settings on unit 0
    };
    const Case cases[] = {
        {"no texture: unit 0 untouched", false, &callersTexture, 0},
        {"a texture on an empty unit", true, nullptr, 4},
        {"a texture over the caller's", true, &callersTexture, 6},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        gc.SetVertexDefinition(callersDefinition);
        gc.SetVerticies(&callersVertices);
        gc.SetIndicies(&callersIndices);
        gc.SetTextureSampler(0, nearest);
        gc.SetTexture(0, c.callersUnit0);
        XTexture* texture = c.quadHasTexture ? new XTexture2D(gc, 4, 4, X3DGC::kBGRA32) : nullptr;
        X3DTexturedQuadSceneNode quad(texture, linear, XMathVectorF2(1, 1));
        Taken();
        Draw(quad);
        const Calls calls = Taken();
        EXPECT_EQ(CountOf(calls, "DrawIndexedPrimitives"), 1u);
        size_t unitCalls = 0;
        for (const std::string& call : calls)
            unitCalls += call.rfind("AttachTexture 0", 0) == 0 || call.rfind("UnattachTexture 0", 0) == 0
                || call.rfind("SetTextureSampler 0", 0) == 0;
        EXPECT_EQ(unitCalls, c.unitCalls);
        EXPECT_EQ(gc.GetVertexDefinition(), callersDefinition);
        EXPECT_EQ(gc.GetVertexBuffer(), &callersVertices);
        EXPECT_EQ(gc.GetIndexBuffer(), &callersIndices);
        EXPECT_EQ(gc.GetTexture(0), c.callersUnit0);
        EXPECT_EQ(gc.GetTextureSampler(0), nearest);
        quad.UnloadGraphicsResources(gc);
        const Calls released = Taken();
        EXPECT_EQ(CountOf(released, "Destroy texture"), c.quadHasTexture ? 1u : 0u);
        EXPECT_EQ(CountOf(released, "Destroy vertices") + CountOf(released, "Destroy indices"), 2u);
    }
    gc.SetTexture(0, nullptr);
    gc.SetVerticies(nullptr);
    gc.SetIndicies(nullptr);
    EXPECT_EQ(asserts.GetCount(), 0u);
}
} // namespace

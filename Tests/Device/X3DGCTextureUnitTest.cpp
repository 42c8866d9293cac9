#include "XDeviceFixture.h"

#include "X3DGCOffscreenTarget.h"
#include "XShader.h"
#include "XTexture2D.h"

#include <functional>
#include <memory>

namespace {
using Calls = std::vector<std::string>;

_CGparameter* Fake(uintptr_t inValue) { return reinterpret_cast<_CGparameter*>(inValue); }

TEST_F(DeviceTest, TextureUnitsAttachAgainAndSwapWholeStates)
{
    XTexture2D* a = new XTexture2D(gc, 4, 4, X3DGC::kBGRA32);
    XTexture2D* b = new XTexture2D(gc, 4, 4, X3DGC::kBGRA32);
    const X3DGC::XSamplerState nearest{};
    const X3DGC::XSamplerState linear{0, 0, 0, 1, 1};
    // Two samplers: units past the last share the last.
    XShader fragment(XShader::kFragmentShader, nullptr,
        {{"colour", Fake(5), CG_PARAMETERCLASS_VECTOR}, {"tex0", Fake(7), CG_PARAMETERCLASS_SAMPLER},
            {"tex1", Fake(9), CG_PARAMETERCLASS_SAMPLER}});
    struct Case {
        const char* name;
        std::function<void(X3DGC&)> steps;
        Calls calls;
        X3DGC::XTextureUnitState unit2After;
    };
    const Case cases[] = {
        {"the same texture twice attaches twice", [&](X3DGC& g) { g.SetTexture(2, a); g.SetTexture(2, a); },
            {"AttachTexture 2 min 0 sampler 0", "AttachTexture 2 min 0 sampler 0"}, {a, nearest}},
        {"another texture unattaches the first", [&](X3DGC& g) { g.SetTexture(2, a); g.SetTexture(2, b); },
            {"AttachTexture 2 min 0 sampler 0", "UnattachTexture 2", "AttachTexture 2 min 0 sampler 0"}, {b, nearest}},
        {"no texture only unattaches", [&](X3DGC& g) { g.SetTexture(2, a); g.SetTexture(2, nullptr); },
            {"AttachTexture 2 min 0 sampler 0", "UnattachTexture 2"}, {nullptr, nearest}},
        {"a texture keeps the unit's sampler", [&](X3DGC& g) { g.SetTextureSampler(2, linear); g.SetTexture(2, a); },
            {"SetTextureSampler 2 min 1", "AttachTexture 2 min 1 sampler 0"}, {a, linear}},
        {"swap to another texture takes its sampler", [&](X3DGC& g) { g.SetTexture(2, a); g.SwapTexture(2, {b, linear}); },
            {"AttachTexture 2 min 0 sampler 0", "UnattachTexture 2", "AttachTexture 2 min 1 sampler 0"}, {b, linear}},
        {"swap to the same texture keeps the sampler", [&](X3DGC& g) { g.SetTexture(2, a); g.SwapTexture(2, {a, linear}); },
            {"AttachTexture 2 min 0 sampler 0", "AttachTexture 2 min 0 sampler 0"}, {a, nearest}},
        {"with a fragment shader, samplers pair with units",
            [&](X3DGC& g) { g.AttachShader(fragment); g.SetTexture(0, a); g.SetTexture(2, b); g.UnattachShader(fragment); },
            {"AttachShader 1 2", "AttachTexture 0 min 0 sampler 7", "AttachTexture 2 min 0 sampler 9"}, {b, nearest}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        X3DGC fresh;
        fresh.Initialise();
        Taken();
        c.steps(fresh);
        EXPECT_EQ(Taken(), c.calls);
        EXPECT_EQ(fresh.GetTexture(2), c.unit2After.texture);
        EXPECT_EQ(fresh.GetTextureSampler(2), c.unit2After.sampler);
    }
    gc.SetTexture(1, a);
    const X3DGC::XTextureUnitState previous = gc.SwapTexture(1, {b, linear});
    EXPECT_EQ(previous, (X3DGC::XTextureUnitState{a, nearest}));
    a->Destroy(gc);
    b->Destroy(gc);
}

TEST_F(DeviceTest, BadArgumentsAreReportedAndChangeNothing)
{
    XTexture2D* texture = new XTexture2D(gc, 4, 4, X3DGC::kBGRA32);
    XShader vertex(XShader::kVertexShader, nullptr, {});
    XShader other(XShader::kVertexShader, nullptr, {});
    gc.AttachShader(vertex);
    const uint32_t pastLastUnit = XRecordingRenderSystem::kTextureUnits;
    struct Case {
        const char* name;
        std::function<void()> call;
        const char* assertion;
    };
    const Case cases[] = {
        {"texture past the last unit", [&] { gc.SetTexture(pastLastUnit, texture); }, "inUnit < itsDeviceInfo.textureUnitCount"},
        {"sampler past the last unit", [&] { gc.SetTextureSampler(pastLastUnit, {1, 1, 1, 1, 1}); }, "inUnit < itsDeviceInfo.textureUnitCount"},
        {"swap past the last unit", [&] { gc.SwapTexture(pastLastUnit, {texture, {}}); }, "inUnit < itsDeviceInfo.textureUnitCount"},
        {"clipping plane that is not there", [&] { EXPECT_EQ(gc.GetClippingPlane(0), XMathVectorF4()); }, "inPlaneIndex < itsClippingPlanes.size()"},
        {"draw without vertices", [&] { gc.DrawPrimitives(X3DGC::kTriangleList, 0, 1); }, "itsVertexSource != 0"},
        {"frame without a target", [&] { gc.BeginRender(); }, "itsCurrentTarget != 0"},
        {"unattach a shader that is not attached", [&] { gc.UnattachShader(other); }, "itsCurrentVertexShader == &inShader"},
    };
    Taken();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        XAssertRecorder asserts;
        c.call();
        EXPECT_TRUE(asserts.Has(c.assertion, "X-Platform/X3DGC"));
        EXPECT_EQ(Taken(), Calls{});
    }
    EXPECT_EQ(gc.GetCurrentVertexShader(), &vertex);
    gc.UnattachShader(vertex);
    texture->Destroy(gc);
}

TEST_F(DeviceTest, RenderTargetsHearOfAttachmentAndFrames)
{
    X3DGCOffscreenTarget first(gc, 0, 0);
    X3DGCOffscreenTarget second(gc, 8, 6);
    EXPECT_EQ(first.GetWidth(), 1u);
    EXPECT_EQ(first.GetHeight(), 1u);
    gc.AttachRenderTarget(&first);
    gc.BeginRender();
    gc.EndRender();
    gc.AttachRenderTarget(&second);
    {
        XAssertRecorder asserts;
        second.Destroy(gc); // still attached: reported, then detached so the device keeps no stale target
        EXPECT_TRUE(asserts.Has("itsTargettedBy == 0", "X-Platform/X3DGCRenderTarget"));
    }
    EXPECT_EQ(gc.GetCurrentRenderTarget(), nullptr);
    EXPECT_EQ(Taken(), (Calls{"Target attached", "BeginRender", "EndRender", "Target detached", "Target attached",
                           "Target detached", "Destroy target"}));
    {
        // Deleted while attached, without Destroy: the device lets go of it too.
        auto third = std::make_unique<X3DGCOffscreenTarget>(gc, 4, 4);
        gc.AttachRenderTarget(third.get());
        third.reset();
        EXPECT_EQ(gc.GetCurrentRenderTarget(), nullptr);
    }
    first.Destroy(gc);
}
} // namespace

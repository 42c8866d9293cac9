#include "X3DBaseRenderer.h"
#include "X3DBaseRendererParts.h"

#include "X3DGC.h"
#include "X3DGCOffscreenTarget.h"
#include "X3DGCScopedLock.h"
#include "X3DOrientator.h"
#include "XAssert.h"
#include "XBGRA32Volume.h"
#include "XCanvasPaneBase.h"
#include "XException.h"
#include "XFlipVVolumeTool.h"
#include "XLock.h"
#include "XPlaceholderTextCanvasAttachment.h"
#include "XTexture2D.h"
#include "XThread.h"
#include "XVertexTypes.h"

#include <array>
#include <cfenv>

using namespace X3DBaseRendererParts;

XEventResult X3DBaseRenderer::DrawCanvas(XGC& inGC)
{
    XLock lock(itsRenderMutex);
    XIdleSuspension idle;
    if (!itsDisplayedImage || itsNeedsRedraw) {
        try {
            DrawCanvas3D();
        } catch (const XException& e) {
            itsDisplayedImage.reset();
            ShowPlaceholder(kCannotDisplay + e.GetErrorMessage());
        }
    }
    if (!itsDisplayedImage)
        return kEventNotHandled;
    if (itsPlaceholderText && itsPlaceholderText->IsVisible())
        itsPlaceholderText->Hide();
    DrawToCanvas(inGC, *itsDisplayedImage, its3DPane ? its3DPane->GetCanvasBounds() : itsDisplayedImage->GetBounds().GetXYRect());
    return kEventHandled;
}

void X3DBaseRenderer::DrawCanvas3D()
{
    const XRect canvas = its3DPane ? its3DPane->GetCanvasBounds() : XRect(0, 0, 1, 1);
    X3DGC& gc = Get3DGC();
    X3DGCScopedLock lock(gc);
    if (!itsReadBackTarget) {
        itsReadBackTarget = std::make_unique<X3DGCOffscreenTarget>(gc, canvas.GetWidth(), canvas.GetHeight());
        // With render-to-texture it only receives the flipped copy, one texel per pixel:
        // samples would change no pixel and multiply its clear and resolve.
        if (itsReadBackTarget->IsRenderToTextureSupported())
            itsReadBackTarget->SetSingleSample();
    }
    const uint32_t width = itsReadBackTarget->GetWidth(), height = itsReadBackTarget->GetHeight();
    if (!itsDisplayedImage)
        itsDisplayedImage = std::make_unique<XBGRA32Volume>(int32_t(width), int32_t(height), 1);
    X_ASSERT_TEXT(gc.GetCurrentRenderTarget() == nullptr, "Get3DGC().GetCurrentRenderTarget() == 0");
    itsHasGraphicsResources = true;
    const XRect bounds(0, 0, int32_t(width), int32_t(height));
    if (itsReadBackTarget->IsRenderToTextureSupported()) {
        if (!itsFlipTarget)
            itsFlipTarget = std::make_unique<X3DGCOffscreenTarget>(gc, width, height);
        if (!itsFlipTexture) {
            itsFlipTexture = std::make_unique<XTexture2D>(gc, width, height, X3DGC::kBGRA32);
            itsFlipTarget->AttachTexture(*itsFlipTexture);
        }
        RenderToTarget(gc, *itsFlipTarget, bounds, kRenderingIntentScreen, XMatrix_4x4<float>());
        FlipTextureToTarget(*itsFlipTexture, *itsReadBackTarget);
        itsReadBackTarget->CopyOutToBGRA32Volume(*itsDisplayedImage);
    } else {
        RenderToTarget(gc, *itsReadBackTarget, bounds, kRenderingIntentScreen, XMatrix_4x4<float>());
        itsReadBackTarget->CopyOutToBGRA32Volume(*itsDisplayedImage);
        XFlipVVolumeTool::Flip(*itsDisplayedImage);
    }
    itsNeedsRedraw = false;
}

void X3DBaseRenderer::RenderToTarget(X3DGC& inGC, X3DGCOffscreenTarget& inOutTarget, const XRect& inBounds,
    XRenderingIntent inIntent, const XMatrix_4x4<float>& inPrefix)
{
    X_ASSERT_TEXT(XRect(0, 0, int32_t(inOutTarget.GetWidth()), int32_t(inOutTarget.GetHeight())).Contains(inBounds),
        "XRect( 0, 0, inOutTarget.GetWidth(), inOutTarget.GetHeight() ).Contains( inBounds )");
    XLock renderLock(itsRenderMutex);
    X3DGCScopedLock lock(inGC);
    X3DGCRenderTarget* const previous = inGC.GetCurrentRenderTarget();
    inGC.AttachRenderTarget(&inOutTarget);
    XScopeExit restoreTarget([&] { inGC.AttachRenderTarget(previous); });
    // The scene is drawn without culling; a pool device other than the one that built
    // the scene has not been told so yet.
    const X3DGC::XCullMode cullMode = inGC.GetCullMode();
    inGC.SetCullMode(X3DGC::kCullNone);
    XScopeExit restoreCullMode([&] { inGC.SetCullMode(cullMode); });

    // Each call works with a camera of its own: exports on job threads do not share one.
    X3DCamera camera = GetFrameRenderState(inBounds, inIntent).GetCamera();
    if (XThread::IsMainThread())
        itsCamera = camera;
    inGC.SetViewport(camera.GetViewport());
    inGC.SetProjection(camera.GetProjectionMatrix() * inPrefix);

    const double mode = GetAppliedStateValue(kSceneStateStereoMode)(0, 0);
    switch (int(mode)) {
    case 0:
        inGC.SetView(camera.GetViewMatrix());
        RenderToTargetSelf(inGC, inOutTarget, inBounds, inIntent, inPrefix);
        break;
    case 1: {
        const uint32_t savedMask = inGC.GetColourBufferWriteMask();
        XScopeExit restoreMask([&] { inGC.SetColourBufferWriteMask(savedMask); });
        inGC.SetColourBufferWriteMask(0xFF0000FF);
        camera.SetStereoPass(X3DCamera::kStereoLeft);
        inGC.SetView(camera.GetViewMatrix());
        RenderToTargetSelf(inGC, inOutTarget, inBounds, inIntent, inPrefix);
        inGC.SetColourBufferWriteMask(0x00FFFFFF);
        camera.SetStereoPass(X3DCamera::kStereoRight);
        inGC.SetView(camera.GetViewMatrix());
        RenderToTargetSelf(inGC, inOutTarget, inBounds, inIntent, inPrefix);
        break;
    }
    default:
        X_ASSERT_TEXT(false, "false");
        break;
    }
}

void X3DBaseRenderer::RenderToTargetSelf(X3DGC& inGC, X3DGCOffscreenTarget&, const XRect& inBounds,
    XRenderingIntent inIntent, const XMatrix_4x4<float>&)
{
    inGC.BeginRender();
    XScopeExit endRender([&] { inGC.EndRender(); });
    inGC.Clear(0xFFFFFFFF, itsBackgroundColour, 1.0f, 0);

    // A degenerate node (a zero scale) divides by zero while the frame is made; that
    // must not trap, and the flags it leaves must not reach the caller.
    std::fenv_t saved;
    std::feholdexcept(&saved);
    XScopeExit restoreFloatingPoint([&] {
        std::feclearexcept(FE_ALL_EXCEPT);
        std::fesetenv(&saved);
    });

    XSceneRenderState state = GetFrameRenderState(inBounds, inIntent);
    {
        X3DSceneNode::Lock();
        XScopeExit unlock([&] { X3DSceneNode::Unlock(); });
        itsSceneRoot.UpdateGeometry(XMatrix_4x4<float>(), state);
        const uint32_t passes = itsSceneRoot.GetSceneRenderPassCount();
        for (uint32_t pass = 0; pass < passes; ++pass) {
            state.SetRenderPass(pass);
            itsSceneRoot.Render(inGC, state);
        }
    }
    if (itsOrientator)
        itsOrientator->Render(inGC, state.GetCamera(), itsWorldNode.GetRotation());
}

XSceneRenderState X3DBaseRenderer::GetFrameRenderState(const XRect& inBounds, XRenderingIntent inIntent) const
{
    XLock lock(itsRenderMutex);
    X3DCamera camera = X3DCamera::MakeFromRendererSceneState(itsAppliedState);
    X3DViewport viewport = itsCamera.GetViewport();
    viewport.SetRect(inBounds);
    camera.SetViewport(viewport);
    XSceneRenderState state(camera);
    state.SetLightPosition(XMathVectorF3(itsLightPosition[0], itsLightPosition[1], -itsLightPosition[2]));
    state.SetRenderPass(0);
    state.SetTimepoint(GetCurrentTimepoint());
    state.SetFinalRender(inIntent == kRenderingIntentFinal);
    return state;
}

void X3DBaseRenderer::FlipTextureToTarget(XTexture2D& inTexture, X3DGCOffscreenTarget& inOutTarget)
{
    X3DGC& gc = Get3DGC();
    X3DGCScopedLock lock(gc);
    X3DGCRenderTarget* const previous = gc.GetCurrentRenderTarget();
    gc.AttachRenderTarget(&inOutTarget);
    XScopeExit restoreTarget([&] { gc.AttachRenderTarget(previous); });
    gc.BeginRender();
    XScopeExit endRender([&] { gc.EndRender(); });

    const X3DGC::XBlendMode blend = gc.GetBlendMode();
    const X3DGC::XCullMode cullMode = gc.GetCullMode();
    const bool depthTest = gc.GetDepthTestEnabled();
    const X3DViewport viewport = gc.GetViewport();
    const XMatrix_4x4<float> projection = gc.GetProjection(), view = gc.GetView(), world = gc.GetWorld();
    const X3DGC::XVertexDefinition definition = gc.GetVertexDefinition();
    const X3DGC::XTextureUnitState unit{gc.GetTexture(0), gc.GetTextureSampler(0)};
    XScopeExit restoreState([&] {
        gc.SetTextureSampler(0, unit.sampler);
        gc.SetTexture(0, unit.texture);
        gc.SetVertexDefinition(definition);
        gc.SetWorld(world);
        gc.SetView(view);
        gc.SetProjection(projection);
        gc.SetViewport(viewport);
        gc.SetDepthTestEnabled(depthTest);
        gc.SetBlendMode(blend);
        gc.SetCullMode(cullMode);
    });

    const float w = float(inOutTarget.GetWidth()), h = float(inOutTarget.GetHeight());
    gc.SetBlendMode(X3DGC::kBlendNone);
    gc.SetDepthTestEnabled(false);
    gc.SetCullMode(X3DGC::kCullNone);
    gc.SetViewport(X3DViewport(XRect(0, 0, int32_t(w), int32_t(h))));
    gc.SetProjection(XMatrix_4x4<float>::MakeOrthographic(0.0f, w, 0.0f, h, -1.0f, 1.0f));
    gc.SetView(XMatrix_4x4<float>());
    gc.SetWorld(XMatrix_4x4<float>());
    // Texture rows run bottom-up like the frame; the picture wants them top-down.
    const XMathVectorF3 maxCoords = inTexture.GetMaxTextureCoords();
    const float s = maxCoords[0], t = maxCoords[1];
    const std::array<XVertexTypes::XVertexPositionTexture, 4> quad{{
        {XMathVectorF3(0, 0, 0), XMathVectorF2(0, t)},
        {XMathVectorF3(0, h, 0), XMathVectorF2(0, 0)},
        {XMathVectorF3(w, 0, 0), XMathVectorF2(s, t)},
        {XMathVectorF3(w, h, 0), XMathVectorF2(s, 0)},
    }};
    gc.SetVertexDefinition(XVertexTypes::XVertexPositionTexture::GetDefinition());
    gc.SetTextureSampler(0, X3DGC::XSamplerState{});
    gc.SetTexture(0, &inTexture);
    gc.DrawUserPrimitives(X3DGC::kTriangleStrip, quad.data(), 0, 2);
}

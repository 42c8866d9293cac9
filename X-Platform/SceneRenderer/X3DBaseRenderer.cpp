#include "X3DBaseRenderer.h"

#include "X3DCanvasToolFactory.h"
#include "X3DFloorNode.h"
#include "X3DGC.h"
#include "X3DGCOffscreenTarget.h"
#include "X3DGCScopedLock.h"
#include "X3DOrientator.h"
#include "X3DCentroidFeedback.h"
#include "X3DPointFeedback.h"
#include "X3DPolyLineFeedback.h"
#include "X3DRegionFeedbackIsoMesh.h"
#include "X3DRegionMeasurementFeedback.h"
#include "X3DSceneFeedback.h"
#include "X3DTrackFeedback.h"
#include "X3DVolumeNode.h"
#include "X3DSceneNodeDepthStateAttachment.h"
#include "XAssert.h"
#include "XBGRA32Volume.h"
#include "XCanvasPaneBase.h"
#include "XException.h"
#include "XFlipVVolumeTool.h"
#include "XGC.h"
#include "XImageDataSource.h"
#include "XLock.h"
#include "XPlaceholderTextCanvasAttachment.h"
#include "XRendererKeyDownCanvasAttachment.h"
#include "XRendererPane.h"
#include "XTextOverlayCanvasAttachment.h"
#include "XTexture2D.h"
#include "XThread.h"
#include "XVertexTypes.h"

#include <array>
#include <cfenv>
#include <cmath>
#include <utility>

namespace {

const XString kCannotDisplay("The image could not be displayed because ");
const XString kNoTimestamp("--:--:--.---");

// Runs a clean-up step when a scope ends, also while an exception unwinds; what the
// step itself throws then is dropped so that the first failure reaches the caller.
template <typename F>
class XScopeExit {
public:
    explicit XScopeExit(F inStep) : itsStep(std::move(inStep)) {}
    ~XScopeExit()
    {
        try {
            itsStep();
        } catch (...) {
        }
    }
    XScopeExit(const XScopeExit&) = delete;
    XScopeExit& operator=(const XScopeExit&) = delete;

private:
    F itsStep;
};

bool AllFinite(const X3DMatrix& inValue)
{
    for (size_t i = 0; i < inValue.GetRows() * inValue.GetColumns(); ++i)
        if (!std::isfinite(inValue.GetData()[i]))
            return false;
    return true;
}

XARGB32Colour OpaqueColour(const X3DMatrix& inValue)
{
    XARGB32Colour colour = XRenderer::GetColourFromStateValue(inValue, XARGB32Colour::kBlack);
    colour.alpha = 255;
    return colour;
}

XMathVectorF3 VectorOf(const X3DMatrix& inValue)
{
    return XMathVectorF3(float(inValue(0, 0)), float(inValue(1, 0)), float(inValue(2, 0)));
}

} // namespace

// Host idle processing stays suspended for a frame or an export, whatever happens in it.
class X3DBaseRenderer::XIdleSuspension {
public:
    XIdleSuspension() { XSpeaker::SuspendIdleProcessing(); }
    ~XIdleSuspension() { XSpeaker::ResumeIdleProcessing(); }
    XIdleSuspension(const XIdleSuspension&) = delete;
    XIdleSuspension& operator=(const XIdleSuspension&) = delete;
};

X3DBaseRenderer::X3DBaseRenderer(const boost::shared_ptr<XImageDataSource>& inSource) : XRenderer(inSource)
{
    if (inSource)
        if (const std::shared_ptr<const XVolume> layout = inSource->GetTemplateVolume())
            itsVolumeScaling = XVolumeLevelScalingHelper(*layout);
    itsLightPosition = VectorOf(GetDefaultSceneStateValue(kSceneStateLightPosition));
    itsRotationBall.SetVisible(false);
    itsLightBall.SetVisible(false);
    itsVolumeScale.SetVisible(false);
    itsLightMarker.SetVisible(false);
}

X3DBaseRenderer::~X3DBaseRenderer()
{
    ReleaseGraphicsResources();
    DestroyToolAttachment();
    if (its3DPane) {
        its3DPane->RemoveCanvasAttachment(this);
        its3DPane->RemoveCanvasAttachment(itsKeyDownAttachment.get());
        its3DPane->RemoveCanvasAttachment(itsTextOverlay.get());
        its3DPane->RemoveCanvasAttachment(itsPlaceholderText.get());
    }
    for (auto& [item, node] : itsFeedbackNodes)
        if (X3DSceneNode* parent = node->GetParent())
            parent->RemoveChild(*node);
}

X3DGC& X3DBaseRenderer::Get3DGC() { return itsDevicePool.GetContextForCurrentThread(); }

const X3DGC& X3DBaseRenderer::Get3DGC() const { return itsDevicePool.GetContextForCurrentThread(); }

void X3DBaseRenderer::RefreshScene(bool inImmediate)
{
    if (inImmediate)
        RefreshRendererWithImmediateRedraw();
    else
        RefreshRenderer();
}

void X3DBaseRenderer::ReleaseGraphicsResources()
{
    if (!itsHasGraphicsResources)
        return;
    try {
        XLock lock(itsRenderMutex);
        X3DGC& gc = Get3DGC();
        X3DGCScopedLock deviceLock(gc);
        itsSceneRoot.UnloadGraphicsResources(gc);
        if (itsOrientator)
            itsOrientator->UnloadGraphicsResources(gc);
        DestroyTargets(gc);
        itsHasGraphicsResources = false;
    } catch (const XException&) {
        // The device is gone or cannot be locked: its objects went with it.
    }
}

// ---- Scene ---------------------------------------------------------------------

void X3DBaseRenderer::InitialiseSelf()
{
    try {
        InitialiseSceneGraph(Get3DGC());
    } catch (const XException& e) {
        ShowPlaceholder(kCannotDisplay + e.GetRawErrorMessage());
    } catch (...) {
        ShowPlaceholder(kCannotDisplay + XString("an unknown error occurred"));
    }
    UpdateViewport();
}

void X3DBaseRenderer::InitialiseSceneGraph(X3DGC& inGC)
{
    UpdateTimestampString();
    XLock renderLock(itsRenderMutex);
    X3DGCScopedLock lock(inGC);
    if (!itsSceneRoot.HasParent()) {
        AddChild(itsSceneRoot);
        inGC.SetCullMode(X3DGC::kCullNone);
        itsCamera.LookAt(XMathVectorF3(0, 0, 2), XMathVectorF3(0, 0, 0), XMathVectorF3(0, 1, 0));
        itsSceneRoot.AddAttachment(*new X3DSceneNodeDepthStateAttachment(true));
        MakeFloor();
        itsSceneRoot.SetScale(XMathVectorF3(1, 1, -1));

        itsLightMarker.SetPosition(itsLightPosition);
        for (X3DSceneNode* node : {static_cast<X3DSceneNode*>(&itsLightMarker), static_cast<X3DSceneNode*>(&itsLightBall)}) {
            node->SetVisible(false);
            itsSceneRoot.AddChild(*node);
        }
        itsSceneRoot.AddChild(itsWorldNode);
        itsRotationBall.SetVisible(false);
        itsWorldNode.AddChild(itsRotationBall);
        InitialiseSceneGraphSelf(inGC, itsSceneRoot, itsWorldNode);
        itsVolumeScale.SetVisible(false);

        if (const boost::shared_ptr<XImageDataSource>& source = GetDataSource()) {
            try {
                XMathVectorF3 spacing;
                itsVolumeScale.CalibrateForDimension(kScaleIntervals, source->GetCalibrationX(),
                    source->GetCalibrationY(), source->GetCalibrationZ(), source->GetBounds(), spacing);
                itsScaleUnitLength = spacing[0];
            } catch (const XException&) {
                // Data without a usable calibration shows no scale; the rest of the scene stands.
                itsScaleUnitLength = 0.0f;
            }
        }
        itsFeedbackParentNode.SetPosition(XMathVectorF3(0.5f, 0.5f, 0.5f));
        if (X3DSceneNode* volume = GetVolumeNode()) {
            volume->AddChild(itsVolumeScale);
            volume->AddChild(itsFeedbackParentNode);
        }
    }
    itsHasGraphicsResources = true;
    itsSceneRoot.LoadGraphicsResources(inGC);
}

void X3DBaseRenderer::InitialiseSceneGraphSelf(X3DGC&, X3DSceneNode&, X3DSceneNode&) {}

void X3DBaseRenderer::MakeFloor()
{
    auto floor = std::make_unique<X3DFloorNode>();
    floor->SetRotation(XQuaternion::MakeFromAxisAngle(XMathVectorF3(1, 0, 0), 1.5707964));
    floor->SetScale(XMathVectorF3(10, 10, 1));
    floor->SetPosition(XMathVectorF3(0, float(GetAppliedStateValue(kSceneStateFloorHeight)(0, 0)), 0));
    floor->SetVisible(GetAppliedStateValue(kSceneStateFloor)(0, 0) != 0.0);
    floor->SetColour(OpaqueColour(GetAppliedStateValue(kSceneStateFloorColour)));
    floor->SetChecked(Get3DGC(), GetAppliedStateValue(kSceneStateFloorChecked)(0, 0) != 0.0);
    itsFloor = std::move(floor);
    itsSceneRoot.AddChild(*itsFloor);
}

void X3DBaseRenderer::SetVolumeQualitySelf(uint32_t) {}

// ---- Scene state ---------------------------------------------------------------

bool X3DBaseRenderer::IsUsableStateValue(XRendererStateName inName, const X3DMatrix& inValue)
{
    if (inValue.IsEmpty() || !AllFinite(inValue))
        return false;
    switch (inName) {
    case kSceneStateCamera:
        return inValue.IsSquare(4) && X3DCamera().SetFromMatrix(inValue);
    case kSceneStateRotation:
        return inValue.IsSquare(3);
    case kSceneStateVolumePosition:
    case kSceneStateLightPosition:
        return inValue.IsColumnVector(3);
    case kSceneStateFloorColour:
    case kSceneStateBackgroundColour:
    case kSceneStateOverlayColour:
    case kSceneStateTimestampColour:
        return inValue.IsColumnVector(4);
    default:
        return true;
    }
}

void X3DBaseRenderer::SetSceneStateSelf(const XRendererSceneState& inState)
{
    // Applied in this order; the others are only kept for the frames that read them.
    static constexpr std::array<XRendererStateName, 14> kApplied{kSceneStateCamera, kSceneStateVolumePosition,
        kSceneStateRotation, kSceneStateFloorColour, kSceneStateFloor, kSceneStateFloorHeight,
        kSceneStateFloorChecked, kSceneStateBackgroundColour, kSceneStateOrientator, kSceneStateLightPosition,
        kSceneStateVolumeScale, kSceneStateOverlayColour, kSceneStateRelativeTimestamp, kSceneStateUserInteraction};
    static constexpr std::array<XRendererStateName, 4> kKept{
        kSceneStateTimestamp, kSceneStateTimestampColour, kSceneStateScaleText, kSceneStateStereoMode};
    {
        XLock lock(itsRenderMutex);
        auto take = [&](XRendererStateName inName) -> const X3DMatrix* {
            if (!inState.HasStateAndEnabled(inName, 0))
                return nullptr;
            const X3DMatrix& value = inState.GetState(inName, 0);
            if (!IsUsableStateValue(inName, value))
                return nullptr;
            itsAppliedState.SetStateAndEnable(inName, value, 0);
            return &value;
        };
        for (XRendererStateName name : kKept)
            take(name);
        for (XRendererStateName name : kApplied)
            if (const X3DMatrix* value = take(name))
                ApplyState(name, *value);
    }
    RefreshRenderer();
}

void X3DBaseRenderer::ApplyState(XRendererStateName inName, const X3DMatrix& inValue)
{
    const double first = inValue(0, 0);
    switch (inName) {
    case kSceneStateCamera: {
        X3DCamera camera = X3DCamera::MakeFromRendererSceneState(itsAppliedState);
        camera.SetViewport(itsCamera.GetViewport());
        itsCamera = camera;
        break;
    }
    case kSceneStateVolumePosition:
        if (X3DSceneNode* volume = GetVolumeNode())
            volume->SetPosition(VectorOf(inValue));
        break;
    case kSceneStateRotation:
        itsWorldNode.SetRotation(XQuaternion::MakeFromRotationMatrix(inValue));
        break;
    case kSceneStateFloorColour:
        if (itsFloor)
            itsFloor->SetColour(OpaqueColour(inValue));
        break;
    case kSceneStateFloor:
        if (itsFloor)
            itsFloor->SetVisible(first != 0.0);
        break;
    case kSceneStateFloorHeight:
        if (itsFloor)
            itsFloor->SetPosition(XMathVectorF3(0, float(first), 0));
        break;
    case kSceneStateFloorChecked:
        if (itsFloor) {
            X3DGC& gc = Get3DGC();
            X3DGCScopedLock lock(gc);
            itsFloor->SetChecked(gc, first != 0.0);
        }
        break;
    case kSceneStateBackgroundColour:
        itsBackgroundColour = OpaqueColour(inValue);
        break;
    case kSceneStateOrientator:
        if (first != 0.0 && !itsOrientator) {
            itsOrientator = std::make_unique<X3DOrientator>();
        } else if (first == 0.0 && itsOrientator) {
            X3DGC& gc = Get3DGC();
            X3DGCScopedLock lock(gc);
            itsOrientator->UnloadGraphicsResources(gc);
            itsOrientator.reset();
        }
        break;
    case kSceneStateLightPosition:
        itsLightPosition = VectorOf(inValue);
        itsLightMarker.SetPosition(itsLightPosition);
        break;
    case kSceneStateVolumeScale:
        itsVolumeScale.SetVisible(first != 0.0);
        break;
    case kSceneStateOverlayColour:
        itsOverlayTextColour = OpaqueColour(inValue);
        break;
    case kSceneStateRelativeTimestamp:
        UpdateTimestampString();
        break;
    case kSceneStateUserInteraction:
        itsUserInteracting = first == 1.0;
        itsRotationBall.SetVisible(itsUserInteracting);
        break;
    default:
        break;
    }
}

bool X3DBaseRenderer::IsSceneStateSupportedSelf(XRendererStateName inName) const
{
    switch (inName) {
    case kSceneStateCamera:
    case kSceneStateRotation:
    case kSceneStateUserInteraction:
    case kSceneStateFloor:
    case kSceneStateOrientator:
    case kSceneStateFloorChecked:
    case kSceneStateFloorColour:
    case kSceneStateFloorHeight:
    case kSceneStateStereoMode:
        return true;
    default:
        return false;
    }
}

X3DMatrix X3DBaseRenderer::GetAppliedStateValue(XRendererStateName inName) const
{
    XLock lock(itsRenderMutex);
    if (itsAppliedState.HasStateAndEnabled(inName, 0))
        return itsAppliedState.GetState(inName, 0);
    return GetDefaultSceneStateValue(inName, 0);
}

bool X3DBaseRenderer::HasAppliedState(XRendererStateName inName) const
{
    XLock lock(itsRenderMutex);
    return itsAppliedState.HasStateAndEnabled(inName, 0);
}

void X3DBaseRenderer::SetCurrentTimepointSelf(uint32_t)
{
    UpdateTimestampString();
    RefreshRenderer();
}

void X3DBaseRenderer::UpdateTimestampString()
{
    XLock lock(itsRenderMutex);
    itsTimestampText = kNoTimestamp;
    try {
        const uint32_t timepoint = GetCurrentTimepoint();
        const boost::shared_ptr<XImageDataSource>& source = GetDataSource();
        if (timepoint == 0 || !source)
            return;
        const XTime time = source->GetTimepointTime(timepoint);
        // A relative time is a span, so it is shown as one rather than as a clock time.
        if (GetAppliedStateValue(kSceneStateRelativeTimestamp)(0, 0) == 1.0)
            itsTimestampText = (time - source->GetStartTime()).GetDurationString();
        else
            itsTimestampText = time.GetTimeString(false);
    } catch (...) {
        // The text stays as far as it got: a missing time is no reason to fail a frame.
    }
}

XString X3DBaseRenderer::GetTimestampText() const
{
    XLock lock(itsRenderMutex);
    return itsTimestampText;
}

XString X3DBaseRenderer::GetScaleText() const
{
    return XString("1 Unit = %1 µm").Replace(XString::FromFloat64(itsScaleUnitLength, 1));
}

// ---- Frames --------------------------------------------------------------------

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

// ---- Export --------------------------------------------------------------------

XRect X3DBaseRenderer::GetMaxRenderToImageBounds() const
{
    const X3DGC::XDeviceInfo& info = Get3DGC().GetDeviceInfo();
    const auto side = int32_t(std::min<uint32_t>(info.maxTextureSize, uint32_t(INT32_MAX)));
    return XRect(0, 0, side, side).Intersection(info.maxViewportBounds).Intersection(info.maxRenderBufferBounds);
}

XVolume* X3DBaseRenderer::RenderToImageSelf(const XRect& inRect, XRenderingIntent inIntent)
{
    XLock renderLock(itsRenderMutex);
    const XRect maximum = GetMaxRenderToImageBounds();
    if (inRect.GetWidth() > maximum.GetWidth() || inRect.GetHeight() > maximum.GetHeight())
        throw XException(XException::kExportTooLarge,
            XString("An image of %1 x %2 pixels is larger than this graphics device can render (at most %3 x %4); "
                    "choose a smaller size.")
                .Replace(int64_t(inRect.GetWidth()))
                .Replace(int64_t(inRect.GetHeight()))
                .Replace(int64_t(maximum.GetWidth()))
                .Replace(int64_t(maximum.GetHeight())));
    XIdleSuspension idle;
    const auto width = uint32_t(inRect.GetWidth()), height = uint32_t(inRect.GetHeight());
    const XRect bounds(0, 0, int32_t(width), int32_t(height));
    std::unique_ptr<XVolume> image;
    {
        X3DGC& gc = Get3DGC();
        X3DGCScopedLock lock(gc);
        const bool markerShown = itsLightMarker.IsVisible();
        itsLightMarker.SetVisible(false);
        XScopeExit restoreMarker([&] { itsLightMarker.SetVisible(markerShown); });
        // Other threads' devices are not the one DestroyTargets releases with: their
        // targets go with the export.
        const bool keep = XThread::IsMainThread();
        XExportTargets made;
        XExportTargets& targets = keep ? itsExportTargets : made;
        bool done = false;
        XScopeExit release([&] {
            if (!keep || !done)
                targets.Destroy(gc);
        });
        if (targets.width != width || targets.height != height) {
            targets.Destroy(gc);
            targets.Make(gc, width, height);
            if (keep)
                itsHasGraphicsResources = true; // so that ReleaseGraphicsResources frees them
        }
        SetVolumeQualitySelf(1);
        XScopeExit restoreQuality([&] { SetVolumeQualitySelf(0); });
        if (targets.second) {
            RenderToTarget(gc, *targets.second, bounds, inIntent, XMatrix_4x4<float>());
            FlipTextureToTarget(*targets.texture, *targets.first);
            image = targets.first->MakeVolume();
        } else {
            RenderToTarget(gc, *targets.first, bounds, inIntent, XMatrix_4x4<float>());
            image = targets.first->MakeVolume();
            XFlipVVolumeTool::Flip(*image);
        }
        done = true;
    }
    if (inIntent != kRenderingIntentFinal)
        if (auto* picture = dynamic_cast<XBGRA32Volume*>(image.get())) {
            const XBGRA32Volume rendered(*picture);
            XGC gc(*picture);
            DrawToCanvas(gc, rendered, bounds);
            gc.Flush();
        }
    return image.release();
}

void X3DBaseRenderer::XExportTargets::Make(X3DGC& inGC, uint32_t inWidth, uint32_t inHeight)
{
    first = std::make_unique<X3DGCOffscreenTarget>(inGC, inWidth, inHeight);
    width = inWidth;
    height = inHeight;
    if (!first->IsRenderToTextureSupported())
        return;
    first->SetSingleSample(); // it only receives the flipped copy, as in DrawCanvas3D
    texture = std::make_unique<XTexture2D>(inGC, inWidth, inHeight, X3DGC::kBGRA32);
    second = std::make_unique<X3DGCOffscreenTarget>(inGC, inWidth, inHeight);
    second->AttachTexture(*texture);
}

void X3DBaseRenderer::XExportTargets::Destroy(X3DGC& inGC)
{
    for (std::unique_ptr<X3DGCOffscreenTarget>* target : {&second, &first})
        if (*target) {
            (*target)->Destroy(inGC);
            target->reset();
        }
    if (texture)
        texture.release()->Destroy(inGC); // deletes itself
    width = height = 0;
}

// ---- Overlays ------------------------------------------------------------------

void X3DBaseRenderer::DrawCornerText(XGC& inGC, const XString& inText, const XRect& inBounds, bool inTop,
    const XARGB32Colour& inColour)
{
    const XGC::XTextSize size = inGC.MeasureText(inText);
    const double boxWidth = size.width + 12.0, boxHeight = size.height + 12.0;
    const double left = inTop ? inBounds.GetRight() - 12.0 - size.width : inBounds.GetRight() - boxWidth;
    const double top = inTop ? inBounds.GetTop() + 12.0 : inBounds.GetBottom() - boxHeight;
    // A text that would cross the left or top edge is left out rather than cut.
    if (left < inBounds.GetLeft() || top < inBounds.GetTop())
        return;
    inGC.SetFillColour(inColour);
    if (inTop)
        inGC.DrawTextA(inText, left, top);
    else
        inGC.DrawTextA(inText, left + 6.0, top + 6.0);
}

void X3DBaseRenderer::DrawToCanvas(XGC& inGC, const XVolume& inImage, const XRect& inBounds)
{
    inGC.DrawImage(inImage, inBounds, 1.0);
    inGC.SetFont(XGCFont::MakeStandard(XGCFont::kFaceOverlay));
    if (itsVolumeScale.IsVisible() && GetAppliedStateValue(kSceneStateScaleText)(0, 0) == 1.0)
        DrawCornerText(inGC, GetScaleText(), inBounds, false, itsOverlayTextColour);
    if (HasAppliedState(kSceneStateTimestamp) && GetAppliedStateValue(kSceneStateTimestamp)(0, 0) != 0.0) {
        const XARGB32Colour colour = HasAppliedState(kSceneStateTimestampColour)
            ? GetColourFromStateValue(GetAppliedStateValue(kSceneStateTimestampColour), XARGB32Colour::kWhite)
            : XARGB32Colour::kWhite;
        DrawCornerText(inGC, GetTimestampText(), inBounds, true, colour);
    }
}

// ---- Canvas and container ------------------------------------------------------

void X3DBaseRenderer::AttachContainerSelf(XRendererPane& inPane)
{
    its3DPane.reset(inPane.MakeChildCanvas("XRealtime3DRenderer"));
    itsKeyDownAttachment = std::make_unique<XRendererKeyDownCanvasAttachment>(inPane.GetRenderingView());
    itsTextOverlay = std::make_unique<XTextOverlayCanvasAttachment>();
    itsPlaceholderText = std::make_unique<XPlaceholderTextCanvasAttachment>();
    its3DPane->AddCanvasAttachment(itsKeyDownAttachment.get());
    its3DPane->AddCanvasAttachment(this);
    its3DPane->AddCanvasAttachment(itsTextOverlay.get());
    itsTextOverlay->SetVisible(true);
    its3DPane->AddCanvasAttachment(itsPlaceholderText.get());
    itsPlaceholderText->Hide();
    if (itsToolAttachment)
        its3DPane->AddCanvasAttachment(itsToolAttachment.get());
}

void X3DBaseRenderer::DetachContainerSelf(XRendererPane&)
{
    ReleaseGraphicsResources();
    {
        XLock lock(itsRenderMutex);
        if (itsOrientator) {
            X3DGC& gc = Get3DGC();
            X3DGCScopedLock deviceLock(gc);
            itsOrientator->UnloadGraphicsResources(gc);
            itsOrientator.reset();
        }
        itsDisplayedImage.reset();
    }
    DestroyToolAttachment();
    if (its3DPane) {
        its3DPane->RemoveCanvasAttachment(this);
        its3DPane.reset();
    }
    itsKeyDownAttachment.reset();
    itsTextOverlay.reset();
    itsPlaceholderText.reset();
}

void X3DBaseRenderer::HandleContainerSizeChanged(const XRect& inBounds)
{
    X_ASSERT_TEXT(its3DPane, "its3DPane");
    if (!its3DPane)
        return;
    its3DPane->MovePane(inBounds.GetTopLeft());
    its3DPane->ResizePane(inBounds.GetWidth(), inBounds.GetHeight());
}

XEventResult X3DBaseRenderer::HandleSize(const XRect&)
{
    UpdateViewport();
    {
        XLock lock(itsRenderMutex);
        itsDisplayedImage.reset();
    }
    RefreshRenderer();
    return kEventHandled;
}

void X3DBaseRenderer::UpdateViewport()
{
    XLock lock(itsRenderMutex);
    if (!itsFlipTarget && !itsReadBackTarget && !itsFlipTexture && !itsExportTargets.first)
        return;
    X3DGC& gc = Get3DGC();
    X3DGCScopedLock deviceLock(gc);
    DestroyTargets(gc);
}

void X3DBaseRenderer::DestroyTargets(X3DGC& inGC)
{
    if (itsFlipTarget) {
        itsFlipTarget->Destroy(inGC);
        itsFlipTarget.reset();
    }
    if (itsReadBackTarget) {
        itsReadBackTarget->Destroy(inGC);
        itsReadBackTarget.reset();
    }
    if (itsFlipTexture)
        itsFlipTexture.release()->Destroy(inGC); // deletes itself
    itsExportTargets.Destroy(inGC);
}

void X3DBaseRenderer::RefreshRendererSelf(bool inImmediate)
{
    // A refresh asked for while this thread's device is drawing must not start a frame
    // inside the frame.
    if (inImmediate && Get3DGC().GetCurrentRenderTarget() != nullptr)
        return;
    itsNeedsRedraw = true;
    if (its3DPane)
        its3DPane->RedrawCanvas(inImmediate);
}

void X3DBaseRenderer::ShowPlaceholder(const XString& inReason)
{
    if (!itsPlaceholderText)
        return;
    itsPlaceholderText->SetText(inReason);
    itsPlaceholderText->Show();
}

// ---- Messages ------------------------------------------------------------------

void X3DBaseRenderer::SetErrorMessageSelf(const XString& inText)
{
    if (itsTextOverlay)
        itsTextOverlay->SetErrorText(inText);
}

void X3DBaseRenderer::AddCustomMessageSelf(uint32_t inID, const XString& inText, uint32_t inIcon)
{
    X_ASSERT(itsTextOverlay);
    if (itsTextOverlay)
        itsOverlayMessageIDs[inID] = itsTextOverlay->AddCustomMessage(inText, inIcon, XARGB32Colour::kBlack);
}

void X3DBaseRenderer::SetCustomMessageSelf(uint32_t inID, const XString& inText, uint32_t inIcon)
{
    X_ASSERT(itsTextOverlay);
    auto found = itsOverlayMessageIDs.find(inID);
    if (itsTextOverlay && found != itsOverlayMessageIDs.end())
        itsTextOverlay->SetCustomMessage(found->second, inText, inIcon, XARGB32Colour::kBlack);
}

void X3DBaseRenderer::RemoveCustomMessageSelf(uint32_t inID)
{
    X_ASSERT(itsTextOverlay);
    auto found = itsOverlayMessageIDs.find(inID);
    if (found == itsOverlayMessageIDs.end())
        return;
    if (itsTextOverlay)
        itsTextOverlay->RemoveCustomMessage(found->second);
    itsOverlayMessageIDs.erase(found);
}

void X3DBaseRenderer::AddProgressSpeakerSelf(XSpeaker& inSpeaker)
{
    X_ASSERT(itsTextOverlay);
    if (itsTextOverlay)
        itsTextOverlay->AddProgressSpeaker(inSpeaker);
}

void X3DBaseRenderer::RemoveProgressSpeakerSelf(XSpeaker& inSpeaker)
{
    X_ASSERT(itsTextOverlay);
    if (itsTextOverlay)
        itsTextOverlay->RemoveProgressSpeaker(inSpeaker);
}

// ---- Toolbar -------------------------------------------------------------------

XVector<XToolbarItemID> X3DBaseRenderer::GetSupportedToolbarItemsSelf() const { return {21, 22, 14, 15, 20}; }

void X3DBaseRenderer::DoRendererToolbarCommandSelf(XToolbarCommandID inCommand, XVolumeSelectionProtocol*)
{
    DestroyToolAttachment();
    if (X3DCanvasToolFactory* factory = X3DCanvasToolFactory::Get()) {
        XCanvasAttachment* tool = nullptr;
        switch (inCommand) {
        case kCommandDolly:
            tool = factory->MakeTrackBallTool(*this, X3DCanvasToolFactory::kRotateDolly);
            break;
        case kCommandPan:
            tool = factory->MakeVolumePanTool(*this);
            break;
        case kCommandLight:
            tool = factory->MakeLightTool(*this, itsLightBall);
            break;
        case kCommandRevolve:
            tool = factory->MakeTrackBallTool(*this, X3DCanvasToolFactory::kRotateCamera);
            break;
        default:
            tool = factory->MakeTrackBallTool(*this, X3DCanvasToolFactory::kRotateVolume);
            break;
        }
        itsToolAttachment.reset(tool);
        if (tool && its3DPane)
            its3DPane->AddCanvasAttachment(tool);
    }
    {
        XLock lock(itsRenderMutex);
        itsLightMarker.SetVisible(inCommand == kCommandLight);
    }
    PostToolbarCommand();
}

void X3DBaseRenderer::PostToolbarCommand() { RefreshRenderer(); }

void X3DBaseRenderer::DestroyToolAttachment()
{
    if (!itsToolAttachment)
        return;
    if (XCanvasPaneBase* pane = itsToolAttachment->GetCanvasPane())
        pane->RemoveCanvasAttachment(itsToolAttachment.get());
    itsToolAttachment.reset();
}

// ---- Feedback ------------------------------------------------------------------

XSet<uint32_t> X3DBaseRenderer::GetSupportedFeedbackTypes() const { return {kFeedbackType}; }

XPtrVector<XMeasurementFeedback> X3DBaseRenderer::MakeFeedback(XVersion inMeasurementType,
    const XMeasurementsFeedbackHelper& inHelper)
{
    enum XKind { kCentroid, kPolyLine, kPoint, kTrack };
    // Regions (1463): their surfaces are shown by the volume node, their centroids here.
    static constexpr std::pair<uint32_t, XKind> kKinds[] = {
        {1463, kCentroid}, {1464, kPolyLine}, {1465, kPoint}, {1488, kPoint}, {1466, kTrack}};
    XPtrVector<XMeasurementFeedback> made;
    const XMeasurementsFeedbackHelper::XDisplayOptions options = inHelper.GetDisplayOptions(inMeasurementType.GetType());
    for (const auto& [type, kind] : kKinds) {
        if (!inMeasurementType.IsA(XVersion(type)))
            continue;
        switch (kind) {
        case kCentroid: {
            // The data is shown at its own resolution: a region's mask is sampled voxel for voxel.
            const float scaling[3] = {1.0f, 1.0f, 1.0f};
            made.push_back(new X3DRegionMeasurementFeedback(scaling, &inHelper));
            made.push_back(new X3DCentroidFeedback(options));
            break;
        }
        case kPolyLine:
            made.push_back(new X3DPolyLineFeedback(options));
            break;
        case kPoint:
            made.push_back(new X3DPointFeedback(options));
            break;
        case kTrack:
            made.push_back(new X3DTrackFeedback(options));
            break;
        }
        break;
    }
    return made;
}

void X3DBaseRenderer::AddFeedbackItem(XMeasurementFeedback* inItem)
{
    {
        XLock lock(itsRenderMutex);
        XRenderer::AddFeedbackItem(inItem);
        auto* regions = dynamic_cast<X3DRegionMeasurementFeedback*>(inItem);
        auto* volume = dynamic_cast<X3DVolumeNode*>(GetVolumeNode());
        if (regions && volume && !itsRegionMeshes.contains(inItem))
            itsRegionMeshes[inItem] = regions->MakeIsoMesh(*volume);
        auto* feedback = dynamic_cast<X3DSceneFeedback*>(inItem);
        if (feedback && !itsFeedbackNodes.contains(inItem)) {
            X3DSceneNode& node = feedback->GetSceneNode();
            GetFeedbackParentNode()->AddChild(node);
            itsFeedbackNodes[inItem] = &node;
        }
    }
    if (XThread::IsMainThread())
        RefreshRenderer();
}

void X3DBaseRenderer::RemoveFeedbackItem(XMeasurementFeedback* inItem)
{
    {
        XLock lock(itsRenderMutex);
        XRenderer::RemoveFeedbackItem(inItem);
        if (auto mesh = itsRegionMeshes.find(inItem); mesh != itsRegionMeshes.end()) {
            X3DGC& gc = Get3DGC();
            X3DGCScopedLock deviceLock(gc);
            if (X3DVolumeNode* owner = mesh->second->GetOwner())
                owner->RemoveIsoData(mesh->second.get());
            mesh->second->UnloadGraphicsResources(gc);
            itsRegionMeshes.erase(mesh);
        }
        auto found = itsFeedbackNodes.find(inItem);
        if (found != itsFeedbackNodes.end()) {
            X3DSceneNode& node = *found->second;
            if (X3DSceneNode* parent = node.GetParent())
                parent->RemoveChild(node);
            X3DGC& gc = Get3DGC();
            X3DGCScopedLock deviceLock(gc);
            node.UnloadGraphicsResources(gc);
            itsFeedbackNodes.erase(found);
        }
    }
    if (XThread::IsMainThread())
        RefreshRenderer();
}

void X3DBaseRenderer::UpdateROISelectionFeedback() { RefreshRenderer(); }

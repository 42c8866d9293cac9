#include "X3DBaseRenderer.h"
#include "X3DBaseRendererParts.h"

#include "X3DFloorNode.h"
#include "X3DGC.h"
#include "X3DGCOffscreenTarget.h"
#include "X3DGCScopedLock.h"
#include "X3DOrientator.h"
#include "X3DRegionFeedbackIsoMesh.h"
#include "X3DSceneNodeDepthStateAttachment.h"
#include "XBGRA32Volume.h"
#include "XCanvasPaneBase.h"
#include "XException.h"
#include "XImageDataSource.h"
#include "XLock.h"
#include "XPlaceholderTextCanvasAttachment.h"
#include "XRendererKeyDownCanvasAttachment.h"
#include "XTextOverlayCanvasAttachment.h"
#include "XTexture2D.h"

using namespace X3DBaseRendererParts;

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

        CalibrateVolumeScale();
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

void X3DBaseRenderer::CalibrateVolumeScale()
{
    const boost::shared_ptr<XImageDataSource>& source = GetDataSource();
    if (!source)
        return;
    try {
        XMathVectorF3 spacing;
        itsVolumeScale.CalibrateForDimension(kScaleIntervals, source->GetCalibrationX(), source->GetCalibrationY(),
            source->GetCalibrationZ(), source->GetBounds(), spacing);
        itsScaleUnitLength = spacing[0];
    } catch (const XException&) {
        // Data without a usable calibration shows no scale (neither the last data's grid
        // nor a unit of 0 µm); the rest of the scene stands.
        itsScaleUnitLength = 0.0f;
    }
    itsVolumeScale.SetVisible(GetAppliedStateValue(kSceneStateVolumeScale)(0, 0) != 0.0 && itsScaleUnitLength > 0.0f);
}

void X3DBaseRenderer::HandleImageDataChangedSelf()
{
    // New data may come with other voxel sizes or extents.
    XLock lock(itsRenderMutex);
    CalibrateVolumeScale();
}

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

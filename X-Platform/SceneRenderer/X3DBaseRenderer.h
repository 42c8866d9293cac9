#pragma once
// The base of the renderers that draw a scene graph through the graphics device. It
// shows itself in a canvas of its own, keeps one device per thread, holds the scene's
// fixed furniture (floor, trackball decorations, light marker, volume scale,
// orientation marker) into which a subclass puts its content, turns the scene state
// into node settings, and makes frames: on screen through an offscreen target read
// back into an image painted with 2D overlays, and on request as a new image for
// export, in mono or red/cyan stereo.
//
// Frames, exports, scene-state changes and feedback changes are serialised by the
// render mutex. A frame reads the scene state as last applied (values that were not
// usable are left out), so an export on a job thread sees one whole scene.
//
// The renderer is the top node of its own scene through a private base, so inside a
// subclass the node class is named ::X3DSceneNode.
#include "X3DCamera.h"
#include "X3DGCThreadPool.h"
#include "X3DLightDisplayNode.h"
#include "X3DSceneNode.h"
#include "X3DTickBall.h"
#include "X3DVolumeScale.h"
#include "XCanvasAttachment.h"
#include "XMutex.h"
#include "XRenderer.h"
#include "XRendererSceneState.h"
#include "XString.h"
#include "XVersion.h"
#include "XVolumeLevelScalingHelper.h"

#include <atomic>
#include <map>
#include <memory>

class X3DFloorNode;
class X3DGC;
class X3DGCOffscreenTarget;
class X3DOrientator;
class X3DRegionFeedbackIsoMesh;
class XBGRA32Volume;
class XCanvasPaneBase;
class XGC;
class XPlaceholderTextCanvasAttachment;
class XRendererKeyDownCanvasAttachment;
class XTextOverlayCanvasAttachment;
class XTexture2D;
class XVolume;

class X3DBaseRenderer : public XRenderer, public XCanvasAttachment, private X3DSceneNode {
public:
    // The feedback type the renderer shows: '3', 'D', 'x', 'R'.
    static constexpr uint32_t kFeedbackType = 0x33447852;
    // Toolbar commands that choose a tool; any other command gives the volume trackball.
    enum XToolCommand : uint32_t { kCommandDolly = 5516, kCommandPan = 5518, kCommandLight = 5524, kCommandRevolve = 5526 };
    // The volume scale spans the data's longest side in this many units.
    static constexpr unsigned long kScaleIntervals = 10;

    explicit X3DBaseRenderer(const boost::shared_ptr<XImageDataSource>& inSource);
    ~X3DBaseRenderer() override;

    // The calling thread's device, made on first use.
    X3DGC& Get3DGC();
    const X3DGC& Get3DGC() const;
    X3DGCThreadPool& GetContextPool() { return itsDevicePool; }
    XCanvasAttachment* GetCanvasAttachment() const { return itsToolAttachment.get(); }
    // Redraws: at once when inImmediate.
    void RefreshScene(bool inImmediate) override;
    // Renders the scene into inBounds of the target with the device (mono or stereo as
    // state 28 says), its projection the camera's times inPrefix.
    void RenderToTarget(X3DGC& inGC, X3DGCOffscreenTarget& inOutTarget, const XRect& inBounds, XRenderingIntent inIntent,
        const XMatrix_4x4<float>& inPrefix);

    XRect GetMaxRenderToImageBounds() const override;
    bool CanThreadRenderToImage() const override { return true; }
    XCanvasPaneBase* GetRendererCanvasPane() const override { return its3DPane.get(); }
    void HandleContainerSizeChanged(const XRect& inBounds) override;
    XSet<uint32_t> GetSupportedFeedbackTypes() const override;
    XPtrVector<XMeasurementFeedback> MakeFeedback(XVersion inMeasurementType,
        const XMeasurementsFeedbackHelper& inHelper) override;
    void AddFeedbackItem(XMeasurementFeedback* inItem) override;
    void RemoveFeedbackItem(XMeasurementFeedback* inItem) override;
    void UpdateROISelectionFeedback() override;

    XEventResult DrawCanvas(XGC& inGC) override;
    XEventResult HandleSize(const XRect& inBounds) override;

    // What the canvas shows: the last frame (null before the first or after a failed
    // one), the placeholder and the overlay text, and the scale and time stamp texts.
    const XBGRA32Volume* GetDisplayedImage() const { return itsDisplayedImage.get(); }
    const XPlaceholderTextCanvasAttachment* GetPlaceholder() const { return itsPlaceholderText.get(); }
    const XTextOverlayCanvasAttachment* GetTextOverlay() const { return itsTextOverlay.get(); }
    XString GetScaleText() const;
    XString GetTimestampText() const;
    float GetScaleUnitLength() const { return itsScaleUnitLength; }
    const X3DCamera& GetCamera() const { return itsCamera; }
    XARGB32Colour GetBackgroundColour() const { return itsBackgroundColour; }
    bool IsLightMarkerVisible() const { return itsLightMarker.IsVisible(); }
    // Shown when asked for and the data's voxel sizes give it a unit.
    bool IsVolumeScaleVisible() const { return itsVolumeScale.IsVisible(); }
    bool HasOrientator() const { return itsOrientator != nullptr; }
    X3DSceneNode& GetWorldNode() { return itsWorldNode; }
    // True while a canvas tool drags; the tools set it around each drag.
    bool IsUserInteracting() const { return itsUserInteracting; }
    void SetUserInteracting(bool inInteracting) { itsUserInteracting = inInteracting; }
    X3DFloorNode* GetFloor() const { return itsFloor.get(); }

protected:
    virtual void PostToolbarCommand();
    // Renders a new frame of the canvas's size into the displayed image.
    virtual void DrawCanvas3D();
    // Drops the targets and the flip texture; the next frame makes them at the new size.
    virtual void UpdateViewport();
    // Where a subclass adds its content below the world node (device locked).
    virtual void InitialiseSceneGraphSelf(X3DGC& inGC, X3DSceneNode& inRoot, X3DSceneNode& inWorld);
    virtual void RenderToTargetSelf(X3DGC& inGC, X3DGCOffscreenTarget& inOutTarget, const XRect& inBounds,
        XRenderingIntent inIntent, const XMatrix_4x4<float>& inPrefix);
    // The subclass's volume node, or null; the volume scale and feedback hang below it.
    virtual X3DSceneNode* GetVolumeNode() = 0;
    virtual X3DSceneNode* GetFeedbackParentNode() { return &itsFeedbackParentNode; }
    // The render quality of the volume node: 1 for exports, 0 otherwise.
    virtual void SetVolumeQualitySelf(uint32_t inQuality);

    void InitialiseSelf() override;
    void SetCurrentTimepointSelf(uint32_t inTimepoint) override;
    // Recalibrates the volume scale for the new data.
    void HandleImageDataChangedSelf() override;
    void RefreshRendererSelf(bool inImmediate) override;
    XVolume* RenderToImageSelf(const XRect& inRect, XRenderingIntent inIntent) override;
    void AttachContainerSelf(XRendererPane& inPane) override;
    void DetachContainerSelf(XRendererPane& inPane) override;
    void SetSceneStateSelf(const XRendererSceneState& inState) override;
    bool IsSceneStateSupportedSelf(XRendererStateName inName) const override;
    void SetErrorMessageSelf(const XString& inText) override;
    void AddCustomMessageSelf(uint32_t inID, const XString& inText, uint32_t inIcon) override;
    void SetCustomMessageSelf(uint32_t inID, const XString& inText, uint32_t inIcon) override;
    void RemoveCustomMessageSelf(uint32_t inID) override;
    void AddProgressSpeakerSelf(XSpeaker& inSpeaker) override;
    void RemoveProgressSpeakerSelf(XSpeaker& inSpeaker) override;
    XVector<XToolbarItemID> GetSupportedToolbarItemsSelf() const override;
    void DoRendererToolbarCommandSelf(XToolbarCommandID inCommand, XVolumeSelectionProtocol* inSelection) override;

    const XVolumeLevelScalingHelper& GetVolumeScalingHelper() const { return itsVolumeScaling; }
    void InitialiseSceneGraph(X3DGC& inGC);
    void MakeFloor();
    void UpdateTimestampString();
    XSceneRenderState GetFrameRenderState(const XRect& inBounds, XRenderingIntent inIntent) const;
    void FlipTextureToTarget(XTexture2D& inTexture, X3DGCOffscreenTarget& inOutTarget);
    void DrawToCanvas(XGC& inGC, const XVolume& inImage, const XRect& inBounds);
    void DestroyToolAttachment();
    // The value of a state as last applied, else its default.
    X3DMatrix GetAppliedStateValue(XRendererStateName inName) const;
    bool HasAppliedState(XRendererStateName inName) const;
    XMutex& GetRenderMutex() { return itsRenderMutex; }
    // Releases the scene's and the frames' device objects (a subclass calls it before
    // its own nodes go); the destructor does it for what is left.
    void ReleaseGraphicsResources();

private:
    class XIdleSuspension;
    // Whether a value has the shape and finite numbers the state needs.
    static bool IsUsableStateValue(XRendererStateName inName, const X3DMatrix& inValue);
    void ApplyState(XRendererStateName inName, const X3DMatrix& inValue);
    void ShowPlaceholder(const XString& inReason);
    // Fits the volume scale to the data's voxel sizes and bounds (render mutex held).
    void CalibrateVolumeScale();
    void DestroyTargets(X3DGC& inGC);
    // Draws one text box in the bottom-right or top-right corner when it fits in inBounds.
    static void DrawCornerText(XGC& inGC, const XString& inText, const XRect& inBounds, bool inTop,
        const XARGB32Colour& inColour);

    // The targets of an export: with render-to-texture the scene goes into the texture
    // through the second target and is flipped into the first, else straight into the first.
    struct XExportTargets {
        uint32_t width = 0, height = 0;
        std::unique_ptr<X3DGCOffscreenTarget> first, second;
        std::unique_ptr<XTexture2D> texture;
        void Make(X3DGC& inGC, uint32_t inWidth, uint32_t inHeight);
        void Destroy(X3DGC& inGC);
    };

    mutable X3DGCThreadPool itsDevicePool;
    // Kept from one main-thread export to the next of the same size (movie frames), as
    // making multisampled targets costs more than drawing into them.
    XExportTargets itsExportTargets;
    std::unique_ptr<X3DGCOffscreenTarget> itsFlipTarget;
    std::unique_ptr<XTexture2D> itsFlipTexture;
    std::unique_ptr<X3DGCOffscreenTarget> itsReadBackTarget;
    X3DCamera itsCamera;
    X3DSceneNode itsSceneRoot;
    X3DSceneNode itsWorldNode;
    X3DSceneNode itsFeedbackParentNode;
    std::unique_ptr<X3DFloorNode> itsFloor;
    XARGB32Colour itsBackgroundColour = XARGB32Colour::kBlack;
    std::unique_ptr<XCanvasPaneBase> its3DPane;
    std::unique_ptr<XBGRA32Volume> itsDisplayedImage;
    std::unique_ptr<XCanvasAttachment> itsToolAttachment;
    std::unique_ptr<X3DOrientator> itsOrientator;
    X3DTickBall itsRotationBall;
    X3DTickBall itsLightBall;
    X3DVolumeScale itsVolumeScale;
    XARGB32Colour itsOverlayTextColour = XARGB32Colour::kWhite;
    float itsScaleUnitLength = 0.0f;
    XString itsTimestampText;
    X3DLightDisplayNode itsLightMarker;
    XMathVectorF3 itsLightPosition;
    std::atomic<bool> itsNeedsRedraw{true};
    std::unique_ptr<XPlaceholderTextCanvasAttachment> itsPlaceholderText;
    std::unique_ptr<XTextOverlayCanvasAttachment> itsTextOverlay;
    std::unique_ptr<XRendererKeyDownCanvasAttachment> itsKeyDownAttachment;
    mutable XMutex itsRenderMutex{4000};
    XVolumeLevelScalingHelper itsVolumeScaling;
    bool itsUserInteracting = false;
    bool itsHasGraphicsResources = false;

    // The states applied so far (only usable values), which frames read.
    XRendererSceneState itsAppliedState;
    // Renderer message ids to the overlay's own.
    std::map<uint32_t, uint32_t> itsOverlayMessageIDs;
    // Feedback items shown here and the scene node each hangs in the scene.
    std::map<XMeasurementFeedback*, X3DSceneNode*> itsFeedbackNodes;
    // Region feedback items and the mesh each shows in the volume node.
    std::map<XMeasurementFeedback*, std::unique_ptr<X3DRegionFeedbackIsoMesh>> itsRegionMeshes;
};

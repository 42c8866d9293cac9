#pragma once
// The interface every volume renderer offers the host, with the shared sample,
// shading and scene-preference logic. Drawing is left to the renderers.
#include "X3DMatrix.h"
#include "XARGB32Colour.h"
#include "XChannelShadeSpecification.h"
#include "XMathVector.h"
#include "XString.h"
#include "XVector.h"
#include "XVersion.h"

#include <cstdint>

class WChannelControl;
class WChannelParent;
class X3DPolyLine;
class X3DRegion;
class XARGB32Volume;
class XCamera;
class XMeasurementFeedback;
struct XPoint;
class XPolyLineDisplayHelper;
class XTime;
class XUUID;
class XVolume;
class XVolumeRenderThumbnailJob;

class XVolumeRendererBase {
public:
    using XChannelType = XChannelShadeSpecification::XChannelType;
    using XChannelShaderModel = XChannelShadeSpecification::XChannelShaderModel;
    using XShaderModelProperty = XChannelShadeSpecification::XShaderModelProperty;

    enum XStereoMode : uint32_t { kStereoMono = 0 };
    enum XProjectionType : uint32_t { kProjectionPerspective = 1 };
    using XFloorPattern = uint32_t;
    enum XVolumeRendererTool : uint32_t {
        kToolNone = 0,
        kToolBall = 1,
        kToolZoom = 2,
        kToolPan = 3,
        kToolFly = 4,
        kToolOther = 5,
    };
    using XMatrixTransformID = uint32_t;

    struct XShaderModelPropertyInfo {
        XShaderModelProperty property{};
        XString name;
        uint32_t flags = 0; // carried for the renderers; the base does not read it
        float minimum = 0;
        float maximum = 0;
        float defaultValue = 0;
    };

    XVolumeRendererBase();
    XVolumeRendererBase(const XVolumeRendererBase&) = default;
    XVolumeRendererBase& operator=(const XVolumeRendererBase&) = default;
    virtual ~XVolumeRendererBase();

    // The ID of the strategy that made this renderer.
    virtual uint32_t GetRendererID() const = 0;

    virtual bool IsRealTime() const;
    virtual uint32_t GetChannelCount() const;
    virtual uint32_t GetTimepointCount() const;
    virtual XString GetChannelName(uint32_t inChannel);
    virtual void SaveChannelShadeSpecifications();
    virtual void RestoreChannelShadeSpecifications();
    virtual bool IsStereoModeSupported(XStereoMode inMode) const;
    virtual XStereoMode GetStereoMode();
    virtual void SetStereoMode(XStereoMode inMode);
    virtual XProjectionType GetProjectionType();
    virtual void ApplyActivationState(uint32_t inState, bool inFlag) = 0;
    virtual uint32_t GetActivationState() = 0;
    virtual bool IsOrientatorVisible() const = 0;
    virtual void ShowOrientator(bool inShow) = 0;
    virtual bool IsScaleVisible() const = 0;
    virtual void ShowScale(bool inShow) = 0;
    virtual XARGB32Colour GetScaleColour() = 0;
    virtual void SetScaleColour(XARGB32Colour inColour) = 0;
    virtual bool IsScaleCalibrationVisible() const = 0;
    virtual void ShowScaleCalibration(bool inShow) = 0;
    virtual bool IsFloorVisible() const = 0;
    virtual void ShowFloor(bool inShow) = 0;
    virtual void SetFloorPosition(float inPosition) = 0;
    virtual float GetFloorPosition() const = 0;
    virtual void SetFloorPattern(XFloorPattern inPattern) = 0;
    virtual XFloorPattern GetFloorPattern() = 0;
    virtual void SetFloorColour(const XARGB32Colour& inColour) = 0;
    virtual XARGB32Colour GetFloorColour() = 0;
    virtual bool IsBallVisible() const = 0;
    virtual void ShowBall(bool inShow) = 0;
    virtual X3DMatrix ScreenToBallPoint(const XPoint& inPoint) = 0;
    virtual XARGB32Colour GetBackgroundColour() = 0;
    virtual void SetBackgroundColour(XARGB32Colour inColour) = 0;
    virtual bool IsTimestampVisible() const = 0;
    virtual void ShowTimestamp(bool inShow) = 0;
    virtual void SetTimestampTime(const XTime& inTime) = 0;
    virtual XARGB32Colour GetTimestampColour() = 0;
    virtual void SetTimestampColour(const XARGB32Colour& inColour) = 0;
    virtual void GetVolumeWorldMatrix(X3DMatrix& outMatrix) const = 0;
    virtual void SetVolumeWorldMatrix(const X3DMatrix& inMatrix) = 0;
    virtual void GetScreenToVolumeMatrix(X3DMatrix& outMatrix) const = 0;
    virtual void GetCamera(XCamera& outCamera) const = 0;
    virtual void SetCamera(const XCamera& inCamera) = 0;
    virtual void SetLightPosition(const XMathVectorF3& inPosition);
    virtual XMathVectorF3 GetLightPosition();
    virtual void ResetView();
    virtual void SetWorldScale(float inScale) = 0;
    virtual float GetWorldScale() const = 0;
    virtual void SetSceneScale(float inScale) = 0;
    virtual float GetSceneScale() const = 0;
    virtual void SaveScenePrefs(const XString& inSection) const;
    virtual void RestoreScenePrefs(const XString& inSection, bool inFlag);
    virtual void GetTransformMatrix(XMatrixTransformID inID, X3DMatrix& outMatrix) const = 0;
    virtual void SetTransformMatrix(XMatrixTransformID inID, const X3DMatrix& inMatrix) = 0;
    virtual bool DoesSupportRegions() const;
    virtual bool DoesSupportPolyLines() const;
    virtual bool DoesSupportHierarchicalPolyLines() const;
    virtual bool DoesSupportMarkers() const;
    virtual bool DoesSupportPoints() const;
    virtual bool DoesSupportTracks() const;
    virtual uint32_t Get3DFeedbackType() const;
    virtual XMeasurementFeedback* Make3DFeedback(XVersion inType);
    virtual void Add3DFeedbackItem(XMeasurementFeedback* inItem);
    virtual void Remove3DFeedbackItem(XMeasurementFeedback* inItem);
    virtual void AddRegion(const X3DRegion& inRegion, const XARGB32Colour& inColour, bool inFlag, uint32_t inID);
    virtual uint32_t AddRegion(const X3DRegion& inRegion, const XARGB32Colour& inColour, bool inFlag);
    virtual void AddPolyLine(const X3DPolyLine& inLine, const XPolyLineDisplayHelper& inHelper,
                             const XARGB32Colour& inColour, uint32_t inID);
    virtual uint32_t AddPolyLine(const X3DPolyLine& inLine, const XPolyLineDisplayHelper& inHelper,
                                 const XARGB32Colour& inColour);
    virtual void RemoveRegion(uint32_t inID);
    virtual void RemovePolyLine(uint32_t inID);
    virtual bool IsClipPlaneSupported() const;
    virtual void SetClipPlane(const XMathVectorF4& inPlane);
    virtual XChannelType GetChannelType(uint32_t inChannel);
    virtual void GetSupportedModels(uint32_t inChannel, XVector<XChannelShaderModel>& outModels) = 0;
    virtual bool IsModelSupported(uint32_t inChannel, XChannelShaderModel inModel) const;
    virtual XChannelShaderModel GetDefaultModel(uint32_t inChannel) = 0;
    virtual XString GetModelName(XChannelShaderModel inModel);
    virtual void GetShaderModelPropertyInfo(XChannelShaderModel inModel, XShaderModelProperty inProperty,
                                            XShaderModelPropertyInfo& outInfo) = 0;
    virtual void GetShaderModelSupportedProperties(XChannelShaderModel inModel,
                                                   XVector<XShaderModelPropertyInfo>& outInfo) const;
    virtual void GetShaderModelProperties(XChannelShaderModel inModel, XVector<XShaderModelProperty>& outProperties) = 0;
    virtual WChannelControl* MakeChannelController(uint32_t inChannel, WChannelParent* inParent);
    virtual void Render(XARGB32Volume& outImage) = 0;
    virtual void Render(bool inImmediately) = 0;
    virtual XVolume* RenderView() = 0;
    virtual XVolumeRenderThumbnailJob* MakeVolumeThumbnailRenderJob(uint64_t inWidth, uint64_t inHeight, const XUUID& inID);
    virtual bool IsToolSupported(XVolumeRendererTool inTool) const;

    uint32_t GetSampleID() const { return itsSampleID; }
    void SetSampleID(uint32_t inSampleID);
    bool IsActive() const { return itsActive; }
    void SetActive(bool inActive);
    XVolumeRendererTool GetTool() const { return itsTool; }
    void SetTool(XVolumeRendererTool inTool);
    void GetChannelShadeSpecification(uint32_t inChannel, XChannelShadeSpecification& outSpec) const;
    void SetChannelShadeSpecification(uint32_t inChannel, const XChannelShadeSpecification& inSpec);
    // The timepoint shown, counted from 1. A timepoint outside the sample's range is
    // reported and clamped into it; a sample change clamps it again.
    uint32_t GetCurrentTimepoint() const { return itsCurrentTimepoint; }
    void SetCurrentTimepoint(uint32_t inTimepoint);

    static XARGB32Colour GetDefaultScaleColour() { return XARGB32Colour(255, 255, 255, 255); }
    static bool GetDefaultScaleCalibrationVisibility() { return true; }

protected:
    virtual void SetToolSelf(XVolumeRendererTool inTool);
    virtual void SetSampleIDSelf() = 0;
    virtual void SetChannelShadeSpecificationSelf(const XChannelShadeSpecification& inSpec) = 0;
    virtual void SaveChannelShadeSpecification(uint32_t inChannel);
    virtual void RestoreChannelShadeSpecification(uint32_t inChannel);
    virtual uint32_t GetChannelPlaceholder(uint32_t inChannel) const;
    virtual uint32_t GetChannelShadeSpecificationIndex(uint32_t inChannel) const;
    // Told that the timepoint shown changed (only while active; a sample change implies it).
    virtual void SetCurrentTimepointSelf() {}

    XVector<XChannelShadeSpecification> itsShadeSpecs;
    bool itsSamplePending = true;

private:
    bool IsChannelInRange(uint32_t inChannel) const;
    bool IsVolumeSequence() const;

    uint32_t itsSampleID = 0;
    XVolumeRendererTool itsTool = kToolNone;
    uint32_t itsCurrentTimepoint = 1;
    XMathVectorF3 itsLightPosition;
    bool itsActive = false;
};

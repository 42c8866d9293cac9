#include "XVolumeRendererBase.h"

#include "XAssert.h"
#include "XDBGetMutableSample.h"
#include "XDBGetSample.h"
#include "XDataVolume.h"
#include "XDataVolumeSequence.h"
#include "XException.h"
#include "XImageRenderer.h"
#include "XSampleDB.h"
#include "XSamplePrefsSaver.h"
#include "XUserPrefsSaver.h"

#include <algorithm>
#include <memory>

namespace {
const XMathVectorF3 kDefaultLightPosition(0.5f, -0.5f, 0.0f);
constexpr const char* kShadeSection = "VRShadeSpecs";

XString ShadeSpecKey(uint32_t inIndex)
{
    return XString("ChannelShadeSpec") + XString::FromUInt64(inIndex);
}

// Channel type from an image renderer's deciding value: above 0 is type 1, else 2.
XChannelShadeSpecification::XChannelType TypeFromRenderer(const XImageRenderer& inRenderer)
{
    return static_cast<XChannelShadeSpecification::XChannelType>(inRenderer.GetEmissionLevel() > 0 ? 1 : 2);
}

// Restores the sample's modify locks however the bracketed block is left.
class ModifyLockOverride {
public:
    ModifyLockOverride() { XSampleDB::GetDB().OverrideModifyLocks(); }
    ~ModifyLockOverride() { XSampleDB::GetDB().RestoreModifyLocks(); }
    ModifyLockOverride(const ModifyLockOverride&) = delete;
    ModifyLockOverride& operator=(const ModifyLockOverride&) = delete;
};
} // namespace

XVolumeRendererBase::XVolumeRendererBase()
    : itsLightPosition(kDefaultLightPosition)
{
}

XVolumeRendererBase::~XVolumeRendererBase() = default;

bool XVolumeRendererBase::IsVolumeSequence() const
{
    if (itsSampleID == 0)
        return false;
    return XSampleDB::GetDB().GetSampleType(itsSampleID).IsA(XVersion(XDataVolumeSequence::kSampleType));
}

bool XVolumeRendererBase::IsChannelInRange(uint32_t inChannel) const
{
    bool ok = true;
    if (!(inChannel > 0)) {
        X_REPORT("inChannel > 0");
        ok = false;
    }
    if (!(inChannel <= itsShadeSpecs.size())) {
        X_REPORT("inChannel <= itsShadeSpecs.size()");
        ok = false;
    }
    return ok;
}

bool XVolumeRendererBase::IsRealTime() const { return true; }

uint32_t XVolumeRendererBase::GetChannelCount() const
{
    if (!IsVolumeSequence())
        return 1;
    XDBGetSample<XDataVolumeSequence> sample(itsSampleID);
    return sample.Get().GetChannelCount();
}

uint32_t XVolumeRendererBase::GetTimepointCount() const
{
    if (!IsVolumeSequence())
        return 1;
    XDBGetSample<XDataVolumeSequence> sample(itsSampleID);
    return sample.Get().GetTimepointCount();
}

XString XVolumeRendererBase::GetChannelName(uint32_t inChannel)
{
    if (!IsVolumeSequence())
        return "1";
    XDBGetSample<XDataVolumeSequence> sample(itsSampleID);
    return sample.Get().GetChannelName(inChannel);
}

uint32_t XVolumeRendererBase::GetChannelPlaceholder(uint32_t inChannel) const
{
    if (!IsVolumeSequence())
        return itsSampleID;
    XDBGetSample<XDataVolumeSequence> sample(itsSampleID);
    return sample.Get().GetChannelPlaceholder(inChannel);
}

uint32_t XVolumeRendererBase::GetChannelShadeSpecificationIndex(uint32_t) const { return 0; }

XVolumeRendererBase::XChannelType XVolumeRendererBase::GetChannelType(uint32_t inChannel)
{
    if (IsVolumeSequence()) {
        XDBGetSample<XDataVolumeSequence> sample(itsSampleID);
        std::unique_ptr<XImageRenderer> renderer(sample.Get().GetRendererCopy(inChannel));
        if (!renderer)
            return static_cast<XChannelType>(0);
        return TypeFromRenderer(*renderer);
    }
    XDBGetSample<XDataVolume> sample(itsSampleID);
    std::unique_ptr<XImageRenderer> renderer(sample.Get().GetRendererCopy());
    X_ASSERT(renderer);
    if (!renderer)
        return static_cast<XChannelType>(0);
    return TypeFromRenderer(*renderer);
}

void XVolumeRendererBase::SetSampleID(uint32_t inSampleID)
{
    itsSampleID = inSampleID;
    itsCurrentTimepoint = std::clamp(itsCurrentTimepoint, 1u, std::max(GetTimepointCount(), 1u));
    if (itsSampleID != 0) {
        const uint32_t count = GetChannelCount();
        itsShadeSpecs.resize(count);
        const bool isSequence = IsVolumeSequence();
        XVector<XShaderModelPropertyInfo> isoProperties;
        if (count > 0)
            GetShaderModelSupportedProperties(XChannelShadeSpecification::kIsosurface, isoProperties);
        for (uint32_t c = 1; c <= count; ++c) {
            XChannelShadeSpecification& shading = itsShadeSpecs[c - 1];
            shading.SetChannel(c);
            shading.SetVisible(true);
            shading.SetChannelType(GetChannelType(c));
            shading.SetShaderModel(GetDefaultModel(c));
            std::unique_ptr<XImageRenderer> renderer;
            if (isSequence) {
                XDBGetSample<XDataVolumeSequence> sample(itsSampleID);
                renderer.reset(sample.Get().GetRendererCopy(c));
            } else {
                XDBGetSample<XDataVolume> sample(itsSampleID);
                renderer.reset(sample.Get().GetRendererCopy());
            }
            if (renderer)
                shading.SetColour(renderer->GetColour());
            for (const XShaderModelPropertyInfo& info : isoProperties)
                shading.SetProperty(info.property, info.defaultValue);
        }
    }
    if (itsActive)
        SetSampleIDSelf();
    else
        itsSamplePending = true;
}

void XVolumeRendererBase::SetCurrentTimepoint(uint32_t inTimepoint)
{
    const uint32_t count = std::max(GetTimepointCount(), 1u);
    if (inTimepoint < 1 || inTimepoint > count)
        X_REPORT("inTimepoint >= 1 && inTimepoint <= GetTimepointCount()");
    const uint32_t timepoint = std::clamp(inTimepoint, 1u, count);
    if (timepoint == itsCurrentTimepoint)
        return;
    itsCurrentTimepoint = timepoint;
    if (itsActive)
        SetCurrentTimepointSelf();
}

void XVolumeRendererBase::SetActive(bool inActive)
{
    if (inActive == itsActive)
        return;
    itsActive = inActive;
    if (!itsActive)
        return;
    ApplyActivationState(GetActivationState(), false);
    if (itsSamplePending) {
        SetSampleID(itsSampleID);
        itsSamplePending = false;
    }
}

void XVolumeRendererBase::GetChannelShadeSpecification(uint32_t inChannel, XChannelShadeSpecification& outSpec) const
{
    if (IsChannelInRange(inChannel))
        outSpec = itsShadeSpecs[inChannel - 1];
}

void XVolumeRendererBase::SetChannelShadeSpecification(uint32_t inChannel, const XChannelShadeSpecification& inSpec)
{
    if (!IsChannelInRange(inChannel))
        return;
    XChannelShadeSpecification& shading = itsShadeSpecs[inChannel - 1];
    shading = inSpec;

    // Keep the sample's hidden flag the opposite of the visible flag.
    if (IsVolumeSequence()) {
        ModifyLockOverride override;
        try {
            XDBGetMutableSample<XDataVolumeSequence> sample(itsSampleID);
            if (sample.Get().IsChannelHidden(inChannel) == shading.IsVisible()) {
                sample.Get().SetChannelHidden(inChannel, !shading.IsVisible());
                sample.Commit();
            }
        } catch (const XException&) {
            // A sample that cannot take the flag keeps its own; the shading still applies.
        }
    } else if (itsSampleID != 0) {
        ModifyLockOverride override;
        try {
            XDBGetMutableSample<XDataVolume> sample(itsSampleID);
            if (sample.Get().IsHidden() == shading.IsVisible()) {
                sample.Get().SetHidden(!shading.IsVisible());
                sample.Commit();
            }
        } catch (const XException& e) {
            // As for a sequence the flag is a courtesy, but a sample that is not a volume
            // at all is the caller's error.
            if (e.GetErrorCode() == XException::kWrongSampleType)
                throw;
        }
    }

    SaveChannelShadeSpecification(inChannel);
    if (itsActive)
        SetChannelShadeSpecificationSelf(shading);
}

void XVolumeRendererBase::SaveChannelShadeSpecification(uint32_t inChannel)
{
    if (!IsChannelInRange(inChannel))
        return;
    const uint32_t id = GetChannelPlaceholder(inChannel);
    X_ASSERT(id);
    if (!id)
        return;
    itsShadeSpecs[inChannel - 1].WriteToSamplePrefs(GetChannelShadeSpecificationIndex(inChannel), id);
}

void XVolumeRendererBase::RestoreChannelShadeSpecification(uint32_t inChannel)
{
    if (!IsChannelInRange(inChannel))
        return;
    const uint32_t id = GetChannelPlaceholder(inChannel);
    X_ASSERT(id);
    if (!id)
        return;
    XChannelShadeSpecification& shading = itsShadeSpecs[inChannel - 1];
    const uint32_t index = GetChannelShadeSpecificationIndex(inChannel);
    XSamplePrefsSaver prefs(id);
    if (prefs.EntryExists(kShadeSection, ShadeSpecKey(index))) {
        shading.ReadFromSamplePrefs(index, id);
        if (!IsModelSupported(inChannel, shading.GetShaderModel()))
            shading.SetShaderModel(GetDefaultModel(inChannel));
        XVector<XShaderModelPropertyInfo> infos;
        GetShaderModelSupportedProperties(shading.GetShaderModel(), infos);
        for (const XShaderModelPropertyInfo& info : infos) {
            if (shading.IsProperty(info.property)) {
                const float value = shading.GetProperty(info.property);
                if (value < info.minimum)
                    shading.SetProperty(info.property, info.minimum);
                else if (value > info.maximum)
                    shading.SetProperty(info.property, info.maximum);
            } else {
                shading.SetProperty(info.property, info.defaultValue);
            }
        }
    }

    if (IsVolumeSequence()) {
        try {
            XDBGetSample<XDataVolumeSequence> sample(itsSampleID);
            shading.SetVisible(!sample.Get().IsChannelHidden(inChannel));
        } catch (const XException&) {
            // The flag stays as it was.
        }
    } else if (itsSampleID != 0) {
        XDBGetSample<XDataVolume> sample(itsSampleID);
        shading.SetVisible(!sample.Get().IsHidden());
    }
    SetChannelShadeSpecificationSelf(shading);
}

void XVolumeRendererBase::SaveChannelShadeSpecifications()
{
    const auto count = static_cast<uint32_t>(itsShadeSpecs.size());
    for (uint32_t c = 1; c <= count; ++c)
        SaveChannelShadeSpecification(c);
}

void XVolumeRendererBase::RestoreChannelShadeSpecifications()
{
    const auto count = static_cast<uint32_t>(itsShadeSpecs.size());
    for (uint32_t c = 1; c <= count; ++c)
        RestoreChannelShadeSpecification(c);
}

bool XVolumeRendererBase::IsStereoModeSupported(XStereoMode inMode) const { return inMode == kStereoMono; }
XVolumeRendererBase::XStereoMode XVolumeRendererBase::GetStereoMode() { return kStereoMono; }
void XVolumeRendererBase::SetStereoMode(XStereoMode inMode) { X_ASSERT(IsStereoModeSupported( inMode )); }
XVolumeRendererBase::XProjectionType XVolumeRendererBase::GetProjectionType() { return kProjectionPerspective; }

void XVolumeRendererBase::SetLightPosition(const XMathVectorF3& inPosition) { itsLightPosition = inPosition; }
XMathVectorF3 XVolumeRendererBase::GetLightPosition() { return itsLightPosition; }
void XVolumeRendererBase::ResetView() { itsLightPosition = kDefaultLightPosition; }

void XVolumeRendererBase::SaveScenePrefs(const XString& inSection) const
{
    // The drawing state lives in the renderers, behind non-const accessors.
    auto& self = const_cast<XVolumeRendererBase&>(*this);
    XUserPrefsSaver prefs;
    const XARGB32Colour time = self.GetTimestampColour();
    const XARGB32Colour scale = self.GetScaleColour();
    const XARGB32Colour background = self.GetBackgroundColour();
    prefs.Write32(inSection, "VolumeRendererPrefsVersion", 1);
    prefs.Write8(inSection, "Always Show Ball", IsBallVisible());
    prefs.Write8(inSection, "Show Floor", IsFloorVisible());
    prefs.Write8(inSection, "Show Orientation", IsOrientatorVisible());
    prefs.Write8(inSection, "Show Time", IsTimestampVisible());
    prefs.Write8(inSection, "Time Red Channel", time.red);
    prefs.Write8(inSection, "Time Green Channel", time.green);
    prefs.Write8(inSection, "Time Blue Channel", time.blue);
    prefs.Write8(inSection, "Show Scale", IsScaleVisible());
    prefs.Write8(inSection, "Show Scale Calibration", IsScaleCalibrationVisible());
    prefs.Write8(inSection, "Volume Scale Colour R", scale.red);
    prefs.Write8(inSection, "Volume Scale Colour G", scale.green);
    prefs.Write8(inSection, "Volume Scale Colour B", scale.blue);
    prefs.Write32(inSection, "Stereo Mode", self.GetStereoMode());
    prefs.Write8(inSection, "Background Red Channel", background.red);
    prefs.Write8(inSection, "Background Green Channel", background.green);
    prefs.Write8(inSection, "Background Blue Channel", background.blue);
    prefs.WriteFloat(inSection, "Floor Position", GetFloorPosition());
    prefs.WriteColour(inSection, "Floor Colour", self.GetFloorColour());
    prefs.Write32(inSection, "Floor Pattern", self.GetFloorPattern());
}

void XVolumeRendererBase::RestoreScenePrefs(const XString& inSection, bool)
{
    XUserPrefsSaver prefs;
    ShowBall(prefs.Read8Defaulted(inSection, "Always Show Ball", 0) != 0);
    ShowFloor(prefs.Read8Defaulted(inSection, "Show Floor", 1) != 0);
    ShowOrientator(prefs.Read8Defaulted(inSection, "Show Orientation", 1) != 0);
    ShowScale(prefs.Read8Defaulted(inSection, "Show Scale", 0) != 0);
    ShowTimestamp(prefs.Read8Defaulted(inSection, "Show Time", 0) != 0);

    XARGB32Colour time(255, prefs.Read8Defaulted(inSection, "Time Red Channel", 255),
                       prefs.Read8Defaulted(inSection, "Time Green Channel", 255),
                       prefs.Read8Defaulted(inSection, "Time Blue Channel", 255));
    SetTimestampColour(time);

    ShowScaleCalibration(prefs.Read8Defaulted(inSection, "Show Scale Calibration", 1) != 0);

    XARGB32Colour scale(255, prefs.Read8Defaulted(inSection, "Volume Scale Colour R", 255),
                        prefs.Read8Defaulted(inSection, "Volume Scale Colour G", 255),
                        prefs.Read8Defaulted(inSection, "Volume Scale Colour B", 255));
    SetScaleColour(scale);

    auto mode = static_cast<XStereoMode>(prefs.Read32Defaulted(inSection, "Stereo Mode", 0));
    if (!IsStereoModeSupported(mode))
        mode = kStereoMono;
    if (mode != GetStereoMode())
        SetStereoMode(mode);

    XARGB32Colour background(255, prefs.Read8Defaulted(inSection, "Background Red Channel", 0),
                             prefs.Read8Defaulted(inSection, "Background Green Channel", 0),
                             prefs.Read8Defaulted(inSection, "Background Blue Channel", 0));
    SetBackgroundColour(background);

    SetFloorPosition(prefs.ReadFloatDefaulted(inSection, "Floor Position", 1.2f));
    SetFloorColour(prefs.ReadColourDefaulted(inSection, "Floor Colour", XARGB32Colour(255, 51, 51, 51)));
    SetFloorPattern(prefs.Read32Defaulted(inSection, "Floor Pattern", 1));
}

bool XVolumeRendererBase::DoesSupportRegions() const { return false; }
bool XVolumeRendererBase::DoesSupportPolyLines() const { return false; }
bool XVolumeRendererBase::DoesSupportHierarchicalPolyLines() const { return false; }
bool XVolumeRendererBase::DoesSupportMarkers() const { return false; }
bool XVolumeRendererBase::DoesSupportPoints() const { return false; }
bool XVolumeRendererBase::DoesSupportTracks() const { return false; }
uint32_t XVolumeRendererBase::Get3DFeedbackType() const { return 0; }
XMeasurementFeedback* XVolumeRendererBase::Make3DFeedback(XVersion) { return nullptr; }
void XVolumeRendererBase::Add3DFeedbackItem(XMeasurementFeedback*) {}
void XVolumeRendererBase::Remove3DFeedbackItem(XMeasurementFeedback*) {}

void XVolumeRendererBase::AddRegion(const X3DRegion&, const XARGB32Colour&, bool, uint32_t)
{
    X_ASSERT(DoesSupportRegions());
}

uint32_t XVolumeRendererBase::AddRegion(const X3DRegion&, const XARGB32Colour&, bool)
{
    X_ASSERT(DoesSupportRegions());
    return 0;
}

void XVolumeRendererBase::AddPolyLine(const X3DPolyLine&, const XPolyLineDisplayHelper&, const XARGB32Colour&, uint32_t)
{
    X_ASSERT(DoesSupportPolyLines());
}

uint32_t XVolumeRendererBase::AddPolyLine(const X3DPolyLine&, const XPolyLineDisplayHelper&, const XARGB32Colour&)
{
    X_ASSERT(DoesSupportPolyLines());
    return 0;
}

void XVolumeRendererBase::RemoveRegion(uint32_t) { X_ASSERT(DoesSupportRegions()); }
void XVolumeRendererBase::RemovePolyLine(uint32_t) { X_ASSERT(DoesSupportPolyLines()); }
bool XVolumeRendererBase::IsClipPlaneSupported() const { return false; }
void XVolumeRendererBase::SetClipPlane(const XMathVectorF4&) { X_REPORT("false"); }

bool XVolumeRendererBase::IsModelSupported(uint32_t inChannel, XChannelShaderModel inModel) const
{
    XVector<XChannelShaderModel> models;
    const_cast<XVolumeRendererBase*>(this)->GetSupportedModels(inChannel, models);
    return models.DoesContain(inModel);
}

XString XVolumeRendererBase::GetModelName(XChannelShaderModel inModel)
{
    switch (static_cast<uint32_t>(inModel)) {
    case 1: return "Fluorescence";
    case 2: return "Brightfield";
    case 3: return "Isosurface";
    case 4: return "Maximum IP";
    case 7: return "Matte";
    case 8: return "Metal";
    case 9: return "Glass";
    default: return XString();
    }
}

void XVolumeRendererBase::GetShaderModelSupportedProperties(XChannelShaderModel inModel,
                                                            XVector<XShaderModelPropertyInfo>& outInfo) const
{
    auto& self = const_cast<XVolumeRendererBase&>(*this);
    XVector<XShaderModelProperty> properties;
    self.GetShaderModelProperties(inModel, properties);
    for (XShaderModelProperty p : properties) {
        XShaderModelPropertyInfo info;
        self.GetShaderModelPropertyInfo(inModel, p, info);
        outInfo.push_back(info);
    }
}

WChannelControl* XVolumeRendererBase::MakeChannelController(uint32_t, WChannelParent*) { return nullptr; }

XVolumeRenderThumbnailJob* XVolumeRendererBase::MakeVolumeThumbnailRenderJob(uint64_t, uint64_t, const XUUID&)
{
    return nullptr;
}

bool XVolumeRendererBase::IsToolSupported(XVolumeRendererTool) const { return true; }
void XVolumeRendererBase::SetToolSelf(XVolumeRendererTool) {}

void XVolumeRendererBase::SetTool(XVolumeRendererTool inTool)
{
    XVolumeRendererTool tool = inTool;
    if (!IsToolSupported(tool))
        tool = IsToolSupported(kToolBall) ? kToolBall : kToolNone;
    itsTool = tool;
    SetToolSelf(tool);
}

#include "X3DBaseRenderer.h"
#include "X3DBaseRendererParts.h"

#include "X3DFloorNode.h"
#include "X3DGC.h"
#include "X3DGCScopedLock.h"
#include "X3DOrientator.h"
#include "XImageDataSource.h"
#include "XLock.h"

#include <array>
#include <cmath>

using namespace X3DBaseRendererParts;

namespace {

const XString kNoTimestamp("--:--:--.---");

bool AllFinite(const X3DMatrix& inValue)
{
    for (size_t i = 0; i < inValue.GetRows() * inValue.GetColumns(); ++i)
        if (!std::isfinite(inValue.GetData()[i]))
            return false;
    return true;
}

} // namespace

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
        itsVolumeScale.SetVisible(first != 0.0 && itsScaleUnitLength > 0.0f);
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

#include "XRenderer.h"

#include "XAssert.h"
#include "XBGRA32Volume.h"
#include "XCanvasPaneBase.h"
#include "XException.h"
#include "XGC.h"
#include "XImageDataSource.h"
#include "XMeasurementFeedback.h"
#include "XQuaternion.h"
#include "XRendererPane.h"
#include "XThread.h"

#include <algorithm>
#include <cmath>

namespace {
bool IsFinite(const X3DMatrix& inValue)
{
    const double* data = inValue.GetData();
    for (size_t i = 0, n = inValue.GetRows() * inValue.GetColumns(); i < n; ++i)
        if (!std::isfinite(data[i]))
            return false;
    return true;
}

// A proper rotation: orthonormal columns within a tolerance that forgives values
// written as floats or built up over many small steps, and determinant +1.
bool IsRotation(const X3DMatrix& inRotation)
{
    if (!inRotation.IsSquare(3) || !IsFinite(inRotation))
        return false;
    const X3DMatrix product = inRotation.GetTranspose() * inRotation;
    if (!product.IsNearlyEqual(X3DMatrix::UnitMatrix(3), 1e-3))
        return false;
    const X3DMatrix& r = inRotation;
    const double det = r(0, 0) * (r(1, 1) * r(2, 2) - r(1, 2) * r(2, 1)) -
                       r(0, 1) * (r(1, 0) * r(2, 2) - r(1, 2) * r(2, 0)) +
                       r(0, 2) * (r(1, 0) * r(2, 1) - r(1, 1) * r(2, 0));
    return det > 0.0;
}

// Spherical interpolation of two rotations along the shorter arc. The result is
// re-orthonormalised so that rounding never lets it drift from a rotation.
X3DMatrix SlerpRotation(const X3DMatrix& inFrom, const X3DMatrix& inTo, double inTime)
{
    XQuaternion from = XQuaternion::MakeFromRotationMatrix(inFrom);
    XQuaternion to = XQuaternion::MakeFromRotationMatrix(inTo);
    X3DMatrix result = XQuaternion::Slerp(from, to, inTime).ToX3DMatrix(3);
    result.OrthoNormalise();
    return result;
}

X3DMatrix MakeVector(double inX, double inY, double inZ)
{
    return X3DMatrix::ColumnVector(inX, inY, inZ);
}
} // namespace

XRenderer::XRenderer() = default;

XRenderer::XRenderer(const boost::shared_ptr<XImageDataSource>& inSource) : itsSource(inSource)
{
    if (itsSource) {
        itsTimepoint = std::min<uint32_t>(1, itsSource->GetTimepointCount());
        itsChannel = std::min<uint32_t>(1, itsSource->GetChannelCount());
        // Not through the hook: a derived renderer is not made yet.
        Subscribe(*itsSource);
        itsIsSubscribed = true;
    }
}

XRenderer::~XRenderer()
{
    // Data-change messages may come from a job thread: none may reach a renderer half gone.
    StopListening();
    X_ASSERT(!itsPane);
    if (itsPane)
        itsPane->ForgetRenderer(this);
}

void XRenderer::SubscribeToSource()
{
    if (!itsSource || itsIsSubscribed)
        return;
    Subscribe(*itsSource);
    itsIsSubscribed = true;
    SubscribeToSourceSelf();
}

void XRenderer::UnsubscribeFromSource()
{
    if (!itsSource || !itsIsSubscribed)
        return;
    Unsubscribe(*itsSource);
    itsIsSubscribed = false;
    UnsubscribeFromSourceSelf();
}

void XRenderer::HandleImageDataChanged()
{
    if (itsSource) {
        // The new data may have fewer timepoints or channels.
        itsTimepoint = std::min(itsTimepoint.load(), itsSource->GetTimepointCount());
        itsChannel = std::min(itsChannel.load(), itsSource->GetChannelCount());
        if (itsTimepoint == 0)
            itsTimepoint = std::min<uint32_t>(1, itsSource->GetTimepointCount());
        if (itsChannel == 0)
            itsChannel = std::min<uint32_t>(1, itsSource->GetChannelCount());
    }
    HandleImageDataChangedSelf();
    RefreshRenderer();
}

void XRenderer::HandleMessage(const XMessage& inMessage)
{
    if (!dynamic_cast<const XImageDataSource::XDataChangedMessage*>(&inMessage) || !itsSource ||
        inMessage.GetSpeaker() != itsSource.get())
        return;
    // A source reloaded on a job thread: the renderer takes the change on the main thread.
    if (!XThread::IsMainThread()) {
        XSpeaker::PostXMessage(inMessage.Clone(), this);
        return;
    }
    HandleImageDataChanged();
}

void XRenderer::Initialise()
{
    InitialiseSelf();
    itsIsInitialised = true;
}

void XRenderer::AttachContainer(XRendererPane& inPane)
{
    X_ASSERT(!itsPane);
    if (itsPane)
        return;
    itsPane = &inPane;
    AttachContainerSelf(inPane);
}

void XRenderer::DetachContainer(XRendererPane& inPane)
{
    X_ASSERT(itsPane == &inPane);
    if (itsPane != &inPane)
        return;
    DetachContainerSelf(inPane);
    itsPane = nullptr;
}

XRenderingViewBase* XRenderer::GetRendererView() const { return itsPane ? itsPane->GetRenderingView() : nullptr; }

void XRenderer::HandleContainerSizeChanged(const XRect& inBounds)
{
    if (XCanvasPaneBase* canvas = GetRendererCanvasPane()) {
        canvas->MovePane(inBounds.GetTopLeft());
        canvas->ResizePane(inBounds.GetWidth(), inBounds.GetHeight());
    }
}

XCanvasPaneBase* XRenderer::GetRendererCanvasPane() const { return nullptr; }

void XRenderer::SetCurrentTimepoint(uint32_t inTimepoint)
{
    const uint32_t count = itsSource ? itsSource->GetTimepointCount() : 0;
    X_ASSERT_TEXT(inTimepoint <= count, "inTimepoint <= GetDataSource()->GetTimepointCount()");
    if (inTimepoint > count)
        return;
    itsTimepoint = inTimepoint;
    SetCurrentTimepointSelf(inTimepoint);
}

void XRenderer::SetCurrentChannel(uint32_t inChannel)
{
    const uint32_t count = itsSource ? itsSource->GetChannelCount() : 0;
    X_ASSERT_TEXT(inChannel <= count, "inChannel <= GetDataSource()->GetChannelCount()");
    if (inChannel > count)
        return;
    itsChannel = inChannel;
    SetCurrentChannelSelf(inChannel);
}

bool XRenderer::DoesSupportRenderToImage() const { return GetRendererCanvasPane() != nullptr; }

bool XRenderer::CanThreadRenderToImage() const { return false; }

XRect XRenderer::GetMaxRenderToImageBounds() const { return XRect(0, 0, kMaxImageSide, kMaxImageSide); }

XVolume* XRenderer::RenderToImage(const XRect& inRect, XRenderingIntent inIntent)
{
    if (inRect.IsEmpty())
        throw XException(XException::kBadArgument,
                         XString("An image of %1 x %2 pixels cannot be rendered; give a width and height of at least "
                                 "one pixel.")
                             .Replace(int64_t(inRect.GetWidth()))
                             .Replace(int64_t(inRect.GetHeight())));
    return RenderToImageSelf(inRect, inIntent);
}

void XRenderer::SetErrorMessage(const XString& inText)
{
    itsErrorMessage = inText;
    SetErrorMessageSelf(inText);
}

uint32_t XRenderer::AddCustomMessage(const XString& inText, uint32_t inIcon)
{
    const uint32_t id = itsNextMessageID++;
    itsCustomMessages[id] = XCustomMessage{inText, inIcon};
    AddCustomMessageSelf(id, inText, inIcon);
    return id;
}

bool XRenderer::SetCustomMessage(uint32_t inID, const XString& inText, uint32_t inIcon)
{
    auto found = itsCustomMessages.find(inID);
    if (found == itsCustomMessages.end())
        return false;
    found->second = XCustomMessage{inText, inIcon};
    SetCustomMessageSelf(inID, inText, inIcon);
    return true;
}

bool XRenderer::RemoveCustomMessage(uint32_t inID)
{
    if (itsCustomMessages.erase(inID) == 0)
        return false;
    RemoveCustomMessageSelf(inID);
    return true;
}

void XRenderer::AddProgressSpeaker(XSpeaker& inSpeaker)
{
    if (itsProgressSpeakers.DoesContain(&inSpeaker))
        return;
    itsProgressSpeakers.push_back(&inSpeaker);
    AddProgressSpeakerSelf(inSpeaker);
}

void XRenderer::RemoveProgressSpeaker(XSpeaker& inSpeaker)
{
    if (itsProgressSpeakers.Remove(&inSpeaker))
        RemoveProgressSpeakerSelf(inSpeaker);
}

void XRenderer::DoRendererToolbarCommand(XToolbarCommandID inCommand, XVolumeSelectionProtocol* inSelection)
{
    itsToolbarCommand = inCommand;
    DoRendererToolbarCommandSelf(inCommand, inSelection);
}

XSet<uint32_t> XRenderer::GetSupportedFeedbackTypes() const { return {}; }

XPtrVector<XMeasurementFeedback> XRenderer::MakeFeedback(XVersion, const XMeasurementsFeedbackHelper&) { return {}; }

void XRenderer::AddFeedbackItem(XMeasurementFeedback* inItem)
{
    if (inItem && !itsFeedbackItems.DoesContain(inItem))
        itsFeedbackItems.push_back(inItem);
}

void XRenderer::RemoveFeedbackItem(XMeasurementFeedback* inItem) { itsFeedbackItems.Remove(inItem); }

void XRenderer::UpdateROISelectionFeedback() { RefreshRenderer(); }

bool XRenderer::IsDataSourceSupportedSelf(const XImageDataSource& inSource) const
{
    return !inSource.GetBounds().IsEmpty();
}

void XRenderer::SubscribeToSourceSelf() {}
void XRenderer::UnsubscribeFromSourceSelf() {}
void XRenderer::HandleImageDataChangedSelf() {}
void XRenderer::InitialiseSelf() {}
void XRenderer::AttachContainerSelf(XRendererPane&) {}
void XRenderer::DetachContainerSelf(XRendererPane&) {}
void XRenderer::SetCurrentTimepointSelf(uint32_t) { RefreshRenderer(); }
void XRenderer::SetCurrentChannelSelf(uint32_t) { RefreshRenderer(); }

void XRenderer::RefreshRendererSelf(bool inImmediate)
{
    if (XCanvasPaneBase* canvas = GetRendererCanvasPane())
        canvas->RedrawCanvas(inImmediate);
}

XVolume* XRenderer::RenderToImageSelf(const XRect& inRect, XRenderingIntent)
{
    XCanvasPaneBase* canvas = GetRendererCanvasPane();
    if (!canvas)
        throw XException(XException::kBadArgument,
                         "This view cannot be rendered to an image because it has no canvas; show it in a view first.");
    canvas->RedrawCanvas(true);
    const std::unique_ptr<XBGRA32Volume> shown = canvas->CopyImage();
    auto image = std::make_unique<XBGRA32Volume>(inRect.MovedToOrigin());
    XGC gc(*image);
    gc.DrawImage(*shown, XRectF(image->GetBounds().GetXYRect()));
    gc.Flush();
    return image.release();
}

void XRenderer::SetErrorMessageSelf(const XString&) {}
void XRenderer::AddCustomMessageSelf(uint32_t, const XString&, uint32_t) {}
void XRenderer::SetCustomMessageSelf(uint32_t, const XString&, uint32_t) {}
void XRenderer::RemoveCustomMessageSelf(uint32_t) {}
void XRenderer::AddProgressSpeakerSelf(XSpeaker&) {}
void XRenderer::RemoveProgressSpeakerSelf(XSpeaker&) {}
XVector<XToolbarItemID> XRenderer::GetSupportedToolbarItemsSelf() const { return {}; }
void XRenderer::DoRendererToolbarCommandSelf(XToolbarCommandID, XVolumeSelectionProtocol*) {}

XRendererSceneState XRenderer::GetSceneState() const
{
    std::lock_guard lock(itsSceneStateMutex);
    return itsSceneState;
}

void XRenderer::SetSceneState(const XRendererSceneState& inState)
{
    {
        std::lock_guard lock(itsSceneStateMutex);
        itsSceneState.Merge(inState);
    }
    SetSceneStateSelf(inState);
}

X3DMatrix XRenderer::GetSceneStateValue(XRendererStateName inName, uint32_t inChannel) const
{
    {
        std::lock_guard lock(itsSceneStateMutex);
        if (itsSceneState.HasStateAndEnabled(inName, inChannel))
            return itsSceneState.GetState(inName, inChannel);
    }
    return GetDefaultSceneStateValue(inName, inChannel);
}

X3DMatrix XRenderer::GetDefaultSceneStateValue(XRendererStateName inName, uint32_t inChannel) const
{
    return GetDefaultSceneStateValueSelf(inName, inChannel);
}

X3DMatrix XRenderer::GetStateValueAtTime(XRendererStateName inName, uint32_t inChannel,
                                         const XRendererSceneState& inFrom, const XRendererSceneState& inTo,
                                         float inTime) const
{
    const bool inFromScene = inFrom.HasStateAndEnabled(inName, inChannel);
    const bool inToScene = inTo.HasStateAndEnabled(inName, inChannel);
    if (inFromScene && !inToScene)
        return inFrom.GetState(inName, inChannel);
    if (!inFromScene && inToScene)
        return inTo.GetState(inName, inChannel);
    if (!inFromScene && !inToScene)
        return GetDefaultSceneStateValue(inName, inChannel);
    const float time = std::isnan(inTime) ? 0.0f : std::clamp(inTime, 0.0f, 1.0f);
    return GetStateValueAtTimeSelf(inName, inChannel, inFrom, inTo, time);
}

void XRenderer::SetSceneStateSelf(const XRendererSceneState&) {}

bool XRenderer::IsSceneStateSupportedSelf(XRendererStateName) const
{
    return false;
}

X3DMatrix XRenderer::GetDefaultSceneStateValueSelf(XRendererStateName inName, uint32_t) const
{
    switch (inName) {
    case kSceneStateCamera:
        return MakeCameraStateValue(MakeVector(0, 0, 2), MakeVector(0, 0, 0), MakeVector(0, 1, 0));
    case kSceneStateRotation:
        return X3DMatrix::UnitMatrix(3);
    case kSceneStateVolumePosition:
        return MakeVector(0, 0, 0);
    case kSceneStateLightPosition:
        return MakeVector(1, 1, -2);
    case kSceneStateFloorColour:
        return MakeColourStateValue(XARGB32Colour(255, 128, 128, 128));
    case kSceneStateFloorHeight:
        return MakeScalarStateValue(-0.75);
    case kSceneStateBackgroundColour:
        return MakeColourStateValue(XARGB32Colour::kBlack);
    case kSceneStateOverlayColour:
    case kSceneStateTimestampColour:
    case kSceneStateCalibrationLineColour:
        return MakeColourStateValue(XARGB32Colour::kWhite);
    case kSceneStateCrossHairsColour:
        return MakeColourStateValue(XARGB32Colour(255, 255, 255, 0));
    case kSceneStateSpotColour:
        return MakeColourStateValue(XARGB32Colour::kRed);
    case kSceneStateBleachingLimitsColour:
        return MakeColourStateValue(XARGB32Colour::kGreen);
    case kSceneStateShadedRegionColour:
        return MakeColourStateValue(XARGB32Colour(128, 0, 0, 255));
    case kSceneStateYZPlane:
    case kSceneStateXZPlane:
    case kSceneStateXYPlane:
        return MakeScalarStateValue(0.5);
    case kSceneStatePlanes:
    case kSceneStateMergeWeight:
    case kSceneStateReferencePlaneOpacity:
    case kSceneStateChannelVisible:
        return MakeScalarStateValue(1.0);
    default:
        return MakeScalarStateValue(0.0);
    }
}

X3DMatrix XRenderer::GetStateValueAtTimeSelf(XRendererStateName inName, uint32_t inChannel,
                                             const XRendererSceneState& inFrom, const XRendererSceneState& inTo,
                                             float inTime) const
{
    const X3DMatrix& from = inFrom.GetState(inName, inChannel);
    const X3DMatrix& to = inTo.GetState(inName, inChannel);
    switch (GetStateInterpolation(inName)) {
    case XStateInterpolation::kCamera:
        return InterpolateCamera(from, to, inTime);
    case XStateInterpolation::kRotation:
        return InterpolateRotation(from, to, inTime);
    case XStateInterpolation::kLinear:
        return InterpolateLinear(from, to, inTime);
    case XStateInterpolation::kHold:
        break;
    }
    return InterpolateHold(from, to, inTime);
}

XRenderer::XStateInterpolation XRenderer::GetStateInterpolation(XRendererStateName inName)
{
    switch (inName) {
    case kSceneStateCamera:
        return XStateInterpolation::kCamera;
    case kSceneStateRotation:
        return XStateInterpolation::kRotation;
    case kSceneStateVolumePosition:
    case kSceneStateLightPosition:
    case kSceneStateFloorColour:
    case kSceneStateFloorHeight:
    case kSceneStateBackgroundColour:
    case kSceneStateOverlayColour:
    case kSceneStateTimestampColour:
    case kSceneStateYZPlane:
    case kSceneStateXZPlane:
    case kSceneStateXYPlane:
    case kSceneStateCalibrationLineColour:
    case kSceneStateCrossHairsColour:
    case kSceneStateSpotColour:
    case kSceneStateBleachingLimitsColour:
    case kSceneStateShadedRegionColour:
    case kSceneStateMergeWeight:
    case kSceneStateReferencePlaneOpacity:
        return XStateInterpolation::kLinear;
    default:
        // Flags and modes, and names whose meaning this base does not know: a blend
        // of two modes is no mode at all.
        return XStateInterpolation::kHold;
    }
}

X3DMatrix XRenderer::MakeCameraStateValue(const X3DMatrix& inEye, const X3DMatrix& inLookAt, const X3DMatrix& inUp)
{
    X3DMatrix backward = (inEye - inLookAt).GetL2Norm();
    X3DMatrix right = X3DMatrix::CrossProduct(inUp, backward).GetL2Norm();
    if (right.L2Length() == 0.0) {
        // Up parallel to the view direction: any perpendicular right axis will do.
        right = X3DMatrix::CrossProduct(MakeVector(0, 0, 1), backward).GetL2Norm();
        if (right.L2Length() == 0.0)
            right = MakeVector(1, 0, 0);
    }
    if (backward.L2Length() == 0.0)
        backward = MakeVector(0, 0, 1);
    const X3DMatrix up = X3DMatrix::CrossProduct(backward, right).GetL2Norm();
    X3DMatrix camera = X3DMatrix::UnitMatrix(4);
    camera.SetSubMatrix(0, 0, right);
    camera.SetSubMatrix(0, 1, up);
    camera.SetSubMatrix(0, 2, backward);
    camera.SetSubMatrix(0, 3, inEye);
    return camera;
}

X3DMatrix XRenderer::MakeColourStateValue(const XARGB32Colour& inColour)
{
    return X3DMatrix::ColumnVector({double(inColour.alpha), double(inColour.red), double(inColour.green),
                                    double(inColour.blue)});
}

XARGB32Colour XRenderer::GetColourFromStateValue(const X3DMatrix& inValue, const XARGB32Colour& inDefault)
{
    if (inValue.GetRows() < 4 || inValue.GetColumns() < 1)
        return inDefault;
    uint8_t bytes[4];
    for (size_t row = 0; row < 4; ++row) {
        const double value = inValue(row, 0);
        if (!std::isfinite(value))
            return inDefault;
        bytes[row] = uint8_t(std::lround(std::clamp(value, 0.0, 255.0)));
    }
    return XARGB32Colour(bytes[0], bytes[1], bytes[2], bytes[3]);
}

X3DMatrix XRenderer::InterpolateHold(const X3DMatrix& inFrom, const X3DMatrix& inTo, double inTime)
{
    return inTime >= 1.0 ? inTo : inFrom;
}

X3DMatrix XRenderer::InterpolateLinear(const X3DMatrix& inFrom, const X3DMatrix& inTo, double inTime)
{
    if (inFrom.GetRows() != inTo.GetRows() || inFrom.GetColumns() != inTo.GetColumns())
        return InterpolateHold(inFrom, inTo, inTime);
    if (inTime <= 0.0)
        return inFrom;
    if (inTime >= 1.0)
        return inTo;
    return inFrom * (1.0 - inTime) + inTo * inTime;
}

X3DMatrix XRenderer::InterpolateRotation(const X3DMatrix& inFrom, const X3DMatrix& inTo, double inTime)
{
    if (!IsRotation(inFrom) || !IsRotation(inTo))
        return InterpolateHold(inFrom, inTo, inTime);
    if (inTime <= 0.0)
        return inFrom;
    if (inTime >= 1.0)
        return inTo;
    return SlerpRotation(inFrom, inTo, inTime);
}

X3DMatrix XRenderer::InterpolateCamera(const X3DMatrix& inFrom, const X3DMatrix& inTo, double inTime)
{
    if (!inFrom.IsSquare(4) || !inTo.IsSquare(4) || !IsFinite(inFrom) || !IsFinite(inTo))
        return InterpolateHold(inFrom, inTo, inTime);
    const X3DMatrix fromOrientation = inFrom.GetSubMatrix(0, 0, 3, 3);
    const X3DMatrix toOrientation = inTo.GetSubMatrix(0, 0, 3, 3);
    if (!IsRotation(fromOrientation) || !IsRotation(toOrientation))
        return InterpolateHold(inFrom, inTo, inTime);
    if (inTime <= 0.0)
        return inFrom;
    if (inTime >= 1.0)
        return inTo;
    const X3DMatrix eye = inFrom.GetSubMatrix(0, 3, 3, 1) * (1.0 - inTime) + inTo.GetSubMatrix(0, 3, 3, 1) * inTime;
    X3DMatrix camera = X3DMatrix::UnitMatrix(4);
    camera.SetSubMatrix(0, 0, SlerpRotation(fromOrientation, toOrientation, inTime));
    camera.SetSubMatrix(0, 3, eye);
    return camera;
}

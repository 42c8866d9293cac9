#include "XVoxelSpyPinTargetAttachment.h"
#include "XImageDataSource.h"
#include "XImagePane.h"
#include "XRenderer.h"
#include "XVoxelSpyPinList.h"
#include "XVoxelSpyPinOverlayAttachment.h"

#include <algorithm>
#include <vector>

XVoxelSpyPinTargetAttachment::XVoxelSpyPinTargetAttachment(XRenderer& inRenderer, XVoxelSpyPinOverlayAttachment& inOverlay,
                                                           XVoxelSpyPinList& inPins, const XPtrVector<XImagePane>& inPanes)
    : itsRenderer(inRenderer), itsOverlay(inOverlay), itsPins(inPins), itsPanes(inPanes)
{
}

XImagePane* XVoxelSpyPinTargetAttachment::GetImagePane() const { return dynamic_cast<XImagePane*>(GetCanvasPane()); }

X3DRect XVoxelSpyPinTargetAttachment::GetDataBounds() const
{
    const auto& source = itsRenderer.GetDataSource();
    return source ? source->GetBounds() : X3DRect();
}

X3DPoint XVoxelSpyPinTargetAttachment::GetVolumePosition(const XPoint& inPoint) const
{
    const XImagePane* pane = GetImagePane();
    if (!pane)
        return X3DPoint();
    X3DPoint p = XImagePane::PictureToVolumeAxes(pane->Translate2DTo3D(inPoint), pane->GetPlaneMode());
    const X3DRect bounds = GetDataBounds();
    if (!bounds.IsEmpty()) {
        p.x = std::clamp(p.x, bounds.left, bounds.right - 1);
        p.y = std::clamp(p.y, bounds.top, bounds.bottom - 1);
        p.z = std::clamp(p.z, bounds.front, bounds.back - 1);
    }
    return p;
}

bool XVoxelSpyPinTargetAttachment::IsPinHit(const XPoint& inPoint, size_t& outIndex) const
{
    for (size_t i = 0; i < itsPins.GetPinCount(); ++i) {
        const XVoxelSpyPinList::XPin& pin = itsPins.GetPins()[i];
        if (itsOverlay.IsPinShown(pin.position) &&
            itsOverlay.GetLocalBoundsForPinBubble(pin.position, pin.bubble).Contains(inPoint)) {
            outIndex = i;
            return true;
        }
    }
    return false;
}

uint32_t XVoxelSpyPinTargetAttachment::GetAllowedPinBubblePosition(const X3DPoint& inPosition, uint32_t inPreferred) const
{
    const XImagePane* pane = GetImagePane();
    if (!pane)
        return inPreferred;
    const XRect canvas = pane->GetCanvasBounds();
    uint32_t fallback = 4;
    for (uint32_t step = 0; step < 4; ++step) {
        const uint32_t bubble = (inPreferred + step) % 4;
        const XRect rect = itsOverlay.GetLocalBoundsForPinBubble(inPosition, bubble);
        if (!canvas.Contains(rect))
            continue;
        bool overlaps = false;
        for (const XVoxelSpyPinList::XPin& other : itsPins.GetPins())
            if (itsOverlay.IsPinShown(other.position) &&
                itsOverlay.GetLocalBoundsForPinBubble(other.position, other.bubble).Intersects(rect))
                overlaps = true;
        if (!overlaps)
            return bubble;
        if (fallback == 4)
            fallback = bubble;
    }
    return fallback == 4 ? inPreferred % 4 : fallback;
}

void XVoxelSpyPinTargetAttachment::ConstrainOffsetForSelectedPins(X3DPoint& inOutOffset) const
{
    const X3DRect bounds = GetDataBounds();
    if (bounds.IsEmpty())
        return;
    auto constrain = [](int32_t& inOutOffset, int32_t inPosition, int32_t inLow, int32_t inHigh) {
        inOutOffset = std::clamp(inOutOffset, inLow - inPosition, std::max(inLow, inHigh - 1) - inPosition);
    };
    for (size_t index : itsPins.GetSelectedPins()) {
        if (index >= itsPins.GetPinCount())
            continue;
        const X3DPoint p = itsPins.GetPins()[index].position;
        constrain(inOutOffset.x, p.x, bounds.left, bounds.right);
        constrain(inOutOffset.y, p.y, bounds.top, bounds.bottom);
        constrain(inOutOffset.z, p.z, bounds.front, bounds.back);
    }
}

void XVoxelSpyPinTargetAttachment::SetStateOfPins()
{
    const size_t count = itsPins.GetPinCount();
    X3DMatrix value(std::max<size_t>(count, 1), 4, 0.0);
    for (size_t i = 0; i < count; ++i) {
        const X3DPoint& p = itsPins.GetPins()[i].position;
        value(i, 0) = p.x;
        value(i, 1) = p.y;
        value(i, 2) = p.z;
        value(i, 3) = itsPins.IsPinSelected(i) ? 1.0 : 0.0;
    }
    XRendererSceneState state;
    state.SetStateAndEnable(kSceneStateVoxelSpyPins, value);
    itsRenderer.SetSceneState(state);
}

void XVoxelSpyPinTargetAttachment::RefreshAllOtherImagePanes()
{
    for (XImagePane* pane : itsPanes)
        if (pane && pane != GetCanvasPane())
            pane->RedrawCanvas();
}

void XVoxelSpyPinTargetAttachment::Changed()
{
    itsRenderer.RefreshRenderer();
    if (XCanvasPaneBase* pane = GetCanvasPane())
        pane->RedrawCanvas();
    RefreshAllOtherImagePanes();
}

XEventResult XVoxelSpyPinTargetAttachment::HandleMouseEvent(XMouseEvent inEvent, const XPoint& inPoint, uint32_t inFlags)
{
    XImagePane* pane = GetImagePane();
    if (inEvent != kMouseDown || !pane)
        return kEventNotHandled;
    size_t hit = 0;
    // Bubbles are tried first: one may hang over the image's edge.
    if (IsPinHit(inPoint, hit)) {
        if (!itsPins.IsPinSelected(hit)) {
            if ((inFlags & 1u) == 0)
                itsPins.UnselectAllPins();
            itsPins.SelectPin(hit);
        } else if (inFlags & 1u) {
            itsPins.UnselectPin(hit);
        }
        pane->RedrawCanvas(true);
        if (pane->WaitForDrag(inPoint))
            DragSelectedPins(inPoint);
        Changed();
    } else if (!pane->CalcImageDestBounds().Contains(inPoint)) {
        itsPins.RemoveAllPins();
        Changed();
    } else {
        const X3DPoint position = GetVolumePosition(inPoint);
        if ((inFlags & 2u) == 0)
            itsPins.RemoveAllPins();
        itsPins.UnselectAllPins();
        const size_t index = itsPins.AddPin(position, 0);
        itsPins.SetPinBubble(index, GetAllowedPinBubblePosition(position, XVoxelSpyPinOverlayAttachment::kBubbleAboveLeft));
        itsPins.SelectPin(index);
        Changed();
    }
    SetStateOfPins();
    return kEventNotHandled;
}

void XVoxelSpyPinTargetAttachment::DragSelectedPins(const XPoint& inStart)
{
    XImagePane* pane = GetImagePane();
    std::vector<std::pair<size_t, X3DPoint>> starts;
    for (size_t index : itsPins.GetSelectedPins())
        starts.emplace_back(index, itsPins.GetPin(index));
    // Unclamped, so that an offset is measured from where the drag really started.
    const X3DPoint from = XImagePane::PictureToVolumeAxes(pane->Translate2DTo3D(inStart), pane->GetPlaneMode());
    while (true) {
        const XInputSample sample = pane->PollMouse();
        const X3DPoint to = XImagePane::PictureToVolumeAxes(pane->Translate2DTo3D(sample.point), pane->GetPlaneMode());
        for (const auto& [index, start] : starts)
            itsPins.SetPinPosition(index, start);
        X3DPoint offset = to - from;
        ConstrainOffsetForSelectedPins(offset);
        itsPins.OffsetPins(itsPins.GetSelectedPins(), offset);
        pane->RedrawCanvas(true);
        if ((sample.buttons & kButtonLeft) == 0)
            break;
    }
}

XEventResult XVoxelSpyPinTargetAttachment::HandleKeyDown(uint32_t inKey, uint32_t)
{
    if (inKey != kKeyDelete)
        return kEventNotHandled;
    bool enabled = false;
    HandleCmdUpdate(kCommandClear, enabled);
    if (enabled)
        HandleCmd(kCommandClear);
    return kEventHandled;
}

XEventResult XVoxelSpyPinTargetAttachment::HandleCmd(uint32_t inCommand)
{
    switch (inCommand) {
    case kCommandClear:
        itsPins.RemoveSelectedPins();
        break;
    case kCommandSelectAll:
        itsPins.SelectAllPins();
        break;
    case kCommandSelectNone:
        itsPins.UnselectAllPins();
        break;
    case kCommandInvertSelection: {
        XSet<size_t> inverted;
        for (size_t i = 0; i < itsPins.GetPinCount(); ++i)
            if (!itsPins.IsPinSelected(i))
                inverted.insert(i);
        itsPins.UnselectAllPins();
        itsPins.SelectPins(inverted);
        break;
    }
    default:
        return kEventNotHandled;
    }
    SetStateOfPins();
    Changed();
    return kEventHandled;
}

XEventResult XVoxelSpyPinTargetAttachment::HandleCmdUpdate(uint32_t inCommand, bool& outEnabled)
{
    const size_t selected = itsPins.GetSelectedPins().size();
    switch (inCommand) {
    case kCommandClear:
    case kCommandSelectNone:
    case kCommandInvertSelection:
        outEnabled = selected > 0;
        return kEventHandled;
    case kCommandSelectAll:
        outEnabled = itsPins.GetPinCount() > 0 && selected < itsPins.GetPinCount();
        return kEventHandled;
    default:
        return kEventNotHandled;
    }
}

#include "XZoomToolRendererAttachment.h"
#include "XAssert.h"
#include "XGC.h"
#include "XHintAlert.h"
#include "XImagePane.h"

#include <algorithm>
#include <cmath>

namespace {
// The smallest power of two at or above inValue (inValue >= 1).
double PowerOfTwoAtLeast(double inValue)
{
    return std::exp2(std::ceil(std::log2(inValue)));
}
} // namespace

bool XZoomToolRendererAttachment::IsValidZoomScale(double inScale)
{
    return inScale >= kMinZoomScale && inScale <= kMaxZoomScale;
}

double XZoomToolRendererAttachment::GetNextZoomInScale(double inScale)
{
    if (!(inScale > 0.0) || !std::isfinite(inScale))
        return 1.0;
    if (inScale >= 1.0)
        return PowerOfTwoAtLeast(std::floor(inScale) + 1.0);
    const double n = PowerOfTwoAtLeast(std::ceil(1.0 / inScale));
    return 1.0 / std::exp2(std::floor(std::log2(n - 1.0)));
}

double XZoomToolRendererAttachment::GetNextZoomOutScale(double inScale)
{
    if (!(inScale > 0.0) || !std::isfinite(inScale))
        return 1.0;
    if (inScale > 1.0) {
        // Just above 1 the floor is 0, whose logarithm has no value: the step out is 1.
        const double whole = std::floor(inScale - 0.001);
        return whole < 1.0 ? 1.0 : std::exp2(std::floor(std::log2(whole)));
    }
    const double p = std::exp2(std::floor(std::log2(std::floor(1.0 / inScale))));
    return 1.0 / (2.0 * p);
}

double XZoomToolRendererAttachment::GetZoomScaleFromRect(const XRect& inRect, double inScale, int32_t inPaneWidth,
                                                         int32_t inPaneHeight)
{
    if (inRect.IsEmpty())
        return inScale;
    const double factor = std::min(double(inPaneWidth) / inRect.GetWidth(), double(inPaneHeight) / inRect.GetHeight());
    const double scale = inScale * factor;
    return scale > 1.0 ? 2.0 * std::floor(scale / 2.0 + 0.5) : scale;
}

void XZoomToolRendererAttachment::AlertForInvalidZoomScaleValue(double inScale)
{
    if (inScale > kMaxZoomScale)
        XHintAlert(XHintAlert::kHintAlertCannotEnlarge, "This image cannot be made any larger",
                   "The maximum zoom level is 64x or 6400%").Show();
    else
        XHintAlert(XHintAlert::kHintAlertCannotReduce, "This image cannot be made any smaller",
                   "The minimum zoom level is 1/64x or about 2%").Show();
}

XImagePane* XZoomToolRendererAttachment::GetImagePane() const { return dynamic_cast<XImagePane*>(GetCanvasPane()); }

double XZoomToolRendererAttachment::GetNextZoomInScale() const
{
    const XImagePane* pane = GetImagePane();
    return GetNextZoomInScale(pane ? pane->GetScale() : 1.0);
}

double XZoomToolRendererAttachment::GetNextZoomOutScale() const
{
    const XImagePane* pane = GetImagePane();
    return GetNextZoomOutScale(pane ? pane->GetScale() : 1.0);
}

double XZoomToolRendererAttachment::GetZoomScaleFromRect(const XRect& inRect) const
{
    const XImagePane* pane = GetImagePane();
    if (!pane)
        return 1.0;
    return GetZoomScaleFromRect(inRect, pane->GetScale(), pane->GetWidth(), pane->GetHeight());
}

bool XZoomToolRendererAttachment::IsPointInActiveToolArea(const XPoint& inPoint) const
{
    const XImagePane* pane = GetImagePane();
    return pane && pane->CalcImageDestBounds().Contains(inPoint);
}

void XZoomToolRendererAttachment::Destroy()
{
    if (XCanvasPaneBase* pane = GetCanvasPane())
        pane->RemoveCanvasAttachment(this);
}

XEventResult XZoomToolRendererAttachment::HandleSetCursor(const XPoint& inPoint, uint32_t inFlags)
{
    if (!IsPointInActiveToolArea(inPoint))
        return kEventNotHandled;
    GetCanvasPane()->SetCursor(IsModifierKeysForZoomOut(inFlags) ? kCursorZoomOut : kCursorZoomIn);
    return kEventHandled;
}

XEventResult XZoomToolRendererAttachment::HandleMouseEvent(XMouseEvent inEvent, const XPoint& inPoint, uint32_t inFlags)
{
    if (inEvent != kMouseDown && inEvent != kMouseDoubleClick)
        return kEventNotHandled;
    XImagePane* imagePane = GetImagePane();
    X_ASSERT(imagePane);
    if (!imagePane || !IsPointInActiveToolArea(inPoint))
        return kEventNotHandled;
    HandleSetCursor(inPoint, inFlags);

    XPoint zoomPoint = inPoint;
    double scale = 1.0;
    if (IsModifierKeysForZoomOut(inFlags))
        scale = GetNextZoomOutScale();
    else
        HandleZoomInEvent(zoomPoint, scale);

    if (IsValidZoomScale(scale)) {
        XImagePane::DisableZoomToFitForAllImagePanes();
        imagePane->SetScale(scale, zoomPoint);
        if (!IsPointInActiveToolArea(imagePane->GetMousePosition()))
            imagePane->SetCursor(kCursorArrow);
    } else {
        AlertForInvalidZoomScaleValue(scale);
    }
    return kEventHandled;
}

void XZoomToolRendererAttachment::HandleZoomInEvent(XPoint& inOutPoint, double& outScale)
{
    XImagePane* pane = GetImagePane();
    const XPoint start = inOutPoint;
    if (pane && pane->WaitForDrag(start)) {
        XPoint current = start;
        while (true) {
            const XInputSample sample = pane->PollMouse();
            current = sample.point;
            if ((sample.buttons & kButtonLeft) == 0)
                break;
            itsDragRect = XRect(std::min(start.x, current.x), std::min(start.y, current.y), std::max(start.x, current.x),
                                std::max(start.y, current.y));
            pane->RedrawCanvas(true);
        }
        const XRect band(std::min(start.x, current.x), std::min(start.y, current.y), std::max(start.x, current.x),
                         std::max(start.y, current.y));
        itsDragRect = XRect();
        pane->RedrawCanvas(true);
        // A band of no area is a click where it started.
        if (!band.IsEmpty()) {
            outScale = GetZoomScaleFromRect(band);
            inOutPoint = XPoint((band.left + band.right) / 2, (band.top + band.bottom) / 2);
            return;
        }
    }
    outScale = GetNextZoomInScale();
}

XEventResult XZoomToolRendererAttachment::PostDrawCanvas(XGC& inGC)
{
    if (!itsDragRect.IsEmpty())
        DrawDragRectFeedback(inGC);
    return kEventNotHandled;
}

void XZoomToolRendererAttachment::DrawDragRectFeedback(XGC& inGC)
{
    inGC.Save();
    inGC.SetAntiAliasMode(XGC::kAntiAliasOff);
    inGC.SetStrokeWidth(1.0);
    inGC.SetPenStyle(XGC::kPenSolid);
    inGC.SetStrokeColour(XARGB32Colour::kBlack);
    inGC.FrameRect(itsDragRect);
    inGC.SetPenStyle(XGC::kPenDot);
    inGC.SetStrokeColour(XARGB32Colour::kWhite);
    inGC.FrameRect(itsDragRect);
    inGC.Restore();
}

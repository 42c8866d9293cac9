#include "XVoxelSpyPinOverlayAttachment.h"
#include "XGC.h"
#include "XGCFont.h"
#include "XImagePane.h"
#include "XVoxelSpyPinList.h"
#include "XVoxelSpyValues.h"

namespace {
const XARGB32Colour kBubbleColour(230, 255, 255, 255);
const XARGB32Colour kSelectedColour(230, 255, 236, 140);
const XARGB32Colour kPinColour(255, 255, 60, 60);
} // namespace

XVoxelSpyPinOverlayAttachment::XVoxelSpyPinOverlayAttachment(XRenderer& inRenderer, XVoxelSpyPinList& inPins)
    : itsRenderer(inRenderer), itsPins(inPins)
{
}

XImagePane* XVoxelSpyPinOverlayAttachment::GetImagePane() const { return dynamic_cast<XImagePane*>(GetCanvasPane()); }

bool XVoxelSpyPinOverlayAttachment::IsPinShown(const X3DPoint& inPosition) const
{
    const XImagePane* pane = GetImagePane();
    if (!pane)
        return false;
    return XImagePane::PictureToVolumeAxes(inPosition, pane->GetPlaneMode()).z == pane->GetPlaneIndex();
}

XPoint XVoxelSpyPinOverlayAttachment::GetPinPoint(const X3DPoint& inPosition) const
{
    const XImagePane* pane = GetImagePane();
    return pane ? pane->Translate3DTo2D(XImagePane::PictureToVolumeAxes(inPosition, pane->GetPlaneMode())) : XPoint();
}

std::vector<XString> XVoxelSpyPinOverlayAttachment::GetBubbleLines(const X3DPoint& inPosition) const
{
    std::vector<XString> lines = XVoxelSpyValues::GetCoordinateLines(inPosition);
    for (const XVoxelSpyValues::XChannelValue& value : XVoxelSpyValues::GetChannelValues(itsRenderer, inPosition))
        lines.push_back(value.value);
    return lines;
}

XRect XVoxelSpyPinOverlayAttachment::GetLocalBoundsForPinBubble(const X3DPoint& inPosition, uint32_t inBubble) const
{
    const XPoint pin = GetPinPoint(inPosition);
    const int32_t height = 2 * kBubbleMargin + kLineHeight * int32_t(GetBubbleLines(inPosition).size());
    const bool left = inBubble == kBubbleAboveLeft || inBubble == kBubbleBelowLeft;
    const bool above = inBubble == kBubbleAboveRight || inBubble == kBubbleAboveLeft;
    const int32_t x = left ? pin.x - kBubbleOffset - kBubbleWidth : pin.x + kBubbleOffset;
    const int32_t y = above ? pin.y - kBubbleOffset - height : pin.y + kBubbleOffset;
    return XRect(x, y, x + kBubbleWidth, y + height);
}

XEventResult XVoxelSpyPinOverlayAttachment::PostDrawCanvas(XGC& inGC)
{
    for (size_t i = 0; i < itsPins.GetPinCount(); ++i) {
        const XVoxelSpyPinList::XPin& pin = itsPins.GetPins()[i];
        if (IsPinShown(pin.position))
            DrawBubble(inGC, pin.position, pin.bubble, itsPins.IsPinSelected(i));
    }
    return kEventNotHandled;
}

void XVoxelSpyPinOverlayAttachment::DrawBubble(XGC& inGC, const X3DPoint& inPosition, uint32_t inBubble, bool inSelected)
{
    const XPoint pin = GetPinPoint(inPosition);
    const XRect bubble = GetLocalBoundsForPinBubble(inPosition, inBubble);
    inGC.Save();
    inGC.SetStrokeWidth(1.0);
    inGC.SetStrokeColour(XARGB32Colour::kBlack);
    const double nearX = pin.x < bubble.left ? bubble.left : bubble.right;
    const double nearY = pin.y < bubble.top ? bubble.top : bubble.bottom;
    inGC.DrawLine(pin.x, pin.y, nearX, nearY);
    inGC.SetFillColour(inSelected ? kSelectedColour : kBubbleColour);
    inGC.FillRoundedRect(bubble, 4.0);
    inGC.FrameRect(bubble);
    inGC.SetFillColour(kPinColour);
    inGC.FillRect(XRect(pin.x - 2, pin.y - 2, pin.x + 3, pin.y + 3));
    DrawCoordinates(inGC, inPosition, bubble);
    DrawChannelInformation(inGC, inPosition, bubble);
    inGC.Restore();
}

void XVoxelSpyPinOverlayAttachment::DrawCoordinates(XGC& inGC, const X3DPoint& inPosition, const XRect& inBubble)
{
    inGC.SetFont(XGCFont::MakeStandard(XGCFont::kFaceSmall));
    inGC.SetFillColour(XARGB32Colour::kBlack);
    double y = inBubble.top + kBubbleMargin;
    for (const XString& line : XVoxelSpyValues::GetCoordinateLines(inPosition)) {
        inGC.DrawTextA(line, inBubble.left + kBubbleMargin, y);
        y += kLineHeight;
    }
}

void XVoxelSpyPinOverlayAttachment::DrawChannelInformation(XGC& inGC, const X3DPoint& inPosition, const XRect& inBubble)
{
    inGC.SetFont(XGCFont::MakeStandard(XGCFont::kFaceSmall));
    double y = inBubble.top + kBubbleMargin + 3 * kLineHeight;
    for (const XVoxelSpyValues::XChannelValue& value : XVoxelSpyValues::GetChannelValues(itsRenderer, inPosition)) {
        inGC.SetFillColour(value.colour);
        inGC.FillRect(XRectF(inBubble.left + kBubbleMargin, y + 3, inBubble.left + kBubbleMargin + 8, y + 11));
        inGC.SetFillColour(XARGB32Colour::kBlack);
        inGC.DrawTextA(inGC.TruncateTextWithEllipsis(value.value, kBubbleWidth - 3 * kBubbleMargin - 8),
                       inBubble.left + 2 * kBubbleMargin + 8, y);
        y += kLineHeight;
    }
}

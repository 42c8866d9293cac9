#include "XTextOverlayCanvasAttachment.h"

#include "XCanvasPaneBase.h"
#include "XGC.h"
#include "XPlaceholderTextCanvasAttachment.h"
#include "XProgressMessage.h"
#include "XSpeaker.h"
#include "XThread.h"

#include <algorithm>
#include <cmath>

namespace {
XARGB32Colour IconColour(uint32_t inIcon)
{
    switch (inIcon) {
    case XTextOverlayCanvasAttachment::kIconInformation: return XARGB32Colour(255, 40, 110, 255);
    case XTextOverlayCanvasAttachment::kIconWarning: return XARGB32Colour(255, 240, 180, 0);
    case XTextOverlayCanvasAttachment::kIconError: return XARGB32Colour(255, 220, 30, 30);
    default: return XARGB32Colour(0, 0, 0, 0);
    }
}
} // namespace

XTextOverlayCanvasAttachment::~XTextOverlayCanvasAttachment() { StopListening(); }

void XTextOverlayCanvasAttachment::SetVisible(bool inVisible)
{
    if (inVisible == itsIsVisible)
        return;
    itsIsVisible = inVisible;
    Redraw();
}

void XTextOverlayCanvasAttachment::SetErrorText(const XString& inText)
{
    itsErrorText = inText;
    Redraw();
}

uint32_t XTextOverlayCanvasAttachment::AddCustomMessage(const XString& inText, uint32_t inIcon,
                                                        const XARGB32Colour& inColour)
{
    const uint32_t id = itsNextID++;
    itsMessages[id] = XCustomMessage{inText, inIcon, inColour};
    Redraw();
    return id;
}

bool XTextOverlayCanvasAttachment::SetCustomMessage(uint32_t inID, const XString& inText, uint32_t inIcon,
                                                    const XARGB32Colour& inColour)
{
    auto found = itsMessages.find(inID);
    if (found == itsMessages.end())
        return false;
    found->second = XCustomMessage{inText, inIcon, inColour};
    Redraw();
    return true;
}

bool XTextOverlayCanvasAttachment::RemoveCustomMessage(uint32_t inID)
{
    if (itsMessages.erase(inID) == 0)
        return false;
    Redraw();
    return true;
}

std::vector<XTextOverlayCanvasAttachment::XCustomMessage> XTextOverlayCanvasAttachment::GetCustomMessages() const
{
    std::vector<XCustomMessage> messages;
    for (const auto& [id, message] : itsMessages)
        messages.push_back(message);
    return messages;
}

void XTextOverlayCanvasAttachment::AddProgressSpeaker(XSpeaker& inSpeaker)
{
    Subscribe(inSpeaker);
    if (std::find(itsSpeakers.begin(), itsSpeakers.end(), &inSpeaker) == itsSpeakers.end())
        itsSpeakers.push_back(&inSpeaker);
}

void XTextOverlayCanvasAttachment::RemoveProgressSpeaker(XSpeaker& inSpeaker)
{
    Unsubscribe(inSpeaker);
    std::erase(itsSpeakers, &inSpeaker);
    const auto removed = std::remove_if(itsProgress.begin(), itsProgress.end(),
                                        [&](const XProgressState& s) { return s.speaker == &inSpeaker; });
    if (removed != itsProgress.end()) {
        itsProgress.erase(removed, itsProgress.end());
        Redraw();
    }
}

void XTextOverlayCanvasAttachment::HandleMessage(const XMessage& inMessage)
{
    const auto* progress = dynamic_cast<const XProgressMessage*>(&inMessage);
    if (!progress)
        return;
    // Work on job threads speaks its progress there; the overlay changes on the main thread.
    if (!XThread::IsMainThread()) {
        XSpeaker::PostXMessage(inMessage.Clone(), this);
        return;
    }
    // A posted message may arrive after its speaker was removed.
    if (std::find(itsSpeakers.begin(), itsSpeakers.end(), progress->GetSpeaker()) == itsSpeakers.end())
        return;
    auto found = std::find_if(itsProgress.begin(), itsProgress.end(),
                              [&](const XProgressState& s) { return s.speaker == progress->GetSpeaker(); });
    if (progress->IsDone()) {
        if (found != itsProgress.end())
            itsProgress.erase(found);
    } else {
        if (found == itsProgress.end()) {
            itsProgress.push_back(XProgressState{progress->GetSpeaker(), XString(), 0.0});
            found = itsProgress.end() - 1;
        }
        found->text = progress->GetText();
        found->fraction = progress->GetFraction();
    }
    Redraw();
}

void XTextOverlayCanvasAttachment::Redraw()
{
    if (XCanvasPaneBase* pane = GetCanvasPane())
        pane->RedrawCanvas();
}

XEventResult XTextOverlayCanvasAttachment::PostDrawCanvas(XGC& inGC)
{
    if (!itsIsVisible || !GetCanvasPane())
        return kEventNotHandled;
    const XRect bounds = GetCanvasPane()->GetCanvasBounds();
    DrawCustomMessages(inGC);
    DrawProgress(inGC, bounds);
    DrawError(inGC, bounds);
    return kEventHandled;
}

void XTextOverlayCanvasAttachment::DrawError(XGC& inGC, const XRect& inBounds)
{
    if (itsErrorText.IsEmpty())
        return;
    const double width = std::max(1.0, inBounds.GetWidth() * 0.6);
    const std::vector<XString> lines = XPlaceholderTextCanvasAttachment::WrapText(inGC, itsErrorText, width);
    const double lineHeight = inGC.MeasureText("Ag").height;
    double textWidth = 0.0;
    for (const XString& line : lines)
        textWidth = std::max(textWidth, inGC.MeasureText(line).width);
    const double boxWidth = textWidth + 2 * kMargin;
    const double boxHeight = lineHeight * double(lines.size()) + 2 * kMargin;
    const XRectF box((inBounds.GetWidth() - boxWidth) / 2.0, (inBounds.GetHeight() - boxHeight) / 2.0,
                     (inBounds.GetWidth() + boxWidth) / 2.0, (inBounds.GetHeight() + boxHeight) / 2.0);
    inGC.SetFillColour(XARGB32Colour(230, 255, 255, 255));
    inGC.FillRoundedRect(box, 4.0);
    inGC.SetStrokeColour(IconColour(kIconError));
    inGC.SetStrokeWidth(2.0);
    inGC.FrameRect(box);
    inGC.SetFillColour(XARGB32Colour::kBlack);
    double y = box.top + kMargin;
    for (const XString& line : lines) {
        inGC.DrawTextA(line, inBounds.GetWidth() / 2.0, y, XGC::kAlignCentre | XGC::kAlignTop);
        y += lineHeight;
    }
}

void XTextOverlayCanvasAttachment::DrawCustomMessages(XGC& inGC)
{
    double y = kMargin;
    for (const auto& [id, message] : itsMessages) {
        const XGC::XTextSize size = inGC.MeasureText(message.text);
        const double icon = message.icon == kIconNone ? 0.0 : size.height;
        const XRectF box(kMargin, y, kMargin + icon + size.width + 2 * kMargin, y + size.height + kMargin);
        inGC.SetFillColour(XARGB32Colour(200, 255, 255, 255));
        inGC.FillRoundedRect(box, 3.0);
        if (icon > 0.0) {
            inGC.SetFillColour(IconColour(message.icon));
            inGC.FillRoundedRect(XRectF(box.left + kMargin / 2, y + kMargin / 2 + 2, box.left + kMargin / 2 + icon - 4,
                                        y + kMargin / 2 + icon - 2),
                                 (icon - 4) / 2.0);
        }
        inGC.SetFillColour(message.colour);
        inGC.DrawTextA(message.text, box.left + kMargin + icon, y + kMargin / 2);
        y = box.bottom + kMargin / 2;
    }
}

void XTextOverlayCanvasAttachment::DrawProgress(XGC& inGC, const XRect& inBounds)
{
    double bottom = inBounds.GetHeight() - kMargin;
    const double lineHeight = inGC.MeasureText("Ag").height;
    for (auto state = itsProgress.rbegin(); state != itsProgress.rend(); ++state) {
        const XRectF bar(kMargin, bottom - kProgressBarHeight, inBounds.GetWidth() - kMargin, bottom);
        inGC.SetFillColour(XARGB32Colour(200, 40, 40, 40));
        inGC.FillRect(bar);
        // Unknown amounts show a full bar of a paler colour.
        const bool known = std::isfinite(state->fraction);
        const double fraction = known ? std::clamp(state->fraction, 0.0, 1.0) : 1.0;
        inGC.SetFillColour(known ? XARGB32Colour(255, 40, 160, 255) : XARGB32Colour(255, 120, 120, 120));
        inGC.FillRect(XRectF(bar.left, bar.top, bar.left + (bar.right - bar.left) * fraction, bar.bottom));
        inGC.SetFillColour(XARGB32Colour::kWhite);
        inGC.DrawTextA(state->text, bar.left, bar.top - 2, XGC::kAlignLeft | XGC::kAlignBottom);
        bottom = bar.top - lineHeight - kMargin;
    }
}

#include "XCanvasPaneBase.h"

#include "XAppMessageCentre.h"
#include "XAssert.h"
#include "XBGRA32Volume.h"
#include "XCanvasAttachment.h"
#include "XGC.h"
#include "XLock.h"
#include "XMessage.h"
#include "XThread.h"

#include <algorithm>
#include <cstdlib>

// Posted to the pane itself; later requests fold into one that is still queued.
class XCanvasPaneBase::XRedrawMessage : public XMessage {
public:
    explicit XRedrawMessage(XSpeaker* inSpeaker) : XMessage(inSpeaker) {}
    bool ShouldCoalesceQueueMessage() const override { return true; }
    XMessage* Clone() const override { return new XRedrawMessage(*this); }
};

namespace {
XRect SanitisedBounds(const XRect& inBounds)
{
    return XRect(inBounds.left, inBounds.top, inBounds.left + std::max(inBounds.GetWidth(), 1),
                 inBounds.top + std::max(inBounds.GetHeight(), 1));
}

// Saves the context's settings around one attachment, so that none leaks into the next.
class XGCSaver {
public:
    explicit XGCSaver(XGC& inGC) : itsGC(inGC) { itsGC.Save(); }
    ~XGCSaver() { itsGC.Restore(); }
    XGCSaver(const XGCSaver&) = delete;
    XGCSaver& operator=(const XGCSaver&) = delete;

private:
    XGC& itsGC;
};
} // namespace

XCanvasPaneBase::XCanvasPaneBase(const XRect& inBounds, const XString& inName)
    : itsName(inName), itsBounds(SanitisedBounds(inBounds))
{
    itsPixels.assign(size_t(GetWidth()) * size_t(GetHeight()), 0u);
}

XCanvasPaneBase::~XCanvasPaneBase()
{
    StopListening();
    for (XCanvasAttachment* attachment : itsAttachments)
        attachment->itsPane = nullptr;
}

void XCanvasPaneBase::AddCanvasAttachment(XCanvasAttachment* inAttachment)
{
    X_ASSERT(inAttachment);
    if (!inAttachment || itsAttachments.DoesContain(inAttachment))
        return;
    if (inAttachment->itsPane)
        inAttachment->itsPane->RemoveCanvasAttachment(inAttachment);
    itsAttachments.push_back(inAttachment);
    inAttachment->itsPane = this;
}

bool XCanvasPaneBase::RemoveCanvasAttachment(XCanvasAttachment* inAttachment)
{
    if (!inAttachment || !itsAttachments.Remove(inAttachment))
        return false;
    inAttachment->itsPane = nullptr;
    return true;
}

bool XCanvasPaneBase::HasCanvasAttachment(const XCanvasAttachment* inAttachment) const
{
    return itsAttachments.DoesContain(inAttachment);
}

void XCanvasPaneBase::MovePane(const XPoint& inTopLeft)
{
    itsBounds = XRect(inTopLeft.x, inTopLeft.y, inTopLeft.x + GetWidth(), inTopLeft.y + GetHeight());
    PaneBoundsChangedSelf();
}

void XCanvasPaneBase::ResizePane(int32_t inWidth, int32_t inHeight)
{
    const XRect bounds = SanitisedBounds(XRect(itsBounds.left, itsBounds.top, itsBounds.left + inWidth,
                                               itsBounds.top + inHeight));
    if (bounds == itsBounds)
        return;
    {
        XLock lock(itsCanvasMutex);
        itsBounds = bounds;
        itsPixels.assign(size_t(GetWidth()) * size_t(GetHeight()), 0u);
    }
    PaneBoundsChangedSelf();
    const XRect canvas = GetCanvasBounds();
    std::vector<XCanvasAttachment*> order = GetTopDown();
    for (XCanvasAttachment* attachment : order)
        if (HasCanvasAttachment(attachment) && attachment->HandleSize(canvas) == kEventHandled)
            break;
    for (XCanvasAttachment* attachment : order)
        if (HasCanvasAttachment(attachment))
            attachment->PostHandleSize(canvas);
    RedrawCanvas();
}

void XCanvasPaneBase::DrawCanvas(XGC& inGC)
{
    XLock lock(itsCanvasMutex);
    inGC.Clear(itsBackground);
    {
        XGCSaver saver(inGC);
        DrawCanvasSelf(inGC);
    }
    const std::vector<XCanvasAttachment*> order(itsAttachments.begin(), itsAttachments.end());
    for (XCanvasAttachment* attachment : order)
        if (HasCanvasAttachment(attachment)) {
            XGCSaver saver(inGC);
            attachment->DrawCanvas(inGC);
        }
    for (XCanvasAttachment* attachment : order)
        if (HasCanvasAttachment(attachment)) {
            XGCSaver saver(inGC);
            attachment->PostDrawCanvas(inGC);
        }
}

void XCanvasPaneBase::RedrawCanvas(bool inImmediate)
{
    itsNeedsRedraw = true;
    if (inImmediate && XThread::IsMainThread()) {
        UpdateCanvas();
        return;
    }
    if (!itsRedrawPosted.exchange(true))
        XSpeaker::PostXMessage(new XRedrawMessage(this), this);
}

bool XCanvasPaneBase::UpdateCanvas()
{
    if (!itsNeedsRedraw)
        return false;
    {
        XLock lock(itsCanvasMutex);
        // Cleared first: an attachment that asks for another redraw while painting gets it.
        itsNeedsRedraw = false;
        XGC gc(itsPixels.data(), GetWidth(), GetHeight(), GetWidth() * 4, XGC::XPixelLayout::kNativePremultiplied);
        DrawCanvas(gc);
        gc.Flush();
        ++itsPaintCount;
    }
    PresentSelf();
    return true;
}

std::unique_ptr<XBGRA32Volume> XCanvasPaneBase::CopyImage() const
{
    auto image = std::make_unique<XBGRA32Volume>(GetWidth(), GetHeight(), 1);
    XGC gc(*image);
    gc.SetSmoothImages(false);
    gc.DrawImage(itsPixels.data(), GetWidth(), GetHeight(), GetWidth() * 4, XGC::XPixelLayout::kNativePremultiplied,
                 XRectF(GetCanvasBounds()));
    gc.Flush();
    return image;
}

void XCanvasPaneBase::SetBackgroundColour(const XARGB32Colour& inColour)
{
    itsBackground = inColour;
    RedrawCanvas();
}

void XCanvasPaneBase::SetCursor(uint32_t inKind)
{
    if (inKind == itsCursor)
        return;
    itsCursor = inKind;
    SetCursorSelf(inKind);
}

void XCanvasPaneBase::PostInput(const XInputSample& inSample)
{
    XInputSample sample = inSample;
    if (sample.time == XClock::TimePoint{})
        sample.time = XAppMessageCentre::GetAppMessageCentre().Now();
    itsQueue.push_back(sample);
}

uint32_t XCanvasPaneBase::ProcessInput()
{
    const uint64_t before = itsTakenCount;
    for (;;) {
        XInputSample sample;
        if (!itsDeferredKeys.empty()) {
            sample = itsDeferredKeys.front();
            itsDeferredKeys.pop_front();
        } else if (!itsQueue.empty()) {
            sample = itsQueue.front();
            itsQueue.pop_front();
        } else {
            break;
        }
        Take(sample);
        Dispatch(sample);
    }
    return uint32_t(itsTakenCount - before);
}

void XCanvasPaneBase::Take(const XInputSample& inSample)
{
    XAppMessageCentre::GetAppMessageCentre().WaitUntil(inSample.time);
    ++itsTakenCount;
    if (inSample.kind == XInputSample::kKeyDown)
        return;
    itsMouse.kind = inSample.kind;
    itsMouse.time = inSample.time;
    itsMouse.point = inSample.point;
    itsMouse.modifiers = inSample.modifiers;
    itsMouse.button = inSample.button;
    switch (inSample.kind) {
    case XInputSample::kDown: itsMouse.buttons = inSample.buttons | inSample.button; break;
    case XInputSample::kUp: itsMouse.buttons = inSample.buttons & ~inSample.button; break;
    default: itsMouse.buttons = inSample.buttons; break;
    }
}

void XCanvasPaneBase::Dispatch(const XInputSample& inSample)
{
    switch (inSample.kind) {
    case XInputSample::kKeyDown:
        HandleKeyDown(inSample.key, inSample.modifiers);
        return;
    case XInputSample::kMove:
        DispatchMouse(kMouseMove, inSample.point, inSample.modifiers);
        if (!(itsMouse.buttons & kButtonLeft))
            DispatchSetCursor(inSample.point, inSample.modifiers);
        return;
    case XInputSample::kUp:
        DispatchMouse(inSample.button == kButtonRight ? kRightMouseUp : kMouseUp, inSample.point, inSample.modifiers);
        return;
    case XInputSample::kDown:
        break;
    }
    if (inSample.button == kButtonRight) {
        DispatchMouse(kRightMouseDown, inSample.point, inSample.modifiers);
        return;
    }
    if (inSample.button != kButtonLeft)
        return;
    const bool isDouble =
        itsHasLastDown && inSample.time - itsLastDown.time <= std::chrono::milliseconds(kDoubleClickMs) &&
        std::abs(inSample.point.x - itsLastDown.point.x) <= kDoubleClickDistance &&
        std::abs(inSample.point.y - itsLastDown.point.y) <= kDoubleClickDistance;
    // A double click ends the sequence: a third press starts a new one.
    itsHasLastDown = !isDouble;
    itsLastDown = inSample;
    DispatchMouse(isDouble ? kMouseDoubleClick : kMouseDown, inSample.point, inSample.modifiers);
}

XEventResult XCanvasPaneBase::DispatchMouse(XMouseEvent inEvent, const XPoint& inPoint, uint32_t inFlags)
{
    const std::vector<XCanvasAttachment*> order = GetTopDown();
    XEventResult result = kEventNotHandled;
    for (XCanvasAttachment* attachment : order)
        if (HasCanvasAttachment(attachment) && attachment->HandleMouseEvent(inEvent, inPoint, inFlags) == kEventHandled) {
            result = kEventHandled;
            break;
        }
    for (XCanvasAttachment* attachment : order)
        if (HasCanvasAttachment(attachment))
            attachment->PostHandleMouseEvent(inEvent, inPoint, inFlags);
    return result;
}

void XCanvasPaneBase::DispatchSetCursor(const XPoint& inPoint, uint32_t inFlags)
{
    const std::vector<XCanvasAttachment*> order = GetTopDown();
    bool handled = false;
    for (XCanvasAttachment* attachment : order)
        if (HasCanvasAttachment(attachment) && attachment->HandleSetCursor(inPoint, inFlags) == kEventHandled) {
            handled = true;
            break;
        }
    for (XCanvasAttachment* attachment : order)
        if (HasCanvasAttachment(attachment))
            attachment->PostHandleSetCursor(inPoint, inFlags);
    if (!handled)
        SetCursor(kCursorArrow);
}

bool XCanvasPaneBase::TakeMouseSample(XInputSample& outSample, bool inPeek)
{
    for (;;) {
        while (itsQueue.empty())
            if (!WaitForInputSelf())
                return false;
        XInputSample sample = itsQueue.front();
        if (sample.kind == XInputSample::kKeyDown) {
            itsQueue.pop_front();
            itsDeferredKeys.push_back(sample);
            continue;
        }
        if (!inPeek) {
            itsQueue.pop_front();
            Take(sample);
        }
        outSample = sample;
        return true;
    }
}

bool XCanvasPaneBase::WaitForDrag(const XPoint& inStart)
{
    for (;;) {
        XInputSample sample;
        if (!TakeMouseSample(sample, true)) {
            itsMouse.buttons = 0;
            return false;
        }
        const bool released = sample.kind == XInputSample::kUp ? sample.button == kButtonLeft
                                                               : !(sample.buttons & kButtonLeft);
        if (released) {
            TakeMouseSample(sample, false);
            return false;
        }
        if (std::abs(sample.point.x - inStart.x) > kDragThreshold || std::abs(sample.point.y - inStart.y) > kDragThreshold)
            return true;
        TakeMouseSample(sample, false);
    }
}

XInputSample XCanvasPaneBase::PollMouse()
{
    XInputSample sample;
    if (!TakeMouseSample(sample, false)) {
        itsMouse.kind = XInputSample::kUp;
        itsMouse.buttons = 0;
    }
    return itsMouse;
}

XEventResult XCanvasPaneBase::HandleKeyDown(uint32_t inKey, uint32_t inFlags)
{
    const std::vector<XCanvasAttachment*> order = GetTopDown();
    XEventResult result = kEventNotHandled;
    for (XCanvasAttachment* attachment : order)
        if (HasCanvasAttachment(attachment) && attachment->HandleKeyDown(inKey, inFlags) == kEventHandled) {
            result = kEventHandled;
            break;
        }
    for (XCanvasAttachment* attachment : order)
        if (HasCanvasAttachment(attachment))
            attachment->PostHandleKeyDown(inKey, inFlags);
    return result;
}

XEventResult XCanvasPaneBase::DoCommand(uint32_t inCommand)
{
    const std::vector<XCanvasAttachment*> order = GetTopDown();
    XEventResult result = kEventNotHandled;
    for (XCanvasAttachment* attachment : order)
        if (HasCanvasAttachment(attachment) && attachment->HandleCmd(inCommand) == kEventHandled) {
            result = kEventHandled;
            break;
        }
    for (XCanvasAttachment* attachment : order)
        if (HasCanvasAttachment(attachment))
            attachment->PostHandleCmd(inCommand);
    return result;
}

bool XCanvasPaneBase::IsCommandEnabled(uint32_t inCommand)
{
    const std::vector<XCanvasAttachment*> order = GetTopDown();
    bool enabled = false;
    for (XCanvasAttachment* attachment : order) {
        bool answer = false;
        if (HasCanvasAttachment(attachment) && attachment->HandleCmdUpdate(inCommand, answer) == kEventHandled) {
            enabled = answer;
            break;
        }
    }
    for (XCanvasAttachment* attachment : order)
        if (HasCanvasAttachment(attachment))
            attachment->PostHandleCmdUpdate(inCommand, enabled);
    return enabled;
}

void XCanvasPaneBase::HandleMessage(const XMessage& inMessage)
{
    if (dynamic_cast<const XRedrawMessage*>(&inMessage) && inMessage.GetSpeaker() == this) {
        itsRedrawPosted = false;
        UpdateCanvas();
    }
}

std::vector<XCanvasAttachment*> XCanvasPaneBase::GetTopDown() const
{
    return std::vector<XCanvasAttachment*>(itsAttachments.rbegin(), itsAttachments.rend());
}

void XCanvasPaneBase::DrawCanvasSelf(XGC&) {}

void XCanvasPaneBase::PresentSelf() {}

bool XCanvasPaneBase::WaitForInputSelf() { return false; }

void XCanvasPaneBase::SetCursorSelf(uint32_t) {}

void XCanvasPaneBase::PaneBoundsChangedSelf() {}

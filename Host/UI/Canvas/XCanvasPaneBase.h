#pragma once
// A drawing pane with attachments. It paints into pixels of its own (Cairo's ARGB32
// layout, one 32-bit word per pixel) and so works without any window; a window class
// derived from it (WCanvasWnd) shows those pixels on screen and feeds its input queue.
//
// Painting: RedrawCanvas marks the pane and posts it a redraw that the application
// message centre delivers on the main thread; with inImmediate it paints at once.
// UpdateCanvas paints a marked pane: background, DrawCanvasSelf (what the pane itself
// shows), then the attachments (see XCanvasAttachment), under the canvas mutex.
//
// Input: one queue of timed samples (XInputSample), filled by the window and by tests.
// ProcessInput hands queued samples to the attachments as events; an attachment that
// follows a drag reads the following samples itself with WaitForDrag and PollMouse, so
// the samples it reads never reach the others. A pane with no window has no input but
// what is queued: when the queue runs dry inside a drag, the button counts as released.
// All of this runs on the main thread, but for RedrawCanvas: called on another thread
// it posts the redraw, immediate or not, so painting stays on the main thread.
#include "XARGB32Colour.h"
#include "XCanvasInput.h"
#include "XListener.h"
#include "XMutex.h"
#include "XPtrVector.h"
#include "XRect.h"
#include "XSpeaker.h"
#include "XString.h"

#include <atomic>
#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

class XBGRA32Volume;
class XCanvasAttachment;
class XGC;

class XCanvasPaneBase : public XSpeaker, public XListener {
public:
    // A drag starts once the mouse has moved more than this many pixels along an axis.
    static constexpr int32_t kDragThreshold = 2;
    // A second press within this time and distance of the first is a double click.
    static constexpr int64_t kDoubleClickMs = 500;
    static constexpr int32_t kDoubleClickDistance = 2;

    // inBounds: where the pane lies in its parent; sizes below one pixel become one.
    explicit XCanvasPaneBase(const XRect& inBounds, const XString& inName = XString());
    ~XCanvasPaneBase() override;

    const XString& GetName() const { return itsName; }

    // Attachments, not owned. Adding one that is on another pane moves it here.
    void AddCanvasAttachment(XCanvasAttachment* inAttachment);
    // False when it was not attached here.
    bool RemoveCanvasAttachment(XCanvasAttachment* inAttachment);
    bool HasCanvasAttachment(const XCanvasAttachment* inAttachment) const;
    const XPtrVector<XCanvasAttachment>& GetCanvasAttachments() const { return itsAttachments; }

    // Geometry: the pane in its parent's coordinates, and its canvas, (0, 0, w, h).
    XRect GetPaneBounds() const { return itsBounds; }
    XRect GetCanvasBounds() const { return itsBounds.MovedToOrigin(); }
    int32_t GetWidth() const { return itsBounds.GetWidth(); }
    int32_t GetHeight() const { return itsBounds.GetHeight(); }
    void MovePane(const XPoint& inTopLeft);
    // Reallocates the pixels, tells the attachments (HandleSize) and marks the pane.
    void ResizePane(int32_t inWidth, int32_t inHeight);

    // Painting.
    XMutex& GetCanvasMutex() { return itsCanvasMutex; }
    // Draws the pane's whole content with inGC: background, DrawCanvasSelf, attachments.
    void DrawCanvas(XGC& inGC);
    void RedrawCanvas(bool inImmediate = false);
    bool NeedsRedraw() const { return itsNeedsRedraw.load(); }
    // Paints into the pane's pixels if it is marked; true when it painted.
    bool UpdateCanvas();
    // The pixels as last painted: rows of GetWidth() words 0xAARRGGBB, premultiplied.
    const uint32_t* GetPixels() const { return itsPixels.data(); }
    // A copy of them as an image (bounds (0, 0, 0)-(w, h, 1)).
    std::unique_ptr<XBGRA32Volume> CopyImage() const;
    uint64_t GetPaintCount() const { return itsPaintCount; }
    void SetBackgroundColour(const XARGB32Colour& inColour);
    XARGB32Colour GetBackgroundColour() const { return itsBackground; }

    // Cursor kind shown over the pane (kCursor…).
    void SetCursor(uint32_t inKind);
    uint32_t GetCursor() const { return itsCursor; }

    // Input.
    void PostInput(const XInputSample& inSample);
    size_t GetQueuedInputCount() const { return itsQueue.size() + itsDeferredKeys.size(); }
    // Hands every queued sample to the attachments; returns how many were taken
    // (those read by drag loops included).
    uint32_t ProcessInput();
    // After a press at inStart: reads samples until the mouse moves further than
    // kDragThreshold (true; that sample stays queued for the drag loop) or the button
    // is released (false).
    bool WaitForDrag(const XPoint& inStart);
    // Takes the next mouse sample and returns the mouse's state after it. When no more
    // input will come, the state with every button released.
    XInputSample PollMouse();
    // The mouse's state after the last sample taken.
    XPoint GetMousePosition() const { return itsMouse.point; }
    uint32_t GetMouseButtons() const { return itsMouse.buttons; }
    bool IsButtonDown(uint32_t inButton = kButtonLeft) const { return (itsMouse.buttons & inButton) != 0; }

    // Keys and commands go to the attachments as the events do.
    XEventResult HandleKeyDown(uint32_t inKey, uint32_t inFlags);
    XEventResult DoCommand(uint32_t inCommand);
    // Whether an attachment enables the command; false when none decides.
    bool IsCommandEnabled(uint32_t inCommand);

    void HandleMessage(const XMessage& inMessage) override;

protected:
    // What the pane shows below its attachments (an image pane's picture).
    virtual void DrawCanvasSelf(XGC& inGC);
    // After the pixels were painted: a window shows them.
    virtual void PresentSelf();
    // Called inside a drag when the queue is empty: a window waits for more input and
    // queues it. False when no more input will come (a pane without a window).
    virtual bool WaitForInputSelf();
    virtual void SetCursorSelf(uint32_t inKind);
    // After the pane moved or changed size.
    virtual void PaneBoundsChangedSelf();

private:
    class XRedrawMessage;

    // The next sample for a drag loop (keys are kept for later); false when none will come.
    bool TakeMouseSample(XInputSample& outSample, bool inPeek);
    void Take(const XInputSample& inSample);
    void Dispatch(const XInputSample& inSample);
    XEventResult DispatchMouse(XMouseEvent inEvent, const XPoint& inPoint, uint32_t inFlags);
    void DispatchSetCursor(const XPoint& inPoint, uint32_t inFlags);
    // The attachments from the last added to the first, as they are now.
    std::vector<XCanvasAttachment*> GetTopDown() const;

    XString itsName;
    XRect itsBounds;
    XPtrVector<XCanvasAttachment> itsAttachments;
    XMutex itsCanvasMutex{4000};
    std::vector<uint32_t> itsPixels;
    XARGB32Colour itsBackground = XARGB32Colour::kBlack;
    std::atomic<bool> itsNeedsRedraw{true};
    std::atomic<bool> itsRedrawPosted{false};
    uint64_t itsPaintCount = 0;
    uint32_t itsCursor = kCursorArrow;

    std::deque<XInputSample> itsQueue;
    std::deque<XInputSample> itsDeferredKeys; // key presses met inside a drag loop
    XInputSample itsMouse;                    // the state after the last sample taken
    uint64_t itsTakenCount = 0;
    bool itsHasLastDown = false;
    XInputSample itsLastDown;
};

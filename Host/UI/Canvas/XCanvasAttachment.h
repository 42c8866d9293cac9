#pragma once
// Something that draws on a canvas pane or handles its input: tools, overlays and the
// renderers that paint themselves. A pane calls the Handle… operations of its
// attachments from the last added to the first until one answers kEventHandled, then
// the Post… twin of every attachment in the same order, whatever the answer. It draws
// them the other way round: DrawCanvas of each from the first added to the last (later
// ones on top), then PostDrawCanvas of each in the same order.
//
// A pane does not own its attachments; an attachment that is destroyed while attached
// takes itself off its pane.
#include "XCanvasInput.h"
#include "XRect.h"

class XCanvasPaneBase;
class XGC;

class XCanvasAttachment {
public:
    XCanvasAttachment() = default;
    virtual ~XCanvasAttachment();
    XCanvasAttachment(const XCanvasAttachment&) = delete;
    XCanvasAttachment& operator=(const XCanvasAttachment&) = delete;

    // The pane it is attached to; null while it is on none.
    XCanvasPaneBase* GetCanvasPane() const { return itsPane; }

    virtual XEventResult DrawCanvas(XGC& inGC);
    virtual XEventResult PostDrawCanvas(XGC& inGC);
    virtual XEventResult HandleMouseEvent(XMouseEvent inEvent, const XPoint& inPoint, uint32_t inFlags);
    virtual XEventResult PostHandleMouseEvent(XMouseEvent inEvent, const XPoint& inPoint, uint32_t inFlags);
    virtual XEventResult HandleKeyDown(uint32_t inKey, uint32_t inFlags);
    virtual XEventResult PostHandleKeyDown(uint32_t inKey, uint32_t inFlags);
    // The attachment sets the pane's cursor and answers handled when the point is its.
    virtual XEventResult HandleSetCursor(const XPoint& inPoint, uint32_t inFlags);
    virtual XEventResult PostHandleSetCursor(const XPoint& inPoint, uint32_t inFlags);
    virtual XEventResult HandleCmd(uint32_t inCommand);
    virtual XEventResult PostHandleCmd(uint32_t inCommand);
    // Answers handled when it decided whether the command is enabled (outEnabled).
    virtual XEventResult HandleCmdUpdate(uint32_t inCommand, bool& outEnabled);
    virtual XEventResult PostHandleCmdUpdate(uint32_t inCommand, bool& outEnabled);
    // The pane's new canvas bounds, (0, 0, width, height).
    virtual XEventResult HandleSize(const XRect& inBounds);
    virtual XEventResult PostHandleSize(const XRect& inBounds);

private:
    friend class XCanvasPaneBase;
    XCanvasPaneBase* itsPane = nullptr;
};

#include "XCanvasAttachment.h"

#include "XCanvasPaneBase.h"

XCanvasAttachment::~XCanvasAttachment()
{
    if (itsPane)
        itsPane->RemoveCanvasAttachment(this);
}

XEventResult XCanvasAttachment::DrawCanvas(XGC&) { return kEventNotHandled; }
XEventResult XCanvasAttachment::PostDrawCanvas(XGC&) { return kEventNotHandled; }
XEventResult XCanvasAttachment::HandleMouseEvent(XMouseEvent, const XPoint&, uint32_t) { return kEventNotHandled; }
XEventResult XCanvasAttachment::PostHandleMouseEvent(XMouseEvent, const XPoint&, uint32_t) { return kEventNotHandled; }
XEventResult XCanvasAttachment::HandleKeyDown(uint32_t, uint32_t) { return kEventNotHandled; }
XEventResult XCanvasAttachment::PostHandleKeyDown(uint32_t, uint32_t) { return kEventNotHandled; }
XEventResult XCanvasAttachment::HandleSetCursor(const XPoint&, uint32_t) { return kEventNotHandled; }
XEventResult XCanvasAttachment::PostHandleSetCursor(const XPoint&, uint32_t) { return kEventNotHandled; }
XEventResult XCanvasAttachment::HandleCmd(uint32_t) { return kEventNotHandled; }
XEventResult XCanvasAttachment::PostHandleCmd(uint32_t) { return kEventNotHandled; }
XEventResult XCanvasAttachment::HandleCmdUpdate(uint32_t, bool&) { return kEventNotHandled; }
XEventResult XCanvasAttachment::PostHandleCmdUpdate(uint32_t, bool&) { return kEventNotHandled; }
XEventResult XCanvasAttachment::HandleSize(const XRect&) { return kEventNotHandled; }
XEventResult XCanvasAttachment::PostHandleSize(const XRect&) { return kEventNotHandled; }

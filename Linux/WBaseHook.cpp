#include "WBaseHook.h"

#include "WGLWnd.h"

bool WBaseHook::HandleMouseDown(WGLWnd& inWnd, const WGLEvent& inEvent)
{
    if (!(inEvent.buttons & WGLEvent::kLeftButton))
        return false;
    itsDragging = true;
    itsLastPoint = inEvent.point;
    BeginDrag(inWnd, inEvent.point);
    return true;
}

bool WBaseHook::HandleMouseMove(WGLWnd& inWnd, const WGLEvent& inEvent)
{
    if (!itsDragging)
        return false;
    const XPoint from = itsLastPoint;
    itsLastPoint = inEvent.point;
    if (from.x != inEvent.point.x || from.y != inEvent.point.y)
        DragStep(inWnd, from, inEvent.point);
    return true;
}

bool WBaseHook::HandleMouseUp(WGLWnd& inWnd, const WGLEvent& inEvent)
{
    if (!itsDragging || !(inEvent.buttons & WGLEvent::kLeftButton))
        return false;
    if (itsLastPoint.x != inEvent.point.x || itsLastPoint.y != inEvent.point.y)
        DragStep(inWnd, itsLastPoint, inEvent.point);
    itsDragging = false;
    EndDrag(inWnd, inEvent.point);
    return true;
}

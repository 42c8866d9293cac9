#include "XRendererKeyDownCanvasAttachment.h"

#include "XRenderingViewBase.h"

XEventResult XRendererKeyDownCanvasAttachment::HandleKeyDown(uint32_t inKey, uint32_t inFlags)
{
    return itsView ? itsView->HandleRendererKeyDown(inKey, inFlags) : kEventNotHandled;
}

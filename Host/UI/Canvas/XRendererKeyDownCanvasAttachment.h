#pragma once
// Passes the key presses of a renderer's canvas on to the view that shows the renderer.
#include "XCanvasAttachment.h"

class XRenderingViewBase;

class XRendererKeyDownCanvasAttachment : public XCanvasAttachment {
public:
    // inView may be null (a renderer shown outside a view): keys then pass by.
    explicit XRendererKeyDownCanvasAttachment(XRenderingViewBase* inView) : itsView(inView) {}

    XRenderingViewBase* GetRenderingView() const { return itsView; }
    XEventResult HandleKeyDown(uint32_t inKey, uint32_t inFlags) override;

private:
    XRenderingViewBase* itsView;
};

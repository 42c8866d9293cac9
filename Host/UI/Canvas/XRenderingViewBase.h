#pragma once
// The host view that shows a renderer in its renderer pane. Key presses on the
// renderer's canvas that no tool takes reach it (XRendererKeyDownCanvasAttachment), so
// that the view's own keys (timepoints, views, commands) work wherever the focus is.
#include "XCanvasInput.h"

class XRenderingViewBase {
public:
    virtual ~XRenderingViewBase() = default;
    virtual XEventResult HandleRendererKeyDown(uint32_t inKey, uint32_t inFlags) = 0;
};

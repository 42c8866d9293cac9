#pragma once
// The viewer's legacy volume view: the default (or chosen) volume renderer in an
// offscreen view of the window's size, turned by its own tool hooks fed from the
// window's input, its frames read back to be shown in the window.
#include "XCanvasInput.h"
#include "XVolumeRendererBase.h"

#include <memory>

class WGLWnd;
class WOffscreenRendererView;
class XHostSetup;
class XRenderOptions;
class XVolume;

class XLegacyVolumeView {
public:
    // Throws (XException, XUsageError) when no renderer can be loaded or made.
    XLegacyVolumeView(XHostSetup& inHost, const XRenderOptions& inOptions, int32_t inWidth, int32_t inHeight);
    ~XLegacyVolumeView();

    void SetTool(XVolumeRendererBase::XVolumeRendererTool inTool);
    void SetTimepoint(uint32_t inTimepoint);
    // Hands a mouse event of the window to the renderer's hooks (inButtons: those held).
    void HandleMouse(XMouseEvent inEvent, const XPoint& inPoint, uint32_t inModifiers, uint32_t inButtons);
    void Resize(int32_t inWidth, int32_t inHeight);
    // Whether the renderer asked for or drew a frame since the last one taken (a turn, the spin).
    bool NeedsRedraw() const;
    // A new opaque frame of the view's size.
    std::unique_ptr<XVolume> RenderFrame();

private:
    WGLWnd* GetWindow() const;

    std::unique_ptr<WOffscreenRendererView> itsView;
    XVolumeRendererBase* itsRenderer = nullptr;
    int32_t itsWidth, itsHeight;
    uint64_t itsShownRedraw = 0; // the window's redraw count when a frame was last taken
};

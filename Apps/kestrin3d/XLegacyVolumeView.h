#pragma once
// The viewer's legacy volume view: the default (or chosen) volume renderer in a view
// of the window's size, turned by its own tool hooks fed from the window's input. It
// draws into the X11 window itself (EGL's X11 platform, each frame presented by a
// buffer swap); where EGL cannot, it draws off screen and its frames are read back
// to be shown in the window, with one warning.
#include "XCanvasInput.h"
#include "XVolumeRendererBase.h"

#include <memory>

class WCanvasWnd;
class WGLWnd;
class WOffscreenRendererView;
class XHostSetup;
class XRenderOptions;
class XVolume;

class XLegacyVolumeView {
public:
    // Throws (XException, XUsageError) when no renderer can be loaded or made.
    XLegacyVolumeView(XHostSetup& inHost, const XRenderOptions& inOptions, WCanvasWnd& inWindow);
    ~XLegacyVolumeView();

    void SetTool(XVolumeRendererBase::XVolumeRendererTool inTool);
    void SetTimepoint(uint32_t inTimepoint);
    // Hands a mouse event of the window to the renderer's hooks (inButtons: those held).
    void HandleMouse(XMouseEvent inEvent, const XPoint& inPoint, uint32_t inModifiers, uint32_t inButtons);
    void Resize(int32_t inWidth, int32_t inHeight);
    // Whether the renderer asked for or drew a frame since the last one taken (a turn, the spin).
    bool NeedsRedraw() const;
    // Whether it draws into the window itself (Present), not off screen (RenderFrame).
    bool IsOnWindow() const;
    // Draws a frame into the window.
    void Present();
    // A new opaque frame of the view's size, drawn off screen.
    std::unique_ptr<XVolume> RenderFrame();

private:
    WGLWnd* GetWindow() const;

    std::unique_ptr<WOffscreenRendererView> itsView;
    XVolumeRendererBase* itsRenderer = nullptr;
    int32_t itsWidth, itsHeight;
    uint64_t itsShownRedraw = 0; // the window's redraw count when a frame was last taken
};

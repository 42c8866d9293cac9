#pragma once
// One window of the viewer: the planes renderer in its pane, the keys that choose its
// tools and timepoints, and the status line drawn along the window's bottom edge.
// Run serves the window's events, the application's messages and timers (the spin)
// and the redraws in one loop until the window closes or the user quits.
#include "X3DPlaneRenderer.h"
#include "X3DPoint.h"
#include "XCanvasAttachment.h"
#include "XRenderingViewBase.h"
#include "XString.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <ostream>

class XLegacyVolumeView;
class XRendererPane;
class XVolume;
class WCanvasWnd;

// The planes renderer, timing each frame it renders (scene and read-back).
class XViewerPlaneRenderer : public X3DPlaneRenderer {
public:
    using X3DPlaneRenderer::X3DPlaneRenderer;
    double GetLastFrameMs() const { return itsLastFrameMs; }
    uint64_t GetFramesRendered() const { return itsFrames; }

protected:
    void DrawCanvas3D() override;

private:
    double itsLastFrameMs = 0.0;
    uint64_t itsFrames = 0;
};

class XViewerSession : public XRenderingViewBase, public XCanvasAttachment {
public:
    // Keys (the canvas's key codes are upper-case letters and the kKey… codes).
    struct XToolKey {
        uint32_t key;
        uint32_t command; // toolbar command
        const char* name;
        uint32_t legacyTool; // the legacy view's tool
    };
    static const XToolKey kToolKeys[5];

    // inTrace: status lines and tool changes are printed to inOut as they change.
    XViewerSession(XViewerPlaneRenderer& inRenderer, std::ostream& inOut, bool inTrace);
    ~XViewerSession() override;

    // The pane holding the renderer (made with this session as its view), before Attach.
    void SetPane(XRendererPane& inPane) { itsPane = &inPane; }
    // Makes the legacy volume view on the window the first time it is shown.
    using XLegacyMaker = std::function<std::unique_ptr<XLegacyVolumeView>(WCanvasWnd&)>;
    void SetLegacyViewMaker(XLegacyMaker inMaker) { itsMakeLegacy = std::move(inMaker); }
    // Puts the session on the renderer's window; false (with the reason) when the
    // window could not be shown on a display.
    bool Attach(XString& outError);
    // Leaves the window (the legacy view, which draws into it, goes) before the
    // renderer's pane lets it go.
    void Detach();
    // Until the window closes or the user quits; returns the exit code.
    int Run();

    // The voxel (bounds coordinates) where the ray through the canvas point first meets
    // one of the three slices; false when it meets none.
    static bool PickVoxel(const X3DPlaneRenderer& inRenderer, const XPoint& inPoint, X3DPoint& outVoxel);
    XString MakeStatusText() const;

    XEventResult HandleRendererKeyDown(uint32_t inKey, uint32_t inFlags) override;
    XEventResult DrawCanvas(XGC& inGC) override;
    XEventResult HandleMouseEvent(XMouseEvent inEvent, const XPoint& inPoint, uint32_t inFlags) override;

private:
    void ChooseTool(uint32_t inCommand, const char* inName);
    void SwitchView();
    void StepTimepoint(int inStep);
    void Trace(const XString& inLine);
    void UpdateStatus();

    XViewerPlaneRenderer& itsRenderer;
    XRendererPane* itsPane = nullptr;
    std::ostream& itsOut;
    bool itsTrace;
    WCanvasWnd* itsWindow = nullptr;
    bool itsQuit = false;
    XPoint itsMouse{-1, -1};
    XString itsStatus;
    XString itsAlert;
    uint64_t itsAlertCount = 0;
    uint32_t itsToolCommand = 0;
    XLegacyMaker itsMakeLegacy;
    std::unique_ptr<XLegacyVolumeView> itsLegacy;
    bool itsLegacyShown = false;
    double itsLegacyFrameMs = 0.0;
};

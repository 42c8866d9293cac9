#pragma once
// One window of the viewer: the planes renderer in its pane, the keys that choose its
// tools and timepoints, and the status line drawn along the window's bottom edge.
// Run serves the window's events, the application's messages and timers (the spin)
// and the redraws in one loop until the window closes or the user quits.
#include "X3DPoint.h"
#include "XCanvasAttachment.h"
#include "XRenderingViewBase.h"
#include "XString.h"

#include <chrono>
#include <cstdint>
#include <ostream>

class X3DPlaneRenderer;
class XRendererPane;
class WCanvasWnd;

class XViewerSession : public XRenderingViewBase, public XCanvasAttachment {
public:
    // Keys (the canvas's key codes are upper-case letters and the kKey… codes).
    struct XToolKey {
        uint32_t key;
        uint32_t command; // toolbar command
        const char* name;
    };
    static const XToolKey kToolKeys[5];

    // inTrace: status lines and tool changes are printed to inOut as they change.
    XViewerSession(X3DPlaneRenderer& inRenderer, std::ostream& inOut, bool inTrace);
    ~XViewerSession() override;

    // The pane holding the renderer (made with this session as its view), before Attach.
    void SetPane(XRendererPane& inPane) { itsPane = &inPane; }
    // Puts the session on the renderer's window; false (with the reason) when the
    // window could not be shown on a display.
    bool Attach(XString& outError);
    // Until the window closes or the user quits; returns the exit code.
    int Run();

    // The voxel (bounds coordinates) where the ray through the canvas point first meets
    // one of the three slices; false when it meets none.
    static bool PickVoxel(const X3DPlaneRenderer& inRenderer, const XPoint& inPoint, X3DPoint& outVoxel);
    XString MakeStatusText() const;

    XEventResult HandleRendererKeyDown(uint32_t inKey, uint32_t inFlags) override;
    XEventResult DrawCanvas(XGC& inGC) override;

private:
    // Marks the start of a paint: it sits below the renderer on the canvas.
    class XFrameStart : public XCanvasAttachment {
    public:
        explicit XFrameStart(XViewerSession& inSession) : itsSession(inSession) {}
        XEventResult DrawCanvas(XGC&) override;

    private:
        XViewerSession& itsSession;
    };

    void ChooseTool(uint32_t inCommand, const char* inName);
    void StepTimepoint(int inStep);
    void Trace(const XString& inLine);
    void UpdateStatus();

    X3DPlaneRenderer& itsRenderer;
    XRendererPane* itsPane = nullptr;
    std::ostream& itsOut;
    bool itsTrace;
    WCanvasWnd* itsWindow = nullptr;
    XFrameStart itsFrameStart;
    bool itsQuit = false;
    XPoint itsMouse{-1, -1};
    XString itsStatus;
    XString itsAlert;
    uint64_t itsAlertCount = 0;
    std::chrono::steady_clock::time_point itsFrameStartTime;
    double itsFrameMs = 0.0;
    uint64_t itsFrames = 0;
};

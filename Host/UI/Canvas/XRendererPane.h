#pragma once
// The part of a host view that holds one renderer. The renderer makes its canvas as a
// child of the pane (MakeChildCanvas) filling the pane's client area; when the pane
// changes size the renderer hears it (HandleContainerSizeChanged).
#include "XRect.h"
#include "XString.h"

class XCanvasPaneBase;
class XRenderer;
class XRenderingViewBase;

class XRendererPane {
public:
    // inBounds: the pane in its view; inView (may be null) hears the canvas's keys.
    explicit XRendererPane(const XRect& inBounds, XRenderingViewBase* inView = nullptr);
    // Takes its renderer out first.
    ~XRendererPane();
    XRendererPane(const XRendererPane&) = delete;
    XRendererPane& operator=(const XRendererPane&) = delete;

    // Takes the current renderer out (DetachContainer) and puts inRenderer in
    // (AttachContainer, then Initialise). Not owned; null leaves the pane empty.
    void SetRenderer(XRenderer* inRenderer);
    XRenderer* GetRenderer() const { return itsRenderer; }
    XRenderingViewBase* GetRenderingView() const { return itsView; }

    XRect GetBounds() const { return itsBounds; }
    // The area children fill: (0, 0, width, height).
    XRect GetClientRect() const { return itsBounds.MovedToOrigin(); }
    // Sizes below one pixel become one; the renderer hears the new client area.
    void SetBounds(const XRect& inBounds);

    // A new canvas filling the client area, owned by the caller: a window where the
    // window system offers one (XCanvasWindowFactory), else an off-screen pane.
    XCanvasPaneBase* MakeChildCanvas(const XString& inName) const;

private:
    friend class XRenderer;
    // A renderer destroyed while still in the pane (a fault it reports) leaves it empty.
    void ForgetRenderer(const XRenderer* inRenderer)
    {
        if (itsRenderer == inRenderer)
            itsRenderer = nullptr;
    }

    XRect itsBounds;
    XRenderingViewBase* itsView;
    XRenderer* itsRenderer = nullptr;
};

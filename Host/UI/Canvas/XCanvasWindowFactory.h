#pragma once
// How code below the window system gets a canvas window: the window system registers
// a factory when the module loads (WCanvasWnd on Linux). Without one, canvases are
// plain panes that paint off screen.
#include "XRect.h"
#include "XString.h"

class XCanvasPaneBase;

class XCanvasWindowFactory {
public:
    virtual ~XCanvasWindowFactory() = default;

    // A new canvas window at inBounds (the parent's coordinates), owned by the caller.
    virtual XCanvasPaneBase* MakeCanvasWindow(const XRect& inBounds, const XString& inName) = 0;

    // The factory used from now on (not owned; null withdraws it).
    static void Register(XCanvasWindowFactory* inFactory);
    // Null when no window system registered one.
    static XCanvasWindowFactory* Get();
    // A canvas from the registered factory, else an off-screen pane.
    static XCanvasPaneBase* MakeCanvas(const XRect& inBounds, const XString& inName);
};

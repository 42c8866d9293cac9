#pragma once
// What the 3D canvas tools share: the scene renderer they drive, its canvas, and the
// drag bracket that marks the renderer as interacting and, for the trackball and pan,
// sets the interaction state (5) to 1.0 for the drag.
#include "X3DCamera.h"
#include "X3DMatrix.h"
#include "XCanvasAttachment.h"
#include "XRendererSceneState.h"

class X3DBaseRenderer;
class XCanvasPaneBase;

class X3DRendererToolBase : public XCanvasAttachment {
public:
    explicit X3DRendererToolBase(X3DBaseRenderer& inRenderer) : itsRenderer(inRenderer) {}

    X3DBaseRenderer& GetRenderer() const { return itsRenderer; }
    // The canvas the tool works on: the pane it is attached to, else the renderer's.
    XCanvasPaneBase* Get3DCanvasPane() const;

protected:
    // Marks the renderer as interacting for one drag (a drag that starts while it
    // already is is reported).
    class XInteractionScope {
    public:
        XInteractionScope(X3DBaseRenderer& inRenderer, bool inSetInteractionState);
        ~XInteractionScope();
        XInteractionScope(const XInteractionScope&) = delete;
        XInteractionScope& operator=(const XInteractionScope&) = delete;

    private:
        X3DBaseRenderer& itsRenderer;
        bool itsResetState = false;
    };

    XRendererSceneState GetSceneState() const;
    X3DCamera GetCamera() const;
    // Writes one state of channel 0; the renderer redraws (at once when inImmediate).
    void WriteState(XRendererStateName inName, const X3DMatrix& inValue, bool inImmediate);
    // The camera with the canvas's viewport, for picking.
    X3DCamera GetPickCamera() const;

private:
    X3DBaseRenderer& itsRenderer;
};

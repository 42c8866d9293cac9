#include "X3DRendererToolBase.h"
#include "X3DBaseRenderer.h"
#include "X3DCanvasToolMaths.h"
#include "XAssert.h"
#include "XCanvasPaneBase.h"

XCanvasPaneBase* X3DRendererToolBase::Get3DCanvasPane() const
{
    if (XCanvasPaneBase* pane = GetCanvasPane())
        return pane;
    return itsRenderer.GetRendererCanvasPane();
}

X3DRendererToolBase::XInteractionScope::XInteractionScope(X3DBaseRenderer& inRenderer, bool inSetInteractionState)
    : itsRenderer(inRenderer)
{
    X_ASSERT_TEXT(!itsRenderer.IsUserInteracting(), "inRenderer.itsUserInteractionState == false");
    itsRenderer.SetUserInteracting(true);
    const X3DMatrix current = itsRenderer.GetSceneStateValue(kSceneStateUserInteraction);
    const bool alreadySet = !current.IsEmpty() && current(0, 0) == 1.0;
    if (inSetInteractionState && !alreadySet) {
        XRendererSceneState state;
        state.SetStateAndEnable(kSceneStateUserInteraction, XRenderer::MakeScalarStateValue(1.0));
        itsRenderer.SetSceneState(state);
        itsResetState = true;
    }
}

X3DRendererToolBase::XInteractionScope::~XInteractionScope()
{
    if (itsResetState) {
        XRendererSceneState state;
        state.SetStateAndEnable(kSceneStateUserInteraction, XRenderer::MakeScalarStateValue(0.0));
        itsRenderer.SetSceneState(state);
    }
    itsRenderer.SetUserInteracting(false);
}

XRendererSceneState X3DRendererToolBase::GetSceneState() const { return itsRenderer.GetSceneState(); }

X3DCamera X3DRendererToolBase::GetCamera() const { return X3DCamera::MakeFromRendererSceneState(GetSceneState()); }

X3DCamera X3DRendererToolBase::GetPickCamera() const
{
    X3DCamera camera = GetCamera();
    if (XCanvasPaneBase* pane = Get3DCanvasPane())
        camera.SetViewport(X3DViewport(pane->GetCanvasBounds(), X3DCanvasToolMaths::kPanNear, X3DCanvasToolMaths::kPanFar));
    return camera;
}

void X3DRendererToolBase::WriteState(XRendererStateName inName, const X3DMatrix& inValue, bool inImmediate)
{
    XRendererSceneState state;
    state.SetStateAndEnable(inName, inValue);
    itsRenderer.SetSceneState(state);
    if (inImmediate)
        itsRenderer.RefreshRendererWithImmediateRedraw();
}

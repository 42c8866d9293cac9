#include "X3DBaseRenderer.h"

#include "X3DCanvasToolFactory.h"
#include "X3DGC.h"
#include "X3DGCOffscreenTarget.h"
#include "X3DGCScopedLock.h"
#include "X3DOrientator.h"
#include "XAssert.h"
#include "XBGRA32Volume.h"
#include "XCanvasPaneBase.h"
#include "XLock.h"
#include "XPlaceholderTextCanvasAttachment.h"
#include "XRendererKeyDownCanvasAttachment.h"
#include "XRendererPane.h"
#include "XTextOverlayCanvasAttachment.h"
#include "XTexture2D.h"

void X3DBaseRenderer::AttachContainerSelf(XRendererPane& inPane)
{
    its3DPane.reset(inPane.MakeChildCanvas("XRealtime3DRenderer"));
    itsKeyDownAttachment = std::make_unique<XRendererKeyDownCanvasAttachment>(inPane.GetRenderingView());
    itsTextOverlay = std::make_unique<XTextOverlayCanvasAttachment>();
    itsPlaceholderText = std::make_unique<XPlaceholderTextCanvasAttachment>();
    its3DPane->AddCanvasAttachment(itsKeyDownAttachment.get());
    its3DPane->AddCanvasAttachment(this);
    its3DPane->AddCanvasAttachment(itsTextOverlay.get());
    itsTextOverlay->SetVisible(true);
    its3DPane->AddCanvasAttachment(itsPlaceholderText.get());
    itsPlaceholderText->Hide();
    if (itsToolAttachment)
        its3DPane->AddCanvasAttachment(itsToolAttachment.get());
}

void X3DBaseRenderer::DetachContainerSelf(XRendererPane&)
{
    ReleaseGraphicsResources();
    {
        XLock lock(itsRenderMutex);
        if (itsOrientator) {
            X3DGC& gc = Get3DGC();
            X3DGCScopedLock deviceLock(gc);
            itsOrientator->UnloadGraphicsResources(gc);
            itsOrientator.reset();
        }
        itsDisplayedImage.reset();
    }
    DestroyToolAttachment();
    if (its3DPane) {
        its3DPane->RemoveCanvasAttachment(this);
        its3DPane.reset();
    }
    itsKeyDownAttachment.reset();
    itsTextOverlay.reset();
    itsPlaceholderText.reset();
}

void X3DBaseRenderer::HandleContainerSizeChanged(const XRect& inBounds)
{
    X_ASSERT_TEXT(its3DPane, "its3DPane");
    if (!its3DPane)
        return;
    its3DPane->MovePane(inBounds.GetTopLeft());
    its3DPane->ResizePane(inBounds.GetWidth(), inBounds.GetHeight());
}

XEventResult X3DBaseRenderer::HandleSize(const XRect&)
{
    UpdateViewport();
    {
        XLock lock(itsRenderMutex);
        itsDisplayedImage.reset();
    }
    RefreshRenderer();
    return kEventHandled;
}

void X3DBaseRenderer::UpdateViewport()
{
    XLock lock(itsRenderMutex);
    if (!itsFlipTarget && !itsReadBackTarget && !itsFlipTexture && !itsExportTargets.first)
        return;
    X3DGC& gc = Get3DGC();
    X3DGCScopedLock deviceLock(gc);
    DestroyTargets(gc);
}

void X3DBaseRenderer::DestroyTargets(X3DGC& inGC)
{
    if (itsFlipTarget) {
        itsFlipTarget->Destroy(inGC);
        itsFlipTarget.reset();
    }
    if (itsReadBackTarget) {
        itsReadBackTarget->Destroy(inGC);
        itsReadBackTarget.reset();
    }
    if (itsFlipTexture)
        itsFlipTexture.release()->Destroy(inGC); // deletes itself
    itsExportTargets.Destroy(inGC);
}

void X3DBaseRenderer::RefreshRendererSelf(bool inImmediate)
{
    // A refresh asked for while this thread's device is drawing must not start a frame
    // inside the frame.
    if (inImmediate && Get3DGC().GetCurrentRenderTarget() != nullptr)
        return;
    itsNeedsRedraw = true;
    if (its3DPane)
        its3DPane->RedrawCanvas(inImmediate);
}

void X3DBaseRenderer::ShowPlaceholder(const XString& inReason)
{
    if (!itsPlaceholderText)
        return;
    itsPlaceholderText->SetText(inReason);
    itsPlaceholderText->Show();
}

// ---- Toolbar -------------------------------------------------------------------

XVector<XToolbarItemID> X3DBaseRenderer::GetSupportedToolbarItemsSelf() const { return {21, 22, 14, 15, 20}; }

void X3DBaseRenderer::DoRendererToolbarCommandSelf(XToolbarCommandID inCommand, XVolumeSelectionProtocol*)
{
    DestroyToolAttachment();
    if (X3DCanvasToolFactory* factory = X3DCanvasToolFactory::Get()) {
        XCanvasAttachment* tool = nullptr;
        switch (inCommand) {
        case kCommandDolly:
            tool = factory->MakeTrackBallTool(*this, X3DCanvasToolFactory::kRotateDolly);
            break;
        case kCommandPan:
            tool = factory->MakeVolumePanTool(*this);
            break;
        case kCommandLight:
            tool = factory->MakeLightTool(*this, itsLightBall);
            break;
        case kCommandRevolve:
            tool = factory->MakeTrackBallTool(*this, X3DCanvasToolFactory::kRotateCamera);
            break;
        default:
            tool = factory->MakeTrackBallTool(*this, X3DCanvasToolFactory::kRotateVolume);
            break;
        }
        itsToolAttachment.reset(tool);
        if (tool && its3DPane)
            its3DPane->AddCanvasAttachment(tool);
    }
    {
        XLock lock(itsRenderMutex);
        itsLightMarker.SetVisible(inCommand == kCommandLight);
    }
    PostToolbarCommand();
}

void X3DBaseRenderer::PostToolbarCommand() { RefreshRenderer(); }

void X3DBaseRenderer::DestroyToolAttachment()
{
    if (!itsToolAttachment)
        return;
    if (XCanvasPaneBase* pane = itsToolAttachment->GetCanvasPane())
        pane->RemoveCanvasAttachment(itsToolAttachment.get());
    itsToolAttachment.reset();
}

#include "X3DBaseRenderer.h"

#include "XAssert.h"
#include "XGC.h"
#include "XTextOverlayCanvasAttachment.h"

void X3DBaseRenderer::DrawCornerText(XGC& inGC, const XString& inText, const XRect& inBounds, bool inTop,
    const XARGB32Colour& inColour)
{
    const XGC::XTextSize size = inGC.MeasureText(inText);
    const double boxWidth = size.width + 12.0, boxHeight = size.height + 12.0;
    const double left = inTop ? inBounds.GetRight() - 12.0 - size.width : inBounds.GetRight() - boxWidth;
    const double top = inTop ? inBounds.GetTop() + 12.0 : inBounds.GetBottom() - boxHeight;
    // A text that would cross the left or top edge is left out rather than cut.
    if (left < inBounds.GetLeft() || top < inBounds.GetTop())
        return;
    inGC.SetFillColour(inColour);
    if (inTop)
        inGC.DrawTextA(inText, left, top);
    else
        inGC.DrawTextA(inText, left + 6.0, top + 6.0);
}

void X3DBaseRenderer::DrawToCanvas(XGC& inGC, const XVolume& inImage, const XRect& inBounds)
{
    inGC.DrawImage(inImage, inBounds, 1.0);
    inGC.SetFont(XGCFont::MakeStandard(XGCFont::kFaceOverlay));
    if (itsVolumeScale.IsVisible() && GetAppliedStateValue(kSceneStateScaleText)(0, 0) == 1.0)
        DrawCornerText(inGC, GetScaleText(), inBounds, false, itsOverlayTextColour);
    if (HasAppliedState(kSceneStateTimestamp) && GetAppliedStateValue(kSceneStateTimestamp)(0, 0) != 0.0) {
        const XARGB32Colour colour = HasAppliedState(kSceneStateTimestampColour)
            ? GetColourFromStateValue(GetAppliedStateValue(kSceneStateTimestampColour), XARGB32Colour::kWhite)
            : XARGB32Colour::kWhite;
        DrawCornerText(inGC, GetTimestampText(), inBounds, true, colour);
    }
}

// ---- Messages ------------------------------------------------------------------

void X3DBaseRenderer::SetErrorMessageSelf(const XString& inText)
{
    if (itsTextOverlay)
        itsTextOverlay->SetErrorText(inText);
}

void X3DBaseRenderer::AddCustomMessageSelf(uint32_t inID, const XString& inText, uint32_t inIcon)
{
    X_ASSERT(itsTextOverlay);
    if (itsTextOverlay)
        itsOverlayMessageIDs[inID] = itsTextOverlay->AddCustomMessage(inText, inIcon, XARGB32Colour::kBlack);
}

void X3DBaseRenderer::SetCustomMessageSelf(uint32_t inID, const XString& inText, uint32_t inIcon)
{
    X_ASSERT(itsTextOverlay);
    auto found = itsOverlayMessageIDs.find(inID);
    if (itsTextOverlay && found != itsOverlayMessageIDs.end())
        itsTextOverlay->SetCustomMessage(found->second, inText, inIcon, XARGB32Colour::kBlack);
}

void X3DBaseRenderer::RemoveCustomMessageSelf(uint32_t inID)
{
    X_ASSERT(itsTextOverlay);
    auto found = itsOverlayMessageIDs.find(inID);
    if (found == itsOverlayMessageIDs.end())
        return;
    if (itsTextOverlay)
        itsTextOverlay->RemoveCustomMessage(found->second);
    itsOverlayMessageIDs.erase(found);
}

void X3DBaseRenderer::AddProgressSpeakerSelf(XSpeaker& inSpeaker)
{
    X_ASSERT(itsTextOverlay);
    if (itsTextOverlay)
        itsTextOverlay->AddProgressSpeaker(inSpeaker);
}

void X3DBaseRenderer::RemoveProgressSpeakerSelf(XSpeaker& inSpeaker)
{
    X_ASSERT(itsTextOverlay);
    if (itsTextOverlay)
        itsTextOverlay->RemoveProgressSpeaker(inSpeaker);
}

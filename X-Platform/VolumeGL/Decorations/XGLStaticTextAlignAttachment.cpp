#include "XGLStaticTextAlignAttachment.h"

#include "XGLStaticText.h"

XGLStaticTextAlignAttachment::XGLStaticTextAlignAttachment(int inAlign, int inPixelOffset)
    : itsAlign(inAlign), itsPixelOffset(inPixelOffset)
{
}

void XGLStaticTextAlignAttachment::PreRender()
{
    // On any other renderable there is nothing to align.
    if (auto* text = dynamic_cast<XGLStaticText*>(GetRenderable()))
        text->SetAlignment(itsAlign, itsPixelOffset);
}

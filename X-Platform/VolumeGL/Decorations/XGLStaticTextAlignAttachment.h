#pragma once
// Sets the alignment of the static text it is attached to each time it is drawn:
// which part of the text sits at the anchor and a vertical offset in pixels.
#include "XGLAttachment.h"

class XGLStaticTextAlignAttachment : public XGLAttachment {
public:
    // inAlign: 0 left end, 1 centre, 2 right end at the anchor; inPixelOffset moves
    // the text down the window (negative: up).
    XGLStaticTextAlignAttachment(int inAlign, int inPixelOffset);
    ~XGLStaticTextAlignAttachment() override = default;
    void PreRender() override;

    int GetAlign() const { return itsAlign; }
    int GetPixelOffset() const { return itsPixelOffset; }

private:
    int itsAlign;
    int itsPixelOffset;
};

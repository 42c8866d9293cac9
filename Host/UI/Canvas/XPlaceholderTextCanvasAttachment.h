#pragma once
// Covers a canvas with a plain background and a centred message while shown: what a
// view displays instead of its picture when it cannot make one.
#include "XARGB32Colour.h"
#include "XCanvasAttachment.h"
#include "XString.h"

#include <vector>

class XPlaceholderTextCanvasAttachment : public XCanvasAttachment {
public:
    static constexpr double kMargin = 12.0;

    XPlaceholderTextCanvasAttachment() = default;

    // Each change redraws the pane it is on.
    void SetText(const XString& inText);
    const XString& GetText() const { return itsText; }
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    void SetVisible(bool inVisible);
    bool IsVisible() const { return itsIsVisible; }

    XEventResult DrawCanvas(XGC& inGC) override;

    // The text broken at spaces into lines no wider than inWidth in the context's font
    // (a word wider than that gets a line of its own). Explicit line breaks are kept.
    static std::vector<XString> WrapText(XGC& inGC, const XString& inText, double inWidth);

private:
    void Redraw();

    XString itsText;
    bool itsIsVisible = false;
    XARGB32Colour itsBackground{255, 64, 64, 64};
    XARGB32Colour itsTextColour = XARGB32Colour::kWhite;
};

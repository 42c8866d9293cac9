#include "XGCFont.h"

#include <algorithm>
#include <cmath>

XGCFont::XGCFont(XString inFamily, double inSizeInPixels, bool inBold, bool inItalic)
    : itsSize(ClampSize(inSizeInPixels)), itsBold(inBold), itsItalic(inItalic)
{
    SetFamily(std::move(inFamily));
}

XGCFont XGCFont::MakeStandard(int inFace)
{
    switch (inFace) {
    case kFaceSmall: return XGCFont(kDefaultFamily, 10.0);
    case kFaceBold: return XGCFont(kDefaultFamily, 12.0, true);
    case kFaceLarge: return XGCFont(kDefaultFamily, 16.0);
    case kFaceOverlay: return XGCFont(kDefaultFamily, 14.0, true);
    case kFaceMonospace: return XGCFont("DejaVu Sans Mono", 12.0);
    default: return XGCFont();
    }
}

void XGCFont::SetFamily(XString inFamily)
{
    inFamily.Strip();
    // An empty family would leave the choice to whatever fontconfig ranks first.
    itsFamily = inFamily.IsEmpty() ? XString(kDefaultFamily) : std::move(inFamily);
}

void XGCFont::SetSize(double inSizeInPixels)
{
    itsSize = ClampSize(inSizeInPixels);
}

double XGCFont::ClampSize(double inSize)
{
    if (!std::isfinite(inSize))
        return kDefaultSize;
    return std::clamp(inSize, 1.0, 1000.0);
}

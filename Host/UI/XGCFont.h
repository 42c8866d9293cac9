#pragma once
// A font for 2D drawing: a fontconfig family name, a size in pixels and a style.
// Families that fontconfig cannot find fall back to its closest match, so a
// font never fails to draw.
#include "XString.h"

class XGCFont {
public:
    // Faces the host uses by number (overlay texts ask for face 4).
    enum XStandardFace : int {
        kFaceDefault = 0,   // DejaVu Sans 12 px
        kFaceSmall = 1,     // DejaVu Sans 10 px
        kFaceBold = 2,      // DejaVu Sans 12 px bold
        kFaceLarge = 3,     // DejaVu Sans 16 px
        kFaceOverlay = 4,   // DejaVu Sans 14 px bold, for time stamps and scale texts
        kFaceMonospace = 5, // DejaVu Sans Mono 12 px
    };

    static constexpr const char* kDefaultFamily = "DejaVu Sans";
    static constexpr double kDefaultSize = 12.0;

    XGCFont() = default;
    // Sizes are clamped to 1 to 1000 pixels; a size that is not a number gives the default.
    explicit XGCFont(XString inFamily, double inSizeInPixels = kDefaultSize, bool inBold = false,
        bool inItalic = false);

    // The face for a host face number; unknown numbers give the default face.
    static XGCFont MakeStandard(int inFace);

    const XString& GetFamily() const { return itsFamily; }
    double GetSize() const { return itsSize; }
    bool IsBold() const { return itsBold; }
    bool IsItalic() const { return itsItalic; }

    void SetFamily(XString inFamily);
    void SetSize(double inSizeInPixels);
    void SetBold(bool inBold) { itsBold = inBold; }
    void SetItalic(bool inItalic) { itsItalic = inItalic; }

    friend bool operator==(const XGCFont&, const XGCFont&) = default;

private:
    static double ClampSize(double inSize);

    XString itsFamily = kDefaultFamily;
    double itsSize = kDefaultSize;
    bool itsBold = false;
    bool itsItalic = false;
};

#pragma once
// A line of text in the scene: drawn with the 2D drawing layer's fonts into a small
// image, shown as a screen-aligned textured rectangle at a 3D anchor point, at the
// same pixel size whatever the zoom. The colour tints the glyphs.
#include "XARGB32Colour.h"
#include "XARGB32Volume.h"
#include "XGCFont.h"
#include "XGLRenderable.h"
#include "XString.h"

#include <memory>

class XGLStaticText : public XGLRenderable {
public:
    // How the text sits around its anchor horizontally.
    enum XHorizontalAlign : int { kAlignLeft = 0, kAlignCentre = 1, kAlignRight = 2 };
    // Font style bits.
    enum XFontStyle : int { kStyleBold = 1, kStyleItalic = 2 };

    // A font of inPointSize points (at 96 pixels per inch) in the host's face number
    // inFontID (XGCFont::MakeStandard) with the style bits inStyle.
    explicit XGLStaticText(double inPointSize = 12.0, int inFontID = 1, int inStyle = 0);
    XGLStaticText(const XGLStaticText& inOther);
    XGLStaticText& operator=(const XGLStaticText& inOther);
    ~XGLStaticText() override;

    void SetText(const XString& inText);
    XString GetText() const;
    void SetColour(const XARGB32Colour& inColour);
    XARGB32Colour GetColour() const;
    // The anchor, in the coordinates of the node's frame.
    void SetPosition(double inX, double inY, double inZ);
    double GetXPosition() const;
    double GetYPosition() const;
    double GetZPosition() const;
    void SetFont(double inPointSize, int inFontID, int inStyle);
    XGCFont GetFont() const;
    // inAlign says which part of the text is at the anchor (left end, centre, right
    // end; vertically always the middle of the line); inPixelOffset moves the text
    // down the window by that many pixels (negative: up).
    void SetAlignment(int inAlign, int inPixelOffset);
    int GetAlignment() const;
    int GetPixelOffset() const;

    // The picture of the text (white glyphs on transparent), made on demand; null
    // for empty text.
    const XARGB32Volume* GetTextImage();

protected:
    void RenderSelf(XGLRenderable& inFrom) override;

private:
    // A window rectangle and the texture part it shows.
    struct XTextQuad {
        double left, bottom, right, top, z, s, t;
    };
    void MakeTextImage();
    // The anchor in window pixels and normalised depth; false where the text cannot show.
    bool FindAnchor(double& outX, double& outY, double& outZ) const;
    void DrawQuad(const XTextQuad& inQuad) const;

    XString itsText;
    XARGB32Colour itsColour = XARGB32Colour::kWhite;
    double itsPosition[3] = {0.0, 0.0, 0.0};
    XGCFont itsFont;
    int itsAlign = kAlignLeft;
    int itsPixelOffset = 0;
    std::unique_ptr<XARGB32Volume> itsImage; // null until made, or for empty text
    bool itsImageValid = false;
};

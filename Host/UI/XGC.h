#pragma once
// 2D drawing onto one plane of pixels, over Cairo.
//
// Coordinates are pixels with y growing downwards. Fills take them as pixel
// edges: FillRect(0, 0, 10, 10) covers exactly pixels 0..9 in x and y. Strokes
// take them as pixel centres: DrawLine(2, 5, 8, 5) at width 1 covers exactly
// pixels 2..8 of row 5 (the ends are squared off by half the width), and
// FrameRect draws its border inside the rectangle. So axis-aligned drawing at
// whole coordinates lands on whole pixels without blur.
//
// A context draws either straight onto memory in Cairo's own layout (32-bit
// premultiplied native-endian ARGB, as a window surface holds it) or onto a
// plane in a volume's byte order with straight alpha; then the plane is
// converted in when the context is made and written back by Flush() and by
// the destructor.
#include "XARGB32Colour.h"
#include "XGCFont.h"
#include "XRect.h"
#include "XRectF.h"
#include "XString.h"

#include <cstdint>
#include <memory>
#include <vector>

class XARGB32Volume;
class XBGRA32Volume;
class XVolume;

class XGC {
public:
    // The byte order of the pixels a context draws on or an image is read from.
    enum class XPixelLayout {
        kNativePremultiplied, // Cairo's ARGB32: a native-endian 32-bit word 0xAARRGGBB, premultiplied
        kBGRA32,              // bytes blue, green, red, alpha; straight alpha
        kARGB32,              // bytes alpha, red, green, blue; straight alpha
        kGrey8,               // one byte of grey, opaque (images only)
    };

    enum XAntiAliasMode { kAntiAliasOff = 0, kAntiAliasOn = 1 };

    enum XPenStyle { kPenSolid = 0, kPenDash, kPenDot, kPenDashDot, kPenDashDotDot };

    // Text alignment: one horizontal flag combined with one vertical flag.
    enum XTextAlign : unsigned {
        kAlignLeft = 0x0,
        kAlignCentre = 0x1,
        kAlignRight = 0x2,
        kAlignTop = 0x0,      // the point is the top of the text's line box
        kAlignMiddle = 0x4,   // the point is the middle of the line box
        kAlignBaseline = 0x8, // the point is on the baseline
        kAlignBottom = 0xC,   // the point is the bottom of the line box
    };

    struct XPointD {
        double x = 0.0;
        double y = 0.0;
    };

    // The line box of a text in the current font: the advance width and the
    // font's ascent plus descent, the height every line of that font takes.
    struct XTextSize {
        double width = 0.0;
        double height = 0.0;
        double ascent = 0.0;
        double descent = 0.0;
    };

    // A 2D affine map: x' = xx*x + xy*y + x0, y' = yx*x + yy*y + y0.
    struct XAffine {
        double xx = 1.0, yx = 0.0, xy = 0.0, yy = 1.0, x0 = 0.0, y0 = 0.0;
        static XAffine Translation(double inX, double inY) { return {1, 0, 0, 1, inX, inY}; }
        static XAffine Scaling(double inX, double inY) { return {inX, 0, 0, inY, 0, 0}; }
        static XAffine Rotation(double inRadians);
        // This map applied after inFirst.
        XAffine operator*(const XAffine& inFirst) const;
        XPointD Apply(const XPointD& inPoint) const;
    };

    // What DrawPath does with its path.
    enum XPathMode { kPathStroke = 1, kPathFill = 2, kPathFillAndStroke = 3 };

    // Draws on caller-owned memory, which must outlive the context. Sizes are
    // checked (XException kBadArgument): positive width and height, a stride of
    // at least one row, kGrey8 refused.
    XGC(void* inPixels, int inWidth, int inHeight, int inStrideBytes,
        XPixelLayout inLayout = XPixelLayout::kNativePremultiplied);
    // Draws on one XY plane (a local index) of a packed colour volume, which must
    // outlive the context; a missing plane gives XException kBadArgument.
    explicit XGC(XBGRA32Volume& inOutVolume, int32_t inPlane = 0);
    explicit XGC(XARGB32Volume& inOutVolume, int32_t inPlane = 0);
    ~XGC();
    XGC(const XGC&) = delete;
    XGC& operator=(const XGC&) = delete;

    int GetWidth() const { return itsWidth; }
    int GetHeight() const { return itsHeight; }
    // Writes what was drawn back to memory in the caller's layout.
    void Flush();

    // State.
    void SetFillColour(const XARGB32Colour& inColour) { itsFill = inColour; }
    XARGB32Colour GetFillColour() const { return itsFill; }
    void SetStrokeColour(const XARGB32Colour& inColour) { itsStroke = inColour; }
    XARGB32Colour GetStrokeColour() const { return itsStroke; }
    // Widths below 0 (or NaN) become 0, which draws no stroke.
    void SetStrokeWidth(double inWidth);
    double GetStrokeWidth() const { return itsStrokeWidth; }
    // Dash lengths are multiples of the stroke width (dash 3, dot 1, gaps 1).
    void SetPenStyle(XPenStyle inStyle) { itsPenStyle = inStyle; }
    XPenStyle GetPenStyle() const { return itsPenStyle; }
    void SetFont(const XGCFont& inFont);
    const XGCFont& GetFont() const { return itsFont; }
    // Replaces the map from drawing coordinates to pixels (identity at start).
    void SetTransform(const XAffine& inTransform);
    XAffine GetTransform() const { return itsTransform; }
    void SetAntiAliasMode(XAntiAliasMode inMode);
    XAntiAliasMode GetAntiAliasMode() const { return itsAntiAlias; }
    // Whether scaled images are interpolated (true) or take the nearest pixel.
    void SetSmoothImages(bool inSmooth) { itsSmoothImages = inSmooth; }
    bool GetSmoothImages() const { return itsSmoothImages; }
    // Drawing outside this rectangle (in drawing coordinates) is discarded, until Restore.
    void ClipToRect(const XRectF& inRect);
    void ClipToRect(const XRect& inRect) { ClipToRect(XRectF(inRect)); }
    // Save pushes every setting above, the clip included; Restore pops it.
    void Save();
    void Restore();

    // Clears every pixel to the colour (no blending).
    void Clear(const XARGB32Colour& inColour);

    // Lines and shapes.
    void DrawLine(double inX1, double inY1, double inX2, double inY2);
    // Fills with the fill colour, then strokes the border with the stroke colour.
    void DrawRect(const XRectF& inRect);
    void FrameRect(const XRectF& inRect);
    void FillRect(const XRectF& inRect);
    void FillRoundedRect(const XRectF& inRect, double inRadius);
    void DrawRect(const XRect& inRect) { DrawRect(XRectF(inRect)); }
    void FrameRect(const XRect& inRect) { FrameRect(XRectF(inRect)); }
    void FillRect(const XRect& inRect) { FillRect(XRectF(inRect)); }
    void FillRoundedRect(const XRect& inRect, double inRadius) { FillRoundedRect(XRectF(inRect), inRadius); }
    // A polyline (open) or polygon (closed); fewer than two points draw nothing.
    void DrawPath(const std::vector<XPointD>& inPoints, bool inClosed, XPathMode inMode);

    // Text, in the fill colour.
    void DrawTextA(const XString& inText, double inX, double inY, unsigned inAlign = kAlignLeft | kAlignTop);
    XTextSize MeasureText(const XString& inText);
    // The rectangle that DrawTextA with the same arguments fills.
    XRectF GetTextBounds(const XString& inText, double inX, double inY, unsigned inAlign = kAlignLeft | kAlignTop);
    // The text when it fits in the width, else its longest start followed by
    // "…" that fits, else empty.
    XString TruncateTextWithEllipsis(const XString& inText, double inMaxWidth);

    // Images: one plane scaled into the rectangle and blended at the opacity (0..1).
    void DrawImage(const void* inPixels, int inWidth, int inHeight, int inStrideBytes,
        XPixelLayout inLayout, const XRectF& inDest, double inOpacity = 1.0);
    // One XY plane (a local index) of any volume; grey, 16-bit and float planes show
    // as grey through the volume's own conversion. A missing plane gives XException kBadArgument.
    void DrawImage(const XVolume& inImage, const XRectF& inDest, double inOpacity = 1.0, int32_t inPlane = 0);
    void DrawImage(const XVolume& inImage, const XRect& inDest, double inOpacity = 1.0, int32_t inPlane = 0)
    {
        DrawImage(inImage, XRectF(inDest), inOpacity, inPlane);
    }

private:
    struct XState;
    struct XCairo;

    void InitialiseSurface(void* inPixels, int inWidth, int inHeight, int inStrideBytes, XPixelLayout inLayout);
    void ApplySource(const XARGB32Colour& inColour);
    void ApplyStroke();
    void ApplyFont();
    void PathRect(const XRectF& inRect);
    void StrokeInPixelCentres();
    void CheckStatus(const char* inWhat);

    std::unique_ptr<XCairo> itsCairo;
    uint8_t* itsTarget = nullptr;
    XPixelLayout itsLayout = XPixelLayout::kNativePremultiplied;
    int itsWidth = 0;
    int itsHeight = 0;
    int itsStride = 0;

    XARGB32Colour itsFill = XARGB32Colour::kBlack;
    XARGB32Colour itsStroke = XARGB32Colour::kBlack;
    double itsStrokeWidth = 1.0;
    XPenStyle itsPenStyle = kPenSolid;
    XGCFont itsFont;
    XAffine itsTransform;
    XAntiAliasMode itsAntiAlias = kAntiAliasOn;
    bool itsSmoothImages = true;
    std::vector<XState> itsSaved;
};

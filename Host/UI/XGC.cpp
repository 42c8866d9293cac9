#include "XGC.h"

#include "XARGB32Volume.h"
#include "XBGRA32Volume.h"
#include "XException.h"

#include <cairo.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

namespace {

constexpr int kMaxSurfaceSide = 32767; // Cairo's image surface limit
constexpr const char* kEllipsis = "\xE2\x80\xA6";

bool IsFinite(double inA, double inB = 0.0, double inC = 0.0, double inD = 0.0)
{
    return std::isfinite(inA) && std::isfinite(inB) && std::isfinite(inC) && std::isfinite(inD);
}

// A rectangle that can be drawn: finite edges enclosing some area.
bool IsDrawable(const XRectF& inRect)
{
    return IsFinite(inRect.left, inRect.top, inRect.right, inRect.bottom) && !inRect.IsEmpty();
}

int BytesPerPixel(XGC::XPixelLayout inLayout)
{
    return inLayout == XGC::XPixelLayout::kGrey8 ? 1 : 4;
}

// One pixel of a straight-alpha layout as a premultiplied native word.
uint32_t Premultiply(uint8_t inA, uint8_t inR, uint8_t inG, uint8_t inB)
{
    if (inA == 255)
        return 0xFF000000u | (uint32_t(inR) << 16) | (uint32_t(inG) << 8) | inB;
    auto mul = [inA](uint8_t c) { return uint32_t((c * inA + 127) / 255); };
    return (uint32_t(inA) << 24) | (mul(inR) << 16) | (mul(inG) << 8) | mul(inB);
}

void Unpremultiply(uint32_t inWord, uint8_t& outA, uint8_t& outR, uint8_t& outG, uint8_t& outB)
{
    outA = uint8_t(inWord >> 24);
    uint32_t r = (inWord >> 16) & 0xFF, g = (inWord >> 8) & 0xFF, b = inWord & 0xFF;
    if (outA == 255) {
        outR = uint8_t(r), outG = uint8_t(g), outB = uint8_t(b);
        return;
    }
    if (outA == 0) {
        outR = outG = outB = 0;
        return;
    }
    auto div = [a = uint32_t(outA)](uint32_t c) { return uint8_t(std::min<uint32_t>(255, (c * 255 + a / 2) / a)); };
    outR = div(r), outG = div(g), outB = div(b);
}

// Whether a row of 32-bit BGRA pixels (or premultiplied native words, the same bytes on a
// little-endian machine) is opaque throughout: such rows need no conversion, only a copy.
bool IsOpaqueBGRARow(const uint8_t* inRow, int inWidth)
{
    if constexpr (std::endian::native != std::endian::little)
        return false;
    uint32_t all = 0xFFFFFFFFu;
    for (int x = 0; x < inWidth; ++x) {
        uint32_t word;
        std::memcpy(&word, inRow + size_t(x) * 4, 4);
        all &= word;
    }
    return (all >> 24) == 0xFF;
}

// Converts a plane in any layout into a premultiplied native surface's rows.
void ConvertIn(const uint8_t* inSrc, int inSrcStride, XGC::XPixelLayout inLayout, uint8_t* outDst, int inDstStride,
    int inWidth, int inHeight)
{
    for (int y = 0; y < inHeight; ++y) {
        const uint8_t* s = inSrc + size_t(y) * size_t(inSrcStride);
        auto* d = reinterpret_cast<uint32_t*>(outDst + size_t(y) * size_t(inDstStride));
        switch (inLayout) {
        case XGC::XPixelLayout::kNativePremultiplied:
            std::memcpy(d, s, size_t(inWidth) * 4);
            break;
        case XGC::XPixelLayout::kBGRA32:
            if (IsOpaqueBGRARow(s, inWidth)) {
                std::memcpy(d, s, size_t(inWidth) * 4);
                break;
            }
            for (int x = 0; x < inWidth; ++x, s += 4)
                d[x] = Premultiply(s[3], s[2], s[1], s[0]);
            break;
        case XGC::XPixelLayout::kARGB32:
            for (int x = 0; x < inWidth; ++x, s += 4)
                d[x] = Premultiply(s[0], s[1], s[2], s[3]);
            break;
        case XGC::XPixelLayout::kGrey8:
            for (int x = 0; x < inWidth; ++x)
                d[x] = 0xFF000000u | (uint32_t(s[x]) * 0x010101u);
            break;
        }
    }
}

void ConvertOut(const uint8_t* inSrc, int inSrcStride, XGC::XPixelLayout inLayout, uint8_t* outDst, int inDstStride,
    int inWidth, int inHeight)
{
    for (int y = 0; y < inHeight; ++y) {
        const auto* s = reinterpret_cast<const uint32_t*>(inSrc + size_t(y) * size_t(inSrcStride));
        uint8_t* d = outDst + size_t(y) * size_t(inDstStride);
        uint8_t a, r, g, b;
        switch (inLayout) {
        case XGC::XPixelLayout::kBGRA32:
            if (IsOpaqueBGRARow(reinterpret_cast<const uint8_t*>(s), inWidth)) {
                std::memcpy(d, s, size_t(inWidth) * 4);
                break;
            }
            for (int x = 0; x < inWidth; ++x, d += 4) {
                Unpremultiply(s[x], a, r, g, b);
                d[0] = b, d[1] = g, d[2] = r, d[3] = a;
            }
            break;
        case XGC::XPixelLayout::kARGB32:
            for (int x = 0; x < inWidth; ++x, d += 4) {
                Unpremultiply(s[x], a, r, g, b);
                d[0] = a, d[1] = r, d[2] = g, d[3] = b;
            }
            break;
        default:
            break;
        }
    }
}

// Invalid UTF-8 would put the Cairo context in a permanent error state.
std::string MakeValidUTF8(const XString& inText)
{
    if (inText.IsValidUTF8())
        return inText.GetStdString();
    std::string out;
    const std::string& s = inText.GetStdString();
    for (size_t i = 0; i < s.size();) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        size_t n = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 0;
        bool ok = n != 0 && i + n <= s.size();
        for (size_t k = 1; ok && k < n; ++k)
            ok = (static_cast<unsigned char>(s[i + k]) & 0xC0) == 0x80;
        if (ok && n > 1 && !XString(std::string_view(s).substr(i, n)).IsValidUTF8())
            ok = false;
        if (ok) {
            out.append(s, i, n);
            i += n;
        } else {
            out += "\xEF\xBF\xBD"; // U+FFFD
            ++i;
        }
    }
    return out;
}

// Byte offsets at which each code point of a valid UTF-8 text starts, plus the end.
std::vector<size_t> CodePointStarts(const std::string& inText)
{
    std::vector<size_t> starts;
    for (size_t i = 0; i < inText.size(); ++i)
        if ((static_cast<unsigned char>(inText[i]) & 0xC0) != 0x80)
            starts.push_back(i);
    starts.push_back(inText.size());
    return starts;
}

} // namespace

struct XGC::XState {
    XARGB32Colour fill, stroke;
    double strokeWidth;
    XPenStyle penStyle;
    XGCFont font;
    XAffine transform;
    XAntiAliasMode antiAlias;
    bool smoothImages;
};

struct XGC::XCairo {
    cairo_surface_t* surface = nullptr;
    cairo_t* cr = nullptr;
    ~XCairo()
    {
        if (cr)
            cairo_destroy(cr);
        if (surface)
            cairo_surface_destroy(surface);
    }
};

XGC::XAffine XGC::XAffine::Rotation(double inRadians)
{
    double c = std::cos(inRadians), s = std::sin(inRadians);
    return {c, s, -s, c, 0, 0};
}

XGC::XAffine XGC::XAffine::operator*(const XAffine& inFirst) const
{
    const XAffine& a = inFirst;
    XAffine r;
    r.xx = xx * a.xx + xy * a.yx;
    r.yx = yx * a.xx + yy * a.yx;
    r.xy = xx * a.xy + xy * a.yy;
    r.yy = yx * a.xy + yy * a.yy;
    r.x0 = xx * a.x0 + xy * a.y0 + x0;
    r.y0 = yx * a.x0 + yy * a.y0 + y0;
    return r;
}

XGC::XPointD XGC::XAffine::Apply(const XPointD& inPoint) const
{
    return {xx * inPoint.x + xy * inPoint.y + x0, yx * inPoint.x + yy * inPoint.y + y0};
}

XGC::XGC(void* inPixels, int inWidth, int inHeight, int inStrideBytes, XPixelLayout inLayout)
{
    InitialiseSurface(inPixels, inWidth, inHeight, inStrideBytes, inLayout);
}

XGC::~XGC()
{
    try {
        Flush();
    } catch (...) {
        // A destructor cannot report; Flush has nothing that throws once drawing worked.
    }
}

void XGC::InitialiseSurface(void* inPixels, int inWidth, int inHeight, int inStrideBytes, XPixelLayout inLayout)
{
    if (!inPixels)
        throw XException(XException::kBadArgument, "There are no pixels to draw on.");
    if (inWidth <= 0 || inHeight <= 0 || inWidth > kMaxSurfaceSide || inHeight > kMaxSurfaceSide)
        throw XException(XException::kBadArgument,
            XString("A drawing surface of %1 x %2 pixels cannot be drawn on; sides must be 1 to %3 pixels.")
                .Replace(int64_t(inWidth)).Replace(int64_t(inHeight)).Replace(int64_t(kMaxSurfaceSide)));
    if (inLayout == XPixelLayout::kGrey8)
        throw XException(XException::kBadArgument, "Drawing on a grey plane is not supported; draw on a colour plane.");
    if (inStrideBytes < inWidth * 4 || inStrideBytes % 4 != 0)
        throw XException(XException::kBadArgument,
            XString("A row stride of %1 bytes does not fit %2 pixels of 4 bytes.")
                .Replace(int64_t(inStrideBytes)).Replace(int64_t(inWidth)));

    itsCairo = std::make_unique<XCairo>();
    itsTarget = static_cast<uint8_t*>(inPixels);
    itsLayout = inLayout;
    itsWidth = inWidth;
    itsHeight = inHeight;
    itsStride = inStrideBytes;

    if (inLayout == XPixelLayout::kNativePremultiplied) {
        itsCairo->surface = cairo_image_surface_create_for_data(itsTarget, CAIRO_FORMAT_ARGB32, inWidth, inHeight,
            inStrideBytes);
    } else {
        itsCairo->surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, inWidth, inHeight);
        if (cairo_surface_status(itsCairo->surface) == CAIRO_STATUS_SUCCESS) {
            cairo_surface_flush(itsCairo->surface);
            ConvertIn(itsTarget, inStrideBytes, inLayout, cairo_image_surface_get_data(itsCairo->surface),
                cairo_image_surface_get_stride(itsCairo->surface), inWidth, inHeight);
            cairo_surface_mark_dirty(itsCairo->surface);
        }
    }
    if (cairo_surface_status(itsCairo->surface) != CAIRO_STATUS_SUCCESS)
        throw XException(XException::kBadArgument,
            XString("The drawing surface could not be made (%1). Free some memory and try again.")
                .Replace(XString(cairo_status_to_string(cairo_surface_status(itsCairo->surface)))));
    itsCairo->cr = cairo_create(itsCairo->surface);
    CheckStatus("making the drawing context");
    SetAntiAliasMode(kAntiAliasOn);
}

void XGC::Flush()
{
    if (!itsCairo)
        return;
    cairo_surface_flush(itsCairo->surface);
    if (itsLayout != XPixelLayout::kNativePremultiplied)
        ConvertOut(cairo_image_surface_get_data(itsCairo->surface), cairo_image_surface_get_stride(itsCairo->surface),
            itsLayout, itsTarget, itsStride, itsWidth, itsHeight);
}

void XGC::CheckStatus(const char* inWhat)
{
    cairo_status_t status = cairo_status(itsCairo->cr);
    if (status != CAIRO_STATUS_SUCCESS)
        throw XException(XException::kBadArgument,
            XString("2D drawing failed while %1: %2.").Replace(XString(inWhat)).Replace(XString(cairo_status_to_string(status))));
}

void XGC::SetStrokeWidth(double inWidth)
{
    itsStrokeWidth = (std::isfinite(inWidth) && inWidth > 0.0) ? std::min(inWidth, 1.0e6) : 0.0;
}

void XGC::SetFont(const XGCFont& inFont)
{
    itsFont = inFont;
}

void XGC::SetTransform(const XAffine& inTransform)
{
    const XAffine& m = inTransform;
    double det = m.xx * m.yy - m.xy * m.yx;
    // Cairo would fall into a permanent error state on a map it cannot invert.
    if (!IsFinite(m.xx, m.yx, m.xy, m.yy) || !IsFinite(m.x0, m.y0) || !std::isfinite(det) || std::fabs(det) < 1e-12)
        throw XException(XException::kBadArgument,
            "The 2D transform cannot be used because it is not invertible; give a transform that does not collapse the plane.");
    itsTransform = inTransform;
    cairo_matrix_t cm;
    cairo_matrix_init(&cm, m.xx, m.yx, m.xy, m.yy, m.x0, m.y0);
    cairo_set_matrix(itsCairo->cr, &cm);
}

void XGC::SetAntiAliasMode(XAntiAliasMode inMode)
{
    itsAntiAlias = inMode;
    cairo_set_antialias(itsCairo->cr, inMode == kAntiAliasOff ? CAIRO_ANTIALIAS_NONE : CAIRO_ANTIALIAS_GRAY);
}

void XGC::ClipToRect(const XRectF& inRect)
{
    if (!IsFinite(inRect.left, inRect.top, inRect.right, inRect.bottom))
        return;
    cairo_new_path(itsCairo->cr);
    PathRect(inRect);
    cairo_clip(itsCairo->cr);
}

void XGC::Save()
{
    itsSaved.push_back({itsFill, itsStroke, itsStrokeWidth, itsPenStyle, itsFont, itsTransform, itsAntiAlias, itsSmoothImages});
    cairo_save(itsCairo->cr);
}

void XGC::Restore()
{
    if (itsSaved.empty())
        return; // unbalanced Restore: nothing to pop
    const XState& s = itsSaved.back();
    itsFill = s.fill;
    itsStroke = s.stroke;
    itsStrokeWidth = s.strokeWidth;
    itsPenStyle = s.penStyle;
    itsFont = s.font;
    itsTransform = s.transform;
    itsAntiAlias = s.antiAlias;
    itsSmoothImages = s.smoothImages;
    itsSaved.pop_back();
    cairo_restore(itsCairo->cr); // brings back the matrix, clip and antialiasing
}

void XGC::Clear(const XARGB32Colour& inColour)
{
    cairo_t* cr = itsCairo->cr;
    cairo_save(cr);
    cairo_reset_clip(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    ApplySource(inColour);
    cairo_paint(cr);
    cairo_restore(cr);
}

void XGC::ApplySource(const XARGB32Colour& inColour)
{
    cairo_set_source_rgba(itsCairo->cr, inColour.red / 255.0, inColour.green / 255.0, inColour.blue / 255.0,
        inColour.alpha / 255.0);
}

void XGC::ApplyStroke()
{
    cairo_t* cr = itsCairo->cr;
    ApplySource(itsStroke);
    cairo_set_line_width(cr, itsStrokeWidth);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_MITER);
    const double w = itsStrokeWidth;
    std::vector<double> dashes;
    switch (itsPenStyle) {
    case kPenSolid: break;
    case kPenDash: dashes = {3 * w, w}; break;
    case kPenDot: dashes = {w, w}; break;
    case kPenDashDot: dashes = {3 * w, w, w, w}; break;
    case kPenDashDotDot: dashes = {3 * w, w, w, w, w, w}; break;
    }
    cairo_set_dash(cr, dashes.empty() ? nullptr : dashes.data(), int(dashes.size()), 0.0);
}

void XGC::ApplyFont()
{
    cairo_t* cr = itsCairo->cr;
    cairo_select_font_face(cr, itsFont.GetFamily().GetCString(),
        itsFont.IsItalic() ? CAIRO_FONT_SLANT_ITALIC : CAIRO_FONT_SLANT_NORMAL,
        itsFont.IsBold() ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, itsFont.GetSize());
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_antialias(options, itsAntiAlias == kAntiAliasOff ? CAIRO_ANTIALIAS_NONE : CAIRO_ANTIALIAS_GRAY);
    // Metrics must not depend on the screen's hinting settings, so text measures the same everywhere.
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
    cairo_set_font_options(cr, options);
    cairo_font_options_destroy(options);
}

void XGC::PathRect(const XRectF& inRect)
{
    // An inverted rectangle clips everything away rather than being turned round.
    double w = std::max(0.0, double(inRect.right) - inRect.left), h = std::max(0.0, double(inRect.bottom) - inRect.top);
    cairo_rectangle(itsCairo->cr, inRect.left, inRect.top, w, h);
}

// Moves the path built next half a pixel right and down (in pixels, whatever the
// transform), so that whole coordinates name pixel centres.
void XGC::StrokeInPixelCentres()
{
    cairo_matrix_t cm;
    cairo_matrix_init(&cm, itsTransform.xx, itsTransform.yx, itsTransform.xy, itsTransform.yy, itsTransform.x0 + 0.5,
        itsTransform.y0 + 0.5);
    cairo_set_matrix(itsCairo->cr, &cm);
}

void XGC::DrawLine(double inX1, double inY1, double inX2, double inY2)
{
    if (!IsFinite(inX1, inY1, inX2, inY2) || itsStrokeWidth <= 0.0)
        return;
    cairo_t* cr = itsCairo->cr;
    cairo_save(cr);
    cairo_new_path(cr);
    StrokeInPixelCentres();
    const double half = itsStrokeWidth / 2;
    double dx = inX2 - inX1, dy = inY2 - inY1;
    double length = std::hypot(dx, dy);
    if (length == 0.0) {
        // A line of no length is a dot of the pen's size.
        ApplySource(itsStroke);
        cairo_rectangle(cr, inX1 - half, inY1 - half, itsStrokeWidth, itsStrokeWidth);
        cairo_fill(cr);
    } else {
        // Square ends made by lengthening the line, so that dashes keep flat ends.
        double ux = dx / length * half, uy = dy / length * half;
        cairo_move_to(cr, inX1 - ux, inY1 - uy);
        cairo_line_to(cr, inX2 + ux, inY2 + uy);
        ApplyStroke();
        cairo_stroke(cr);
    }
    cairo_restore(cr);
}

void XGC::FillRect(const XRectF& inRect)
{
    if (!IsDrawable(inRect))
        return;
    cairo_t* cr = itsCairo->cr;
    cairo_new_path(cr);
    PathRect(inRect);
    ApplySource(itsFill);
    cairo_fill(cr);
}

void XGC::FrameRect(const XRectF& inRect)
{
    if (!IsDrawable(inRect) || itsStrokeWidth <= 0.0)
        return;
    cairo_t* cr = itsCairo->cr;
    const double w = itsStrokeWidth;
    if (2 * w >= inRect.GetWidth() || 2 * w >= inRect.GetHeight()) {
        // The border meets itself: the whole rectangle is border.
        cairo_new_path(cr);
        PathRect(inRect);
        ApplySource(itsStroke);
        cairo_fill(cr);
        return;
    }
    cairo_new_path(cr);
    cairo_rectangle(cr, inRect.left + w / 2, inRect.top + w / 2, inRect.GetWidth() - w, inRect.GetHeight() - w);
    ApplyStroke();
    cairo_stroke(cr);
}

void XGC::DrawRect(const XRectF& inRect)
{
    FillRect(inRect);
    FrameRect(inRect);
}

void XGC::FillRoundedRect(const XRectF& inRect, double inRadius)
{
    if (!IsDrawable(inRect))
        return;
    double r = std::isfinite(inRadius)
        ? std::clamp(inRadius, 0.0, std::min<double>(inRect.GetWidth(), inRect.GetHeight()) / 2) : 0.0;
    if (r <= 0.0) {
        FillRect(inRect);
        return;
    }
    cairo_t* cr = itsCairo->cr;
    const double l = inRect.left, t = inRect.top, rt = inRect.GetRight(), b = inRect.GetBottom();
    cairo_new_path(cr);
    cairo_arc(cr, rt - r, t + r, r, -M_PI / 2, 0);
    cairo_arc(cr, rt - r, b - r, r, 0, M_PI / 2);
    cairo_arc(cr, l + r, b - r, r, M_PI / 2, M_PI);
    cairo_arc(cr, l + r, t + r, r, M_PI, 3 * M_PI / 2);
    cairo_close_path(cr);
    ApplySource(itsFill);
    cairo_fill(cr);
}

void XGC::DrawPath(const std::vector<XPointD>& inPoints, bool inClosed, XPathMode inMode)
{
    if (inPoints.size() < 2)
        return;
    for (const XPointD& p : inPoints)
        if (!IsFinite(p.x, p.y))
            return;
    cairo_t* cr = itsCairo->cr;
    auto buildPath = [&](bool inSquareEnds) {
        cairo_new_path(cr);
        std::vector<XPointD> pts = inPoints;
        if (inSquareEnds && !inClosed) {
            // Lengthen the first and last segments by half the width, as DrawLine does.
            auto extend = [half = itsStrokeWidth / 2](XPointD& end, const XPointD& inner) {
                double dx = end.x - inner.x, dy = end.y - inner.y, len = std::hypot(dx, dy);
                if (len > 0)
                    end.x += dx / len * half, end.y += dy / len * half;
            };
            extend(pts.front(), pts[1]);
            extend(pts.back(), pts[pts.size() - 2]);
        }
        cairo_move_to(cr, pts[0].x, pts[0].y);
        for (size_t i = 1; i < pts.size(); ++i)
            cairo_line_to(cr, pts[i].x, pts[i].y);
        if (inClosed)
            cairo_close_path(cr);
    };
    if ((inMode & kPathFill) && inPoints.size() >= 3) {
        buildPath(false);
        ApplySource(itsFill);
        cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
        cairo_fill(cr);
    }
    if ((inMode & kPathStroke) && itsStrokeWidth > 0.0) {
        cairo_save(cr);
        StrokeInPixelCentres();
        buildPath(true);
        ApplyStroke();
        cairo_stroke(cr);
        cairo_restore(cr);
    }
}

XGC::XTextSize XGC::MeasureText(const XString& inText)
{
    cairo_t* cr = itsCairo->cr;
    ApplyFont();
    cairo_font_extents_t fe;
    cairo_font_extents(cr, &fe);
    XTextSize size;
    size.ascent = fe.ascent;
    size.descent = fe.descent;
    size.height = fe.ascent + fe.descent;
    if (!inText.IsEmpty()) {
        std::string text = MakeValidUTF8(inText);
        cairo_text_extents_t te;
        cairo_text_extents(cr, text.c_str(), &te);
        size.width = te.x_advance;
    }
    CheckStatus("measuring text");
    return size;
}

XRectF XGC::GetTextBounds(const XString& inText, double inX, double inY, unsigned inAlign)
{
    XTextSize size = MeasureText(inText);
    double left = inX, top = inY;
    switch (inAlign & 0x3) {
    case kAlignCentre: left -= size.width / 2; break;
    case kAlignRight: left -= size.width; break;
    default: break;
    }
    switch (inAlign & 0xC) {
    case kAlignMiddle: top -= size.height / 2; break;
    case kAlignBaseline: top -= size.ascent; break;
    case kAlignBottom: top -= size.height; break;
    default: break;
    }
    return XRectF(float(left), float(top), float(left + size.width), float(top + size.height));
}

void XGC::DrawTextA(const XString& inText, double inX, double inY, unsigned inAlign)
{
    if (inText.IsEmpty() || !IsFinite(inX, inY))
        return;
    XTextSize size = MeasureText(inText);
    double left = inX, baseline = inY + size.ascent;
    switch (inAlign & 0x3) {
    case kAlignCentre: left -= size.width / 2; break;
    case kAlignRight: left -= size.width; break;
    default: break;
    }
    switch (inAlign & 0xC) {
    case kAlignMiddle: baseline -= size.height / 2; break;
    case kAlignBaseline: baseline = inY; break;
    case kAlignBottom: baseline -= size.height; break;
    default: break;
    }
    cairo_t* cr = itsCairo->cr;
    std::string text = MakeValidUTF8(inText);
    cairo_new_path(cr);
    cairo_move_to(cr, left, baseline);
    ApplySource(itsFill);
    cairo_show_text(cr, text.c_str());
    cairo_new_path(cr);
    CheckStatus("drawing text");
}

XString XGC::TruncateTextWithEllipsis(const XString& inText, double inMaxWidth)
{
    if (!std::isfinite(inMaxWidth) || inMaxWidth <= 0.0)
        return XString();
    if (MeasureText(inText).width <= inMaxWidth)
        return inText;
    std::string text = MakeValidUTF8(inText);
    std::vector<size_t> starts = CodePointStarts(text);
    auto candidate = [&](size_t inCodePoints) {
        std::string head = text.substr(0, starts[inCodePoints]);
        // A space before the ellipsis looks like a gap, not a cut.
        while (!head.empty() && (head.back() == ' ' || head.back() == '\t'))
            head.pop_back();
        return head + kEllipsis;
    };
    // Advances are positive, so the width grows with the number of code points kept.
    size_t lo = 0, hi = starts.size() - 2; // keep at least 0, at most all but one
    if (MeasureText(candidate(0)).width > inMaxWidth)
        return XString();
    while (lo < hi) {
        size_t mid = (lo + hi + 1) / 2;
        if (MeasureText(candidate(mid)).width <= inMaxWidth)
            lo = mid;
        else
            hi = mid - 1;
    }
    return XString(candidate(lo));
}

void XGC::DrawImage(const void* inPixels, int inWidth, int inHeight, int inStrideBytes, XPixelLayout inLayout,
    const XRectF& inDest, double inOpacity)
{
    if (!inPixels || inWidth <= 0 || inHeight <= 0 || inWidth > kMaxSurfaceSide || inHeight > kMaxSurfaceSide)
        throw XException(XException::kBadArgument,
            XString("An image of %1 x %2 pixels cannot be drawn; sides must be 1 to %3 pixels.")
                .Replace(int64_t(inWidth)).Replace(int64_t(inHeight)).Replace(int64_t(kMaxSurfaceSide)));
    if (inStrideBytes < inWidth * BytesPerPixel(inLayout))
        throw XException(XException::kBadArgument,
            XString("An image row stride of %1 bytes does not fit %2 pixels.").Replace(int64_t(inStrideBytes)).Replace(int64_t(inWidth)));
    if (!IsDrawable(inDest) || !(inOpacity > 0.0))
        return;
    const double opacity = std::min(inOpacity, 1.0);

    // An opaque BGRA picture already has the bytes of Cairo's native words; read as
    // opaque pixels they are used in place and copied without blending.
    auto isOpaqueBGRA = [&] {
        if (inLayout != XPixelLayout::kBGRA32 || inStrideBytes % 4 != 0)
            return false;
        for (int y = 0; y < inHeight; ++y)
            if (!IsOpaqueBGRARow(static_cast<const uint8_t*>(inPixels) + size_t(y) * size_t(inStrideBytes), inWidth))
                return false;
        return true;
    };
    XCairo source;
    if (isOpaqueBGRA()) {
        source.surface = cairo_image_surface_create_for_data(
            static_cast<unsigned char*>(const_cast<void*>(inPixels)), CAIRO_FORMAT_RGB24, inWidth, inHeight, inStrideBytes);
    } else if (inLayout == XPixelLayout::kNativePremultiplied && inStrideBytes % 4 == 0) {
        // Cairo only reads a source surface, so the caller's memory is used as it is.
        source.surface = cairo_image_surface_create_for_data(
            static_cast<unsigned char*>(const_cast<void*>(inPixels)), CAIRO_FORMAT_ARGB32, inWidth, inHeight, inStrideBytes);
    } else {
        source.surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, inWidth, inHeight);
        if (cairo_surface_status(source.surface) == CAIRO_STATUS_SUCCESS) {
            cairo_surface_flush(source.surface);
            ConvertIn(static_cast<const uint8_t*>(inPixels), inStrideBytes, inLayout,
                cairo_image_surface_get_data(source.surface), cairo_image_surface_get_stride(source.surface), inWidth,
                inHeight);
            cairo_surface_mark_dirty(source.surface);
        }
    }
    if (cairo_surface_status(source.surface) != CAIRO_STATUS_SUCCESS)
        throw XException(XException::kBadArgument,
            XString("The image could not be prepared for drawing (%1). Free some memory and try again.")
                .Replace(XString(cairo_status_to_string(cairo_surface_status(source.surface)))));

    cairo_t* cr = itsCairo->cr;
    cairo_save(cr);
    cairo_new_path(cr);
    PathRect(inDest);
    cairo_clip(cr);
    cairo_translate(cr, inDest.left, inDest.top);
    cairo_scale(cr, double(inDest.GetWidth()) / inWidth, double(inDest.GetHeight()) / inHeight);
    cairo_set_source_surface(cr, source.surface, 0, 0);
    cairo_pattern_t* pattern = cairo_get_source(cr);
    // Padding keeps the edge pixels from fading into transparency when smoothing.
    cairo_pattern_set_extend(pattern, CAIRO_EXTEND_PAD);
    cairo_pattern_set_filter(pattern, itsSmoothImages ? CAIRO_FILTER_GOOD : CAIRO_FILTER_NEAREST);
    if (opacity >= 1.0)
        cairo_paint(cr);
    else
        cairo_paint_with_alpha(cr, opacity);
    cairo_restore(cr);
    CheckStatus("drawing an image");
}

namespace {

void CheckPlane(const XVolume& inVolume, int32_t inPlane, const char* inWhat)
{
    if (inVolume.IsEmpty() || inPlane < 0 || inPlane >= inVolume.GetDepth())
        throw XException(XException::kBadArgument,
            XString("Plane %1 cannot be %2: the image has %3 planes of %4 x %5 pixels.")
                .Replace(int64_t(inPlane)).Replace(XString(inWhat)).Replace(int64_t(std::max(inVolume.GetDepth(), 0)))
                .Replace(int64_t(std::max(inVolume.GetWidth(), 0))).Replace(int64_t(std::max(inVolume.GetHeight(), 0))));
    if (inVolume.GetRowBytes() > size_t(INT32_MAX))
        throw XException(XException::kBadArgument, "The image is too wide to draw.");
}

} // namespace

XGC::XGC(XBGRA32Volume& inOutVolume, int32_t inPlane)
{
    CheckPlane(inOutVolume, inPlane, "drawn on");
    InitialiseSurface(inOutVolume.GetLayerPtr(inPlane), inOutVolume.GetWidth(), inOutVolume.GetHeight(),
        int(inOutVolume.GetRowBytes()), XPixelLayout::kBGRA32);
}

XGC::XGC(XARGB32Volume& inOutVolume, int32_t inPlane)
{
    CheckPlane(inOutVolume, inPlane, "drawn on");
    InitialiseSurface(inOutVolume.GetLayerPtr(inPlane), inOutVolume.GetWidth(), inOutVolume.GetHeight(),
        int(inOutVolume.GetRowBytes()), XPixelLayout::kARGB32);
}

void XGC::DrawImage(const XVolume& inImage, const XRectF& inDest, double inOpacity, int32_t inPlane)
{
    CheckPlane(inImage, inPlane, "drawn");
    const int w = inImage.GetWidth(), h = inImage.GetHeight(), stride = int(inImage.GetRowBytes());
    switch (inImage.GetVoxelType()) {
    case XVoxelType::kBGRA32:
        DrawImage(inImage.GetLayerPtr(inPlane), w, h, stride, XPixelLayout::kBGRA32, inDest, inOpacity);
        return;
    case XVoxelType::kARGB32:
        DrawImage(inImage.GetLayerPtr(inPlane), w, h, stride, XPixelLayout::kARGB32, inDest, inOpacity);
        return;
    case XVoxelType::kGrey8:
        DrawImage(inImage.GetLayerPtr(inPlane), w, h, stride, XPixelLayout::kGrey8, inDest, inOpacity);
        return;
    default: {
        // Deeper and float layouts go through the volume's own display conversion.
        std::unique_ptr<XVolume> plane = inImage.CopyXYPlane(inImage.GetBounds().GetFront() + inPlane);
        XBGRA32Volume colour;
        plane->CopyOutToBGRA32Volume(colour);
        DrawImage(colour.GetLayerPtr(0), w, h, int(colour.GetRowBytes()), XPixelLayout::kBGRA32, inDest, inOpacity);
        return;
    }
    }
}

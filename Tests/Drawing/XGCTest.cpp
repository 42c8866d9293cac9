#include "XARGB32Volume.h"
#include "XBGRA32Volume.h"
#include "XException.h"
#include "XGC.h"
#include "XGrey16Volume.h"
#include "XErrorCode.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

// A plane of premultiplied native pixels, as a window surface holds it.
struct Canvas {
    int width, height;
    std::vector<uint32_t> pixels;
    Canvas(int w, int h, uint32_t fill = 0xFFFFFFFFu) : width(w), height(h), pixels(size_t(w) * size_t(h), fill) {}
    uint32_t At(int x, int y) const { return pixels[size_t(y) * size_t(width) + size_t(x)]; }
    XGC MakeGC() { return XGC(pixels.data(), width, height, width * 4); }
};

// A white canvas after inDraw; the context is gone, so everything drawn is in the pixels.
template <class F>
Canvas Drawn(int inWidth, int inHeight, F&& inDraw)
{
    Canvas c(inWidth, inHeight);
    {
        XGC gc = c.MakeGC();
        inDraw(gc);
    }
    return c;
}

constexpr uint32_t kWhite = 0xFFFFFFFFu;
constexpr uint32_t kRed = 0xFFFF0000u;
constexpr uint32_t kBlue = 0xFF0000FFu;

using R = XRectF;

// Every pixel inside [x0, x1) x [y0, y1) has inInside, every other one inOutside.
::testing::AssertionResult RegionIs(const Canvas& c, int x0, int y0, int x1, int y1, uint32_t inInside, uint32_t inOutside)
{
    for (int y = 0; y < c.height; ++y)
        for (int x = 0; x < c.width; ++x) {
            bool in = x >= x0 && x < x1 && y >= y0 && y < y1;
            uint32_t want = in ? inInside : inOutside;
            if (c.At(x, y) != want)
                return ::testing::AssertionFailure() << "pixel (" << x << ", " << y << ") is " << std::hex << c.At(x, y)
                                                     << ", expected " << want;
        }
    return ::testing::AssertionSuccess();
}

struct XProbe {
    int x, y;
    uint32_t colour;
};

// Each probed pixel has its colour.
::testing::AssertionResult PixelsAre(const Canvas& c, std::initializer_list<XProbe> inProbes)
{
    for (const XProbe& p : inProbes)
        if (c.At(p.x, p.y) != p.colour)
            return ::testing::AssertionFailure() << "pixel (" << p.x << ", " << p.y << ") is " << std::hex << c.At(p.x, p.y)
                                                 << ", expected " << p.colour;
    return ::testing::AssertionSuccess();
}

// The bounding box of pixels that differ from the background (left, top, right, bottom inclusive).
struct Ink {
    int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;
    bool Any() const { return right >= 0; }
};
Ink FindInk(const Canvas& c, uint32_t inBackground)
{
    Ink ink;
    for (int y = 0; y < c.height; ++y)
        for (int x = 0; x < c.width; ++x)
            if (c.At(x, y) != inBackground) {
                ink.left = std::min(ink.left, x), ink.right = std::max(ink.right, x);
                ink.top = std::min(ink.top, y), ink.bottom = std::max(ink.bottom, y);
            }
    return ink;
}

} // namespace

TEST(XGC, FillsAndFramesLandOnExactPixels)
{
    for (auto mode : {XGC::kAntiAliasOn, XGC::kAntiAliasOff}) {
        const Canvas c = Drawn(20, 20, [&](XGC& gc) {
            gc.SetAntiAliasMode(mode);
            gc.SetFillColour(XARGB32Colour::kRed);
            gc.FillRect(R(3, 4, 8, 10));
        });
        EXPECT_TRUE(RegionIs(c, 3, 4, 8, 10, kRed, kWhite)) << "antialias " << mode;
    }

    // A frame of width 1 is the outermost ring of the rectangle; the inside is untouched.
    const Canvas f = Drawn(12, 12, [&](XGC& gc) {
        gc.SetStrokeColour(XARGB32Colour::kBlue);
        gc.FrameRect(R(2, 2, 8, 8));
    });
    EXPECT_TRUE(PixelsAre(f, {{2, 2, kBlue}, {7, 7, kBlue}, {4, 2, kBlue}, {7, 5, kBlue},
                              {3, 3, kWhite}, {6, 6, kWhite}, {8, 8, kWhite}, {1, 1, kWhite}}));

    // DrawRect fills with the fill colour and borders with the stroke colour.
    const Canvas d = Drawn(10, 10, [&](XGC& gc) {
        gc.SetFillColour(XARGB32Colour::kRed);
        gc.SetStrokeColour(XARGB32Colour::kBlue);
        gc.SetStrokeWidth(2);
        gc.DrawRect(R(0, 0, 10, 10));
    });
    EXPECT_TRUE(PixelsAre(d, {{0, 0, kBlue}, {1, 5, kBlue}, {2, 2, kRed}, {7, 7, kRed}, {8, 9, kBlue}}));
}

TEST(XGC, LinesCoverTheirEndPixelsCrisply)
{
    const Canvas c = Drawn(12, 12, [&](XGC& gc) {
        gc.SetStrokeColour(XARGB32Colour::kRed);
        gc.DrawLine(2, 5, 8, 5);
    });
    EXPECT_TRUE(RegionIs(c, 2, 5, 9, 6, kRed, kWhite));

    const Canvas v = Drawn(12, 12, [&](XGC& gc) {
        gc.SetStrokeColour(XARGB32Colour::kBlue);
        gc.SetStrokeWidth(3);
        gc.DrawLine(6, 9, 6, 3); // drawn upwards, three pixels wide
    });
    EXPECT_TRUE(RegionIs(v, 5, 2, 8, 11, kBlue, kWhite));

    // Without antialiasing a diagonal has only the two colours.
    const Canvas a = Drawn(16, 16, [&](XGC& gc) {
        gc.SetAntiAliasMode(XGC::kAntiAliasOff);
        gc.SetStrokeColour(XARGB32Colour::kBlack);
        gc.DrawLine(1, 2, 14, 11);
    });
    int dark = 0;
    for (uint32_t p : a.pixels) {
        EXPECT_TRUE(p == kWhite || p == 0xFF000000u) << std::hex << p;
        dark += p != kWhite;
    }
    EXPECT_GE(dark, 13);
}

TEST(XGC, DashedPensLeaveGaps)
{
    // Dashes of three pixels and dots of one, each followed by a gap of one, from the first pixel.
    struct XCase {
        XGC::XPenStyle style;
        int period;
    };
    for (const XCase& pen : {XCase{XGC::kPenDash, 4}, XCase{XGC::kPenDot, 2}}) {
        const Canvas c = Drawn(24, 3, [&](XGC& gc) {
            gc.SetStrokeColour(XARGB32Colour::kBlack);
            gc.SetPenStyle(pen.style);
            gc.DrawLine(0, 1, 23, 1);
        });
        for (int x = 0; x < 24; ++x)
            EXPECT_EQ(c.At(x, 1), x % pen.period == pen.period - 1 ? kWhite : 0xFF000000u)
                << "pen " << pen.style << ", x = " << x;
    }
}

TEST(XGC, ColourChannelsKeepTheirPlaceInEveryLayout)
{
    using L = XGC::XPixelLayout;
    const XARGB32Colour colour(255, 10, 20, 30);
    const struct {
        const char* what;
        L layout;
        int width;
        std::vector<uint8_t> bytes; // before drawing
        XARGB32Colour fill;
        R rect;
        size_t pixel;
        std::vector<uint8_t> expected;
        int tolerance;
    } cases[] = {
        {"BGRA", L::kBGRA32, 4, std::vector<uint8_t>(64), colour, R(0, 0, 4, 4), 0, {30, 20, 10, 255}, 0},
        {"ARGB", L::kARGB32, 4, std::vector<uint8_t>(64), colour, R(1, 1, 2, 2), 5, {255, 10, 20, 30}, 0},
        {"ARGB, untouched", L::kARGB32, 4, std::vector<uint8_t>(64), colour, R(1, 1, 2, 2), 0, {0, 0, 0, 0}, 0},
        // Half-transparent red on transparent memory is stored as red with alpha 128, not premultiplied dark red.
        {"straight alpha", L::kBGRA32, 2, std::vector<uint8_t>(16), XARGB32Colour(128, 255, 0, 0), R(0, 0, 2, 2), 0,
         {0, 0, 255, 128}, 0},
        // Existing straight-alpha content survives a context that draws elsewhere.
        {"kept", L::kBGRA32, 2, {10, 20, 200, 64, 0, 0, 0, 0}, XARGB32Colour::kGreen, R(1, 0, 2, 1), 0, {10, 20, 200, 64}, 2},
        {"kept, beside", L::kBGRA32, 2, {10, 20, 200, 64, 0, 0, 0, 0}, XARGB32Colour::kGreen, R(1, 0, 2, 1), 1,
         {0, 255, 0, 255}, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<uint8_t> bytes = c.bytes;
        {
            XGC gc(bytes.data(), c.width, int(bytes.size()) / 4 / c.width, 4 * c.width, c.layout);
            gc.SetFillColour(c.fill);
            gc.FillRect(c.rect);
        }
        for (size_t i = 0; i < 4; ++i)
            EXPECT_NEAR(bytes[4 * c.pixel + i], c.expected[i], c.tolerance) << "byte " << i;
    }
    const Canvas native = Drawn(2, 2, [&](XGC& gc) {
        gc.SetFillColour(colour);
        gc.FillRect(R(0, 0, 1, 1));
    });
    EXPECT_EQ(native.At(0, 0), colour.GetPacked());
}

TEST(XGC, DrawImageScalesAndBlendsWithOpacity)
{
    // A 2 x 2 image, bytes B, G, R, A: red, green / blue, black.
    const uint8_t image[16] = {0, 0, 255, 255, 0, 255, 0, 255, 255, 0, 0, 255, 0, 0, 0, 255};

    const Canvas c = Drawn(10, 10, [&](XGC& gc) {
        gc.SetSmoothImages(false);
        gc.DrawImage(image, 2, 2, 8, XGC::XPixelLayout::kBGRA32, R(1, 1, 9, 9));
    });
    EXPECT_TRUE(PixelsAre(c, {{1, 1, kRed}, {4, 4, kRed}, {5, 1, 0xFF00FF00u}, {8, 4, 0xFF00FF00u},
                              {1, 5, kBlue}, {8, 8, 0xFF000000u}, {0, 0, kWhite}, {9, 9, kWhite}}));

    // Black at half opacity over white is mid grey (Cairo rounds within one step).
    Canvas half(4, 4);
    const uint8_t grey[4] = {0, 0, 0, 0};
    {
        XGC gc = half.MakeGC();
        gc.DrawImage(grey, 2, 2, 2, XGC::XPixelLayout::kGrey8, R(0, 0, 4, 4), 0.5);
    }
    for (uint32_t p : half.pixels) {
        EXPECT_EQ(p >> 24, 0xFFu);
        EXPECT_NEAR(int((p >> 16) & 0xFF), 128, 1);
        EXPECT_NEAR(int((p >> 8) & 0xFF), 128, 1);
        EXPECT_NEAR(int(p & 0xFF), 128, 1);
    }

    // Opacity 0 draws nothing; a bad image size is refused before reading.
    Canvas none(4, 4);
    XGC gc = none.MakeGC();
    gc.DrawImage(grey, 2, 2, 2, XGC::XPixelLayout::kGrey8, R(0, 0, 4, 4), 0.0);
    gc.Flush();
    EXPECT_TRUE(RegionIs(none, 0, 0, 0, 0, kWhite, kWhite));
    EXPECT_THROW(gc.DrawImage(grey, 2, 2, 1, XGC::XPixelLayout::kGrey8, R(0, 0, 4, 4)), XException);
    EXPECT_THROW(gc.DrawImage(grey, 0, 2, 2, XGC::XPixelLayout::kGrey8, R(0, 0, 4, 4)), XException);
}

// Opaque rows take a copy path and translucent rows the blending one; each must draw as
// straight alpha over white says, whatever mix of rows the image has.
TEST(XGC, DrawImageBlendsOpaqueAndTranslucentRowsAlike)
{
    // Bytes B, G, R, A per pixel, three a row.
    const std::vector<uint8_t> opaqueRow = {0, 0, 255, 255, 0, 255, 0, 255, 255, 0, 0, 255};
    const std::vector<uint8_t> translucentRow = {0, 0, 0, 255, 200, 100, 50, 128, 0, 0, 255, 0};
    struct XCase {
        const char* name;
        std::vector<std::vector<uint8_t>> rows;
        double opacity;
    };
    const XCase cases[] = {
        {"opaque", {opaqueRow, opaqueRow}, 1.0},
        {"opaque at half opacity", {opaqueRow, opaqueRow}, 0.5},
        {"mixed rows", {opaqueRow, translucentRow}, 1.0},
        {"mixed rows at half opacity", {translucentRow, opaqueRow}, 0.5},
    };
    for (const XCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<uint8_t> image;
        for (const auto& row : c.rows)
            image.insert(image.end(), row.begin(), row.end());
        const int height = int(c.rows.size());
        const Canvas drawn = Drawn(3, height, [&](XGC& gc) {
            gc.DrawImage(image.data(), 3, height, 12, XGC::XPixelLayout::kBGRA32, R(0, 0, 3, height), c.opacity);
        });
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < 3; ++x) {
                const uint8_t* p = &image[size_t(y * 12 + x * 4)];
                const double a = p[3] / 255.0 * c.opacity;
                const uint32_t got = drawn.At(x, y);
                for (int channel = 0; channel < 3; ++channel) // blue, green, red
                    EXPECT_NEAR(int((got >> (8 * channel)) & 0xFF), p[channel] * a + 255.0 * (1.0 - a), 1.5)
                        << "pixel " << x << ", " << y << " channel " << channel;
                EXPECT_EQ(got >> 24, 0xFFu);
            }
    }
}

TEST(XGC, TextIsDrawnWhereItIsMeasured)
{
    for (unsigned align : {XGC::kAlignLeft | XGC::kAlignTop, XGC::kAlignRight | XGC::kAlignBottom,
             XGC::kAlignCentre | XGC::kAlignMiddle, XGC::kAlignLeft | XGC::kAlignBaseline}) {
        SCOPED_TRACE(testing::Message() << "align " << align);
        Canvas c(240, 80);
        XGC gc = c.MakeGC();
        gc.SetFont(XGCFont("DejaVu Sans", 20));
        gc.SetFillColour(XARGB32Colour::kBlack);
        XGC::XTextSize size = gc.MeasureText("Kestrin 3D");
        ASSERT_GT(size.width, 40.0);
        ASSERT_GT(size.height, 15.0);
        XRectF box = gc.GetTextBounds("Kestrin 3D", 120, 40, align);
        EXPECT_DOUBLE_EQ(box.GetWidth(), size.width);
        gc.DrawTextA("Kestrin 3D", 120, 40, align);
        gc.Flush();
        Ink ink = FindInk(c, kWhite);
        ASSERT_TRUE(ink.Any());
        // The ink lies inside the measured box (a pixel of slack for antialiased edges)
        // and fills most of its width.
        EXPECT_GE(ink.left, int(box.left) - 1);
        EXPECT_LE(ink.right, int(box.GetRight()) + 1);
        EXPECT_GE(ink.top, int(box.top) - 1);
        EXPECT_LE(ink.bottom, int(box.GetBottom()) + 1);
        EXPECT_GT(ink.right - ink.left, int(size.width * 0.8));
    }

    // Bigger and bolder fonts measure wider; an empty text has no width but a line height.
    Canvas c(8, 8);
    XGC gc = c.MakeGC();
    double plain = gc.MeasureText("Scale").width;
    gc.SetFont(XGCFont("DejaVu Sans", 24, true));
    EXPECT_GT(gc.MeasureText("Scale").width, plain * 1.5);
    EXPECT_EQ(gc.MeasureText("").width, 0.0);
    EXPECT_GT(gc.MeasureText("").height, 20.0);
    // Broken UTF-8 is drawn with replacement marks instead of breaking the context.
    gc.DrawTextA(XString(std::string("ab\xFF\xFE")), 0, 0);
    EXPECT_GT(gc.MeasureText(XString(std::string("\xC3"))).width, 0.0);
}

TEST(XGC, TruncationFitsTheWidthWithAnEllipsis)
{
    Canvas c(8, 8);
    XGC gc = c.MakeGC();
    const XString text("Channel 1 - Fluorescein isothiocyanate");
    const double full = gc.MeasureText(text).width;
    EXPECT_EQ(gc.TruncateTextWithEllipsis(text, full + 1), text);

    const double width = full / 2;
    XString cut = gc.TruncateTextWithEllipsis(text, width);
    ASSERT_TRUE(cut.EndsWith("…"));
    EXPECT_LE(gc.MeasureText(cut).width, width);
    XString head = cut.Mid(0, cut.GetLength() - XString("…").GetLength());
    EXPECT_TRUE(text.StartsWith(head));
    // One more character would not have fitted.
    XString longer = text.Mid(0, head.GetLength() + 1) + "…";
    EXPECT_GT(gc.MeasureText(longer).width, width);

    // Multi-byte characters are never split.
    XString micro = gc.TruncateTextWithEllipsis("µµµµµµµµµµµµµµµµ", gc.MeasureText("µµµµ").width);
    EXPECT_TRUE(micro.IsValidUTF8());
    EXPECT_TRUE(micro.EndsWith("…"));
    EXPECT_EQ(gc.TruncateTextWithEllipsis(text, 1.0), "");
}

TEST(XGC, TransformClipAndSaveRestore)
{
    const Canvas c = Drawn(12, 12, [&](XGC& gc) {
        gc.SetFillColour(XARGB32Colour::kRed);
        gc.Save();
        gc.SetTransform(XGC::XAffine::Translation(5, 6) * XGC::XAffine::Scaling(2, 2));
        gc.SetFillColour(XARGB32Colour::kBlue);
        gc.FillRect(R(0, 0, 1, 2)); // pixels 5..6 x 6..9
        gc.Restore();
        EXPECT_EQ(gc.GetFillColour(), XARGB32Colour::kRed);
        EXPECT_DOUBLE_EQ(gc.GetTransform().x0, 0.0);
        gc.FillRect(R(0, 0, 1, 1));
        EXPECT_THROW(gc.SetTransform(XGC::XAffine::Scaling(0, 1)), XException);
        gc.Restore(); // unbalanced: ignored
    });
    EXPECT_TRUE(PixelsAre(c, {{0, 0, kRed}, {5, 6, kBlue}, {6, 9, kBlue}, {7, 9, kWhite}, {5, 10, kWhite}, {4, 6, kWhite}}));

    // A clip keeps drawing inside it until the state is restored.
    const Canvas k = Drawn(10, 10, [&](XGC& gc) {
        gc.SetFillColour(XARGB32Colour::kBlue);
        gc.Save();
        gc.ClipToRect(R(2, 3, 6, 5));
        gc.FillRect(R(0, 0, 10, 10));
        gc.Restore();
    });
    EXPECT_TRUE(RegionIs(k, 2, 3, 6, 5, kBlue, kWhite));
}

TEST(XGC, PathsRoundedRectsAndClearing)
{
    const Canvas c = Drawn(20, 20, [&](XGC& gc) {
        gc.Clear(XARGB32Colour(255, 0, 0, 0));
        gc.SetFillColour(XARGB32Colour::kRed);
        gc.DrawPath({{2, 2}, {18, 2}, {2, 18}}, true, XGC::kPathFill);
        gc.SetStrokeColour(XARGB32Colour::kBlue);
        gc.DrawPath({{10, 17}, {17, 17}, {17, 10}}, false, XGC::kPathStroke);
    });
    EXPECT_TRUE(PixelsAre(c, {{5, 5, kRed}, {15, 15, 0xFF000000u}, {10, 17, kBlue}, {17, 17, kBlue}, {17, 10, kBlue},
                              {16, 16, 0xFF000000u}, {17, 9, 0xFF000000u}}));

    const Canvas r = Drawn(20, 20, [&](XGC& gc) {
        gc.SetFillColour(XARGB32Colour::kBlue);
        gc.FillRoundedRect(R(0, 0, 20, 20), 6);
    });
    EXPECT_TRUE(PixelsAre(r, {{0, 0, kWhite}, {19, 19, kWhite}, {10, 0, kBlue}, {10, 10, kBlue}, {0, 10, kBlue}}));

    // Clear replaces pixels rather than blending, even through a clip.
    Canvas t(4, 4);
    {
        XGC gc(t.pixels.data(), 4, 4, 16);
        gc.ClipToRect(R(0, 0, 1, 1));
        gc.Clear(XARGB32Colour(0, 0, 0, 0));
    }
    EXPECT_TRUE(RegionIs(t, 0, 0, 0, 0, 0u, 0u));
}

TEST(XGC, RefusesSurfacesItCannotDrawOn)
{
    std::vector<uint32_t> pixels(16);
    EXPECT_EQ(CodeOf([&] { XGC gc(pixels.data(), 0, 4, 16); }), XException::kBadArgument);
    EXPECT_EQ(CodeOf([&] { XGC gc(pixels.data(), 4, 4, 12); }), XException::kBadArgument);
    EXPECT_EQ(CodeOf([&] { XGC gc(nullptr, 4, 4, 16); }), XException::kBadArgument);
    EXPECT_EQ(CodeOf([&] { XGC gc(pixels.data(), 40000, 1, 160000); }), XException::kBadArgument);
    EXPECT_EQ(CodeOf([&] { XGC gc(pixels.data(), 4, 4, 16, XGC::XPixelLayout::kGrey8); }), XException::kBadArgument);
}

TEST(XGC, DrawsOnVolumePlanesInTheirOwnByteOrder)
{
    // Plane 1 of a two-plane ARGB volume; plane 0 must stay untouched.
    XARGB32Volume argb(6, 4, 2);
    argb.Fill(XARGB32Colour::kWhite);
    {
        XGC gc(argb, 1);
        gc.SetFillColour(XARGB32Colour(255, 1, 2, 3));
        gc.FillRect(XRect(2, 1, 4, 3));
    }
    EXPECT_EQ(argb.GetVoxel(2, 1, 1), XARGB32Colour(255, 1, 2, 3));
    EXPECT_EQ(argb.GetVoxel(3, 2, 1), XARGB32Colour(255, 1, 2, 3));
    EXPECT_EQ(argb.GetVoxel(4, 2, 1), XARGB32Colour::kWhite);
    EXPECT_EQ(argb.GetVoxel(2, 1, 0), XARGB32Colour::kWhite);

    XBGRA32Volume bgra(4, 4, 1);
    {
        XGC gc(bgra);
        gc.Clear(XARGB32Colour::kBlack);
        gc.SetStrokeColour(XARGB32Colour(255, 200, 100, 50));
        gc.DrawLine(0, 3, 3, 3);
    }
    EXPECT_EQ(bgra.GetVoxel(1, 3).ToARGB32(), XARGB32Colour(255, 200, 100, 50));
    EXPECT_EQ(bgra.GetVoxel(1, 2).ToARGB32(), XARGB32Colour::kBlack);

    EXPECT_THROW(XGC(bgra, 1), XException);
    XBGRA32Volume empty;
    EXPECT_THROW(XGC gc(empty), XException);

    // A 16-bit image shows through the volume's display conversion (0..65535 to 0..255).
    XGrey16Volume grey(2, 1, 1);
    grey.SetVoxel(0, 0, uint16_t(65535));
    grey.SetVoxel(1, 0, uint16_t(0));
    XBGRA32Volume target(4, 2, 1);
    {
        XGC gc(target);
        gc.SetSmoothImages(false);
        gc.DrawImage(grey, XRect(0, 0, 4, 2));
        EXPECT_THROW(gc.DrawImage(grey, XRect(0, 0, 4, 2), 1.0, 1), XException);
    }
    EXPECT_EQ(target.GetVoxel(1, 1).ToARGB32(), XARGB32Colour::kWhite);
    EXPECT_EQ(target.GetVoxel(2, 0).ToARGB32(), XARGB32Colour::kBlack);
}

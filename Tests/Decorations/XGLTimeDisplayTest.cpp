// The time stamp: seven-segment glyphs in the window's top-left corner.
#include "DecorationTestSupport.h"
#include "XGLTimeDisplay.h"

#include <gtest/gtest.h>

using namespace DecorationTest;

TEST(XGLTimeDisplay, DigitsHaveTheirSegmentsAndDifferentTimesLightDifferentOnes)
{
    // Every digit differs from every other.
    for (char a = '0'; a <= '9'; ++a)
        for (char b = char(a + 1); b <= '9'; ++b)
            EXPECT_NE(XGLTimeDisplay::GetSegments(a), XGLTimeDisplay::GetSegments(b)) << a << b;
    WGLWnd window(240, 80);
    XGLTimeDisplay display;
    display.SetColour(XARGB32Colour(255, 0, 255, 128));
    display.SetTime(XTime(12.5));
    EXPECT_EQ(display.GetText(), "0:00:12.500");
    std::unique_ptr<XVolume> early = Picture(window, display);
    SavePNG(*early, "time-display-0-00-12.500");
    display.SetTime(XTime(3723.25)); // "1:02:03.250"
    std::unique_ptr<XVolume> later = Picture(window, display);
    SavePNG(*later, "time-display-1-02-03.250");

    // The first glyph's top bar (segment a) is lit for "0" and dark for "1"; its
    // right-hand bars (b, c) are lit for both.
    const XARGB32Colour colour(255, 0, 255, 128);
    const int ax = int(XGLTimeDisplay::kMargin + XGLTimeDisplay::kDigitWidth / 2);
    const int ay = int(XGLTimeDisplay::kMargin + 1);
    EXPECT_EQ(PixelAt(*early, ax, ay), colour);
    EXPECT_TRUE(IsBackground(PixelAt(*later, ax, ay)));
    const int bx = int(XGLTimeDisplay::kMargin + XGLTimeDisplay::kDigitWidth - 1);
    const int by = int(XGLTimeDisplay::kMargin + XGLTimeDisplay::kDigitHeight / 4);
    EXPECT_EQ(PixelAt(*early, bx, by), colour);
    EXPECT_EQ(PixelAt(*later, bx, by), colour);

    // Only the time stamp's colour, only in the corner.
    int differing = 0;
    for (int y = 0; y < 80; ++y)
        for (int x = 0; x < 240; ++x) {
            const XARGB32Colour p = PixelAt(*later, x, y);
            if (!IsBackground(p)) {
                EXPECT_EQ(p, colour) << x << "," << y;
                EXPECT_LT(y, XGLTimeDisplay::kMargin + XGLTimeDisplay::kDigitHeight + 1);
            }
            differing += !(PixelAt(*early, x, y) == p);
        }
    EXPECT_GT(differing, 100);
}

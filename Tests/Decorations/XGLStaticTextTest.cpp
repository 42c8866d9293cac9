// Static text: its glyphs appear at the anchor, tinted, aligned and offset.
#include "DecorationTestSupport.h"
#include "XGLDisableAttachment.h"
#include "XGLStaticText.h"
#include "XGLStaticTextAlignAttachment.h"

#include <gtest/gtest.h>

using namespace DecorationTest;

namespace {
// The ink's spread; onlyRed when no pixel has green or blue.
struct XInk : TestPicture::XSpread {
    bool onlyRed = true;
};

// 200 × 200 orthographic: scene x maps to column 100 + 100·x, scene y to row 100 + 100·y.
class XGLStaticTextPictureTest : public ::testing::Test {
protected:
    XGLStaticTextPictureTest() : itsWindow(200, 200) { itsWindow.SetProjectionMode(XGLContext::kOrthographic); }
    XInk Draw(XGLStaticText& inText, const char* inImage)
    {
        std::unique_ptr<XVolume> picture = Picture(itsWindow, inText);
        SavePNG(*picture, inImage);
        XInk ink;
        static_cast<TestPicture::XSpread&>(ink) = TestPicture::SpreadOf(*picture, [](const XARGB32Colour& p) { return !IsBackground(p); });
        ink.onlyRed = TestPicture::SpreadOf(*picture, [](const XARGB32Colour& p) { return p.green || p.blue; }).count == 0;
        return ink;
    }
    WGLWnd itsWindow;
};
} // namespace

TEST_F(XGLStaticTextPictureTest, GlyphsAppearAtTheAnchorInTheTextColourAlignedAndLifted)
{
    XGLStaticText text(12.0, 1, 0);
    text.SetText("Kestrin 3D");
    text.SetColour(XARGB32Colour::kRed);
    text.SetAlignment(XGLStaticText::kAlignLeft, 0);
    text.SetPosition(-0.5, 0.5, 0.0); // column 50, row 150
    const XARGB32Volume* image = text.GetTextImage();
    ASSERT_NE(image, nullptr);
    const XInk ink = Draw(text, "static-text-left");
    ASSERT_GT(ink.count, 50) << "no text was drawn";
    EXPECT_TRUE(ink.onlyRed) << "the glyphs are not in the text's colour";
    // Left end at the anchor, the line's middle on the anchor's row.
    EXPECT_NEAR(ink.left, 50, 3);
    EXPECT_LE(ink.right, 50 + image->GetWidth());
    EXPECT_GT(ink.right, 50 + image->GetWidth() / 2);
    EXPECT_NEAR((ink.top + ink.bottom) / 2.0, 150.0, 4.0);
    EXPECT_GE(ink.top, 150 - image->GetHeight() / 2 - 1);
    EXPECT_LE(ink.bottom, 150 + image->GetHeight() / 2 + 1);

    // The align attachment centres the text on the anchor and lifts it.
    text.SetText("1 Unit = 12.5 µm");
    text.SetPosition(-0.9, 0.0, 0.0); // left end at column 10, so that all of it shows
    const XInk plain = Draw(text, "static-text-plain");
    EXPECT_NEAR(plain.left, 10, 3);
    text.SetPosition(0.0, 0.0, 0.0);
    text.AddAttachment(new XGLStaticTextAlignAttachment(1, -10));
    text.AddAttachment(new XGLDisableAttachment(GL_LIGHTING));
    const XInk aligned = Draw(text, "static-text-centred");
    ASSERT_GT(aligned.count, 50);
    EXPECT_NEAR((aligned.left + aligned.right) / 2.0, 100.0, 3.0) << "not centred on the anchor";
    EXPECT_EQ(aligned.bottom, plain.bottom - 10) << "not lifted by ten pixels";
    EXPECT_EQ(aligned.right - aligned.left, plain.right - plain.left);
}

TEST_F(XGLStaticTextPictureTest, EmptyTextAndAnchorsBehindTheEyeDrawNothing)
{
    XGLStaticText text;
    EXPECT_EQ(text.GetTextImage(), nullptr);
    EXPECT_EQ(Draw(text, "static-text-empty").count, 0);
    text.SetText("hidden");
    text.SetPosition(0.0, 0.0, 100.0); // beyond the far plane
    EXPECT_EQ(Draw(text, "static-text-clipped").count, 0);
    text.SetPosition(0.0, 0.0, 0.0);
    EXPECT_GT(Draw(text, "static-text-shown").count, 0);
}

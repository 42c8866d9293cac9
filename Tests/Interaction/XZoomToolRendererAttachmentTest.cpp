// The zoom tool's steps and bands, and the tool on a real image pane fed timed input.
#include "XBGRA32Volume.h"
#include "XHintAlert.h"
#include "XImagePane.h"
#include "XZoomToolRendererAttachment.h"

#include <gtest/gtest.h>

#include <memory>

using Zoom = XZoomToolRendererAttachment;

TEST(XZoomToolRendererAttachment, NextScalesInAndOut)
{
    struct Case {
        double scale, in, out;
    };
    const Case cases[] = {
        {0.5, 1.0, 0.25},     {0.25, 0.5, 0.125},  {1.0, 2.0, 0.5},   {2.0, 4.0, 1.0},
        {3.0, 4.0, 2.0},      {4.0, 8.0, 2.0},     {64.0, 128.0, 32.0}, {1.0 / 64, 1.0 / 32, 1.0 / 128},
        {1.0005, 2.0, 1.0}, // just above 1 the step out is 1, not a power of log2(0)
        {0.3, 0.5, 0.25},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.scale);
        EXPECT_DOUBLE_EQ(Zoom::GetNextZoomInScale(c.scale), c.in);
        EXPECT_DOUBLE_EQ(Zoom::GetNextZoomOutScale(c.scale), c.out);
    }
    EXPECT_FALSE(Zoom::IsValidZoomScale(128.0));
    EXPECT_FALSE(Zoom::IsValidZoomScale(1.0 / 128));
    EXPECT_TRUE(Zoom::IsValidZoomScale(1.0 / 64));
}

TEST(XZoomToolRendererAttachment, BandScalesRoundToEvenAboveOne)
{
    struct Case {
        XRect band;
        double scale, expected;
    };
    const Case cases[] = {
        {XRect(0, 0, 100, 100), 1.0, 2.0}, // 200 x 260 pane: min(2, 2.6)
        {XRect(0, 0, 100, 100), 1.3, 2.0}, // 2.6 rounds to 2
        {XRect(0, 0, 100, 130), 0.35, 0.7}, // below 1 kept
        {XRect(0, 0, 100, 100), 0.75, 2.0}, // 1.5 rounds up
        {XRect(0, 0, 10, 10), 1.0, 20.0},
    };
    for (const Case& c : cases)
        EXPECT_DOUBLE_EQ(Zoom::GetZoomScaleFromRect(c.band, c.scale, 200, 260), c.expected);
}

class XZoomToolPaneTest : public testing::Test {
protected:
    void SetUp() override
    {
        pane.SetImage(std::make_shared<XBGRA32Volume>(X3DRect(0, 0, 0, 200, 200, 1)));
        pane.SetZoomToFit(false);
        pane.SetScale(1.0);
        pane.AddCanvasAttachment(&tool);
    }
    void Click(const XPoint& inPoint, uint32_t inModifiers = 0)
    {
        pane.PostInput(XInputSample::Down(inPoint, inModifiers));
        pane.PostInput(XInputSample::Up(inPoint, inModifiers));
        pane.ProcessInput();
    }

    XImagePane pane{XRect(0, 0, 200, 200)};
    Zoom tool;
};

TEST_F(XZoomToolPaneTest, ClicksStepAndLimitsAlert)
{
    Click({100, 100});
    EXPECT_DOUBLE_EQ(pane.GetScale(), 2.0);
    Click({100, 100}, kModifierShift);
    Click({100, 100}, kModifierShift);
    EXPECT_DOUBLE_EQ(pane.GetScale(), 0.5);

    struct Case {
        double scale;
        uint32_t modifiers;
        uint32_t kind;
        const char* limit;
    };
    const Case cases[] = {
        {64.0, 0, XHintAlert::kHintAlertCannotEnlarge, "64x"},
        {1.0 / 64, kModifierShift, XHintAlert::kHintAlertCannotReduce, "1/64x"},
    };
    for (const Case& c : cases) {
        pane.SetScale(c.scale);
        const uint64_t shown = XHintAlert::GetShownCount();
        const XRect image = pane.CalcImageDestBounds();
        Click(XPoint((image.left + image.right) / 2, (image.top + image.bottom) / 2), c.modifiers);
        EXPECT_DOUBLE_EQ(pane.GetScale(), c.scale);
        EXPECT_EQ(XHintAlert::GetShownCount(), shown + 1);
        EXPECT_EQ(XHintAlert::GetLastShownAlert().GetKind(), c.kind);
        EXPECT_TRUE(XHintAlert::GetLastShownAlert().GetText().Contains(c.limit));
    }
}

TEST_F(XZoomToolPaneTest, BandZoomsAboutItsCentreAndIsDrawnWhileDragging)
{
    pane.PostInput(XInputSample::Down({50, 50}));
    pane.PostInput(XInputSample::Move({100, 100}, kButtonLeft));
    pane.PostInput(XInputSample::Move({150, 150}, kButtonLeft));
    pane.PostInput(XInputSample::Up({150, 150}));
    const uint64_t paints = pane.GetPaintCount();
    pane.ProcessInput();
    EXPECT_GT(pane.GetPaintCount(), paints); // the band was shown
    EXPECT_TRUE(tool.GetDragRect().IsEmpty());
    EXPECT_DOUBLE_EQ(pane.GetScale(), 2.0);
    // The band's centre stays where it was.
    EXPECT_EQ(pane.Translate2DTo3D({100, 100}), X3DPoint(100, 100, 0));

    // A band of no area is a click.
    pane.PostInput(XInputSample::Down({50, 50}));
    pane.PostInput(XInputSample::Move({50, 120}, kButtonLeft));
    pane.PostInput(XInputSample::Up({50, 120}));
    pane.ProcessInput();
    EXPECT_DOUBLE_EQ(pane.GetScale(), 4.0);
}

TEST_F(XZoomToolPaneTest, CursorsOverTheImageOnly)
{
    pane.SetScale(0.5); // the picture covers the middle 100 x 100
    struct Case {
        XPoint point;
        uint32_t flags;
        XEventResult result;
        uint32_t cursor;
    };
    const Case cases[] = {
        {{100, 100}, 0, kEventHandled, kCursorZoomIn},
        {{100, 100}, kModifierShift, kEventHandled, kCursorZoomOut},
        {{10, 10}, 0, kEventNotHandled, kCursorArrow},
    };
    for (const Case& c : cases) {
        pane.SetCursor(kCursorArrow);
        EXPECT_EQ(tool.HandleSetCursor(c.point, c.flags), c.result);
        EXPECT_EQ(pane.GetCursor(), c.cursor);
    }
}

#include "WCanvasWnd.h"
#include "WGLWnd.h"
#include "XBGRA32Volume.h"
#include "XCanvasAttachment.h"
#include "XGC.h"
#include "XPrivateXServer.h"
#include "XRendererPane.h"
#include "TestPicture.h"

#include <gtest/gtest.h>
// After the test framework, whose names Xlib's macros would clash with; Xlib's own
// type XPoint is renamed while its headers are read.
#define XPoint WXlibPoint
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#undef XPoint

#include <memory>
#include <vector>

namespace {
// Four coloured quadrants and a one-pixel diagonal, so that a shifted or scaled
// picture cannot match.
class XPatternAttachment : public XCanvasAttachment {
public:
    std::vector<XPoint> itsPresses;

    XEventResult DrawCanvas(XGC& inGC) override
    {
        const XRect b = GetCanvasPane()->GetCanvasBounds();
        const XARGB32Colour colours[4] = {XARGB32Colour(255, 255, 0, 0), XARGB32Colour(255, 0, 255, 0),
                                          XARGB32Colour(255, 0, 0, 255), XARGB32Colour(255, 250, 200, 20)};
        for (int i = 0; i < 4; ++i) {
            inGC.SetFillColour(colours[i]);
            const int32_t x = (i % 2) * b.GetWidth() / 2, y = (i / 2) * b.GetHeight() / 2;
            inGC.FillRect(XRect(x, y, x + b.GetWidth() / 2, y + b.GetHeight() / 2));
        }
        inGC.SetFillColour(XARGB32Colour::kWhite);
        for (int32_t i = 0; i < std::min(b.GetWidth(), b.GetHeight()); ++i)
            inGC.FillRect(XRect(i, i, i + 1, i + 1));
        return kEventHandled;
    }
    XEventResult HandleMouseEvent(XMouseEvent inEvent, const XPoint& inPoint, uint32_t) override
    {
        if (inEvent == kMouseDown)
            itsPresses.push_back(inPoint);
        return kEventHandled;
    }
};

class WCanvasWndOnDisplay : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!itsServer.IsRunning())
            GTEST_SKIP() << "No private X server: " << itsServer.GetError();
        itsDisplay = XOpenDisplay(itsServer.GetDisplayName().c_str());
        ASSERT_NE(itsDisplay, nullptr);
    }
    void TearDown() override
    {
        if (itsDisplay)
            XCloseDisplay(itsDisplay);
    }

    XPrivateXServer itsServer{640, 480};
    Display* itsDisplay = nullptr;
};
} // namespace

TEST(WCanvasWnd, WithoutADisplayItPaintsOffScreen)
{
    WCanvasWnd window(XRect(0, 0, 64, 48), "headless", "");
    XPatternAttachment pattern;
    window.AddCanvasAttachment(&pattern);
    EXPECT_FALSE(window.IsOnDisplay());
    EXPECT_EQ(window.GetNativeWindow(), 0u);
    EXPECT_TRUE(window.ProcessWindowEvents());
    EXPECT_EQ(window.GetPaintCount(), 1u);
    EXPECT_EQ(window.CopyImage()->GetVoxel(40, 5), XBGRA32Colour(0, 255, 0, 255));
    EXPECT_EQ(window.CaptureWindow(), nullptr);

    WCanvasWnd unreachable(XRect(0, 0, 8, 8), "unreachable", ":987654");
    EXPECT_FALSE(unreachable.IsOnDisplay());
    EXPECT_TRUE(unreachable.GetDisplayError().Contains(":987654"));

    // Code below the window system gets these windows through the canvas factory.
    WCanvasWnd::SetHeadlessByDefault(true);
    std::unique_ptr<XCanvasPaneBase> made(XRendererPane(XRect(0, 0, 30, 20)).MakeChildCanvas("child"));
    WCanvasWnd::SetHeadlessByDefault(false);
    auto* child = dynamic_cast<WCanvasWnd*>(made.get());
    ASSERT_NE(child, nullptr);
    EXPECT_FALSE(child->IsOnDisplay());
    EXPECT_EQ(child->GetPaneBounds(), XRect(0, 0, 30, 20));
}

TEST_F(WCanvasWndOnDisplay, TheWindowShowsThePaneAndPassesInputAndCloseOn)
{
    WCanvasWnd window(XRect(0, 0, 160, 120), "pixels", itsServer.GetDisplayName().c_str());
    ASSERT_TRUE(window.IsOnDisplay()) << window.GetDisplayError().GetCString();
    XPatternAttachment pattern;
    window.AddCanvasAttachment(&pattern);
    window.RedrawCanvas(true);
    const std::unique_ptr<XBGRA32Volume> shown = window.CaptureWindow();
    const std::unique_ptr<XBGRA32Volume> painted = window.CopyImage();
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(TestPicture::CountDifferences(*shown, *painted), 0);

    // A size change on the display reaches the pane, which paints and shows the new size.
    XResizeWindow(itsDisplay, Window(window.GetNativeWindow()), 100, 80);
    XSync(itsDisplay, False);
    for (int i = 0; i < 50 && window.GetWidth() != 100; ++i)
        window.ProcessWindowEvents(100);
    EXPECT_EQ(window.GetCanvasBounds(), XRect(0, 0, 100, 80));
    EXPECT_EQ(TestPicture::CountDifferences(*window.CaptureWindow(), *window.CopyImage()), 0);

    // With no window manager the window lies at the screen's origin.
    XTestFakeMotionEvent(itsDisplay, 0, 30, 40, CurrentTime);
    XTestFakeButtonEvent(itsDisplay, 1, True, CurrentTime);
    XTestFakeButtonEvent(itsDisplay, 1, False, CurrentTime);
    XSync(itsDisplay, False);
    for (int i = 0; i < 50 && pattern.itsPresses.empty(); ++i)
        window.ProcessWindowEvents(100);
    EXPECT_EQ(pattern.itsPresses, std::vector<XPoint>{XPoint(30, 40)});

    XEvent close{};
    close.xclient.type = ClientMessage;
    close.xclient.window = Window(window.GetNativeWindow());
    close.xclient.message_type = XInternAtom(itsDisplay, "WM_PROTOCOLS", False);
    close.xclient.format = 32;
    close.xclient.data.l[0] = long(XInternAtom(itsDisplay, "WM_DELETE_WINDOW", False));
    XSendEvent(itsDisplay, close.xclient.window, False, NoEventMask, &close);
    XSync(itsDisplay, False);
    bool open = true;
    for (int i = 0; i < 50 && open; ++i)
        open = window.ProcessWindowEvents(100);
    EXPECT_FALSE(open);
    EXPECT_TRUE(window.IsCloseRequested());
}

TEST_F(WCanvasWndOnDisplay, GLWindowsOnOneDisplayOutliveEachOther)
{
    // EGL gives both windows one EGL display: the first to go must not end it for the other.
    Window native[2];
    for (Window& w : native) {
        w = XCreateSimpleWindow(itsDisplay, DefaultRootWindow(itsDisplay), 0, 0, 32, 24, 0, 0, 0);
        XMapWindow(itsDisplay, w);
    }
    XSync(itsDisplay, False);
    auto first = std::make_unique<WGLWnd>(32, 24, WRendererEnclosureWnd::XNativeWindow{itsDisplay, native[0]});
    WGLWnd second(32, 24, WRendererEnclosureWnd::XNativeWindow{itsDisplay, native[1]});
    ASSERT_TRUE(first->IsOnNativeWindow() && second.IsOnNativeWindow());
    first.reset();
    second.SetClearColor(XARGB32Colour(255, 0, 200, 0));
    std::unique_ptr<XVolume> picture;
    ASSERT_NO_THROW(picture.reset(second.RenderToVolume(XRect(0, 0, 32, 24))));
    EXPECT_EQ(TestPicture::PixelAt(*picture, 5, 5).green, 200);
    for (Window w : native)
        XDestroyWindow(itsDisplay, w);
}

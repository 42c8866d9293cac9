// The platform GL window: input to hooks, sizes, point mapping and screen bounds.
#include "GLTestScene.h"
#include "WGLWnd.h"
#include "WGLWndHook.h"
#include "XGLContextLock.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace {
class XRecordingHook : public WGLWndHook {
public:
    XRecordingHook(std::vector<std::string>& inLog, std::string inName, bool inConsume)
        : itsLog(inLog), itsName(std::move(inName)), itsConsume(inConsume) {}
    bool HandleMouseDown(WGLWnd&, const WGLEvent& e) override { return Note("down", e); }
    bool HandleMouseMove(WGLWnd&, const WGLEvent& e) override { return Note("move", e); }
    bool HandleMouseUp(WGLWnd&, const WGLEvent& e) override { return Note("up", e); }
    bool HandleKeyDown(WGLWnd&, const WGLEvent& e) override { return Note("key", e); }
    bool HandleSize(WGLWnd& w, const WGLEvent& e) override
    {
        itsSizeSeen = w.GetWidth();
        return Note("size", e);
    }
    int itsSizeSeen = 0;

private:
    bool Note(const char* inWhat, const WGLEvent& e)
    {
        itsLog.push_back(itsName + "." + inWhat + "(" + std::to_string(e.point.x) + "," + std::to_string(e.point.y) +
                         "," + std::to_string(e.buttons) + "," + std::to_string(e.modifiers) + ")");
        return itsConsume;
    }
    std::vector<std::string>& itsLog;
    std::string itsName;
    bool itsConsume;
};
} // namespace

TEST(WGLWnd, HooksReceiveSyntheticInputNewestFirstAndPointsMapToGL)
{
    struct XBoundsWindow : WGLWnd {
        using WGLWnd::WGLWnd;
        using WGLWnd::GetGlobalContextBounds;
    };
    XBoundsWindow window(40, 30);
    std::vector<std::string> log;
    XRecordingHook older(log, "older", false), newer(log, "newer", true);
    window.AddHook(&older);
    window.AddHook(&newer);
    WGLEvent down;
    down.kind = WGLEvent::kMouseDown;
    down.point = XPoint(5, 6);
    down.buttons = WGLEvent::kLeftButton;
    down.modifiers = WGLEvent::kShift;
    EXPECT_TRUE(window.HandleEvent(down));
    window.RemoveHook(&newer);
    WGLEvent move = down;
    move.kind = WGLEvent::kMouseMove;
    move.point = XPoint(7, 8);
    EXPECT_FALSE(window.HandleEvent(move)) << "no hook used it";
    const std::vector<std::string> expected = {"newer.down(5,6,1,1)", "older.move(7,8,1,1)"};
    EXPECT_EQ(log, expected);

    WGLEvent size;
    size.kind = WGLEvent::kSize;
    size.width = 64;
    size.height = 32;
    window.HandleEvent(size);
    EXPECT_EQ(older.itsSizeSeen, 64) << "hooks see the new size";
    EXPECT_EQ(window.GetViewportBounds(), XRect(0, 0, 64, 32));

    // Points map between the window's frame and GL's (rows from the bottom); the
    // bounds follow the window on the screen.
    EXPECT_EQ(window.LocalToGLPoint(XPoint(3, 0)), XPoint(3, 31));
    EXPECT_EQ(window.GLToLocalPoint(window.LocalToGLPoint(XPoint(11, 17))), XPoint(11, 17));
    window.SetScreenPosition(XPoint(100, 50));
    EXPECT_EQ(window.GetGlobalContextBounds(), XRect(100, 50, 164, 82));
}

TEST(WGLWnd, RefreshWithImmediateRedrawDrawsAtOnce)
{
    WGLWnd window(16, 16);
    window.SetProjectionMode(XGLContext::kOrthographic);
    window.Redraw();
    XQuadRenderable quad(XARGB32Colour::kBlue, 2.0, 2.0);
    window.AddChild(quad);
    EXPECT_TRUE(window.NeedsRedraw());
    quad.RefreshScene(true);
    EXPECT_FALSE(window.NeedsRedraw());
    // The drawn frame is still in the window's surface.
    XGLContextLock lock(window);
    uint8_t pixel[4] = {};
    glReadBuffer(GL_BACK);
    glReadPixels(8, 8, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
    EXPECT_EQ(pixel[2], 255);
    EXPECT_EQ(pixel[0], 0);
    window.RemoveChild(quad);
}

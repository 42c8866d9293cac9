// Tool hooks driven by synthetic drags through the renderer window's event interface.
#include "VolumeSceneTestSupport.h"
#include "WBallControlHook.h"
#include "WGLWnd.h"
#include "XAppMessageCentre.h"
#include "XCamera.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <cmath>
#include <numbers>

using namespace VolumeSceneTest;

namespace {
using namespace std::chrono_literals;

struct XHookFixture {
    // Timers follow this clock, so a test moves time on instead of sleeping.
    XManualClock clock;
    WOffscreenRendererView view{200, 200};
    XSliceRenderer renderer{view, SolidVolume(40, 40, 40, XARGB32Colour(255, 200, 200, 200))};

    explicit XHookFixture(XVolumeRendererBase::XVolumeRendererTool inTool)
    {
        XAppMessageCentre::GetAppMessageCentre().SetClock(&clock);
        renderer.SetTool(inTool);
        renderer.Render(true); // the hooks map the mouse with the last frame's matrices
    }
    ~XHookFixture() { XAppMessageCentre::GetAppMessageCentre().SetClock(nullptr); }
    WGLWnd& Window() { return WindowOf(renderer); }
    WBallControlHook& Ball() { return dynamic_cast<WBallControlHook&>(*renderer.GetToolHook()); }

    // Moves the clock on a millisecond at a time, letting due timers run at each.
    void Run(std::chrono::milliseconds inTime)
    {
        for (auto t = 0ms; t < inTime; t += 1ms) {
            clock.Advance(1ms);
            XAppMessageCentre::GetAppMessageCentre().ProcessMessages();
        }
    }
    void Send(WGLEvent::Kind inKind, const XPoint& inPoint)
    {
        WGLEvent event;
        event.kind = inKind;
        event.buttons = WGLEvent::kLeftButton;
        event.point = inPoint;
        Window().HandleEvent(event);
    }
    X3DMatrix Rotation()
    {
        X3DMatrix r;
        renderer.GetVolumeWorldMatrix(r);
        return r;
    }

    // Window depth and position of a point in a node's frame at the last drawing.
    double Depth(const XGLRenderable& inNode, double inX, double inY, double inZ)
    {
        const X3DMatrix p = inNode.GetLastWorldToScreenMatrix() * X3DMatrix::ColumnVector({inX, inY, inZ, 1.0});
        return p(2, 0) / p(3, 0);
    }
    XPoint Project(const XGLRenderable& inNode, double inX, double inY, double inZ)
    {
        const X3DMatrix p = inNode.GetLastWorldToScreenMatrix() * X3DMatrix::ColumnVector({inX, inY, inZ, 1.0});
        const XPoint gl(int32_t(std::lround(p(0, 0) / p(3, 0))), int32_t(std::lround(p(1, 0) / p(3, 0))));
        return Window().GLToLocalPoint(gl);
    }
    XPoint Project(double inX, double inY, double inZ)
    {
        return Project(renderer.GetVolumeScene().GetVolumeTransform(), inX, inY, inZ);
    }
};

// The rotation angle of a rotation matrix, in degrees.
double AngleOf(const X3DMatrix& inR)
{
    const double c = std::clamp((inR(0, 0) + inR(1, 1) + inR(2, 2) - 1.0) / 2.0, -1.0, 1.0);
    return std::acos(c) * 180.0 / std::numbers::pi;
}

// The turn that takes inBefore to inAfter, in the frame both are given in.
X3DMatrix TurnBetween(const X3DMatrix& inBefore, const X3DMatrix& inAfter)
{
    return inAfter.GetSubMatrix(0, 0, 3, 3) * inBefore.GetSubMatrix(0, 0, 3, 3).GetTranspose();
}
} // namespace

TEST(WBallControlHook, TheGrabbedPointFollowsTheCursorWhateverTheVolumesTurn)
{
    // Start turns of the volume; each drag goes from the ball's point 45° left of the
    // front to the one 45° right, so the volume turns 90° about the view's vertical.
    const std::pair<const char*, X3DMatrix> starts[] = {
        {"unturned", X3DMatrix::UnitMatrix(4)},
        {"on its side", X3DMatrix::RotationMatrix(X3DMatrix::ColumnVector(1, 0, 0), std::numbers::pi / 2)},
        {"tilted", X3DMatrix::RotationMatrix(X3DMatrix::ColumnVector(0.3, 0.2, 1), 0.7)},
    };
    for (const auto& [what, start] : starts) {
        SCOPED_TRACE(what);
        XHookFixture f(XVolumeRendererBase::kToolBall);
        f.renderer.SetVolumeWorldMatrix(start);
        f.renderer.Render(true);
        const X3DMatrix before = f.Rotation();
        // The ball hangs under transform 3, whose frame is the view's.
        const XGLRenderable& frame = f.renderer.GetVolumeScene().GetTransform3();
        const double front = f.Depth(frame, 0, 0, 1) < f.Depth(frame, 0, 0, -1) ? 1.0 : -1.0;
        const double h = std::sqrt(0.5);
        const XPoint from = f.Project(frame, -h, 0, front * h), to = f.Project(frame, h, 0, front * h);
        f.Send(WGLEvent::kMouseDown, from);
        for (int i = 1; i <= 40; ++i) {
            f.Send(WGLEvent::kMouseMove, XPoint(from.x + (to.x - from.x) * i / 40, from.y + (to.y - from.y) * i / 40));
            f.Run(25ms);
        }
        f.Run(25ms); // a still poll: no flick
        f.Send(WGLEvent::kMouseUp, to);
        const X3DMatrix turn = TurnBetween(before, f.Rotation());
        EXPECT_NEAR(AngleOf(turn), 90.0, 4.0);
        EXPECT_NEAR(turn(1, 1), 1.0, 0.05) << "about the vertical: y stays put";
        EXPECT_FALSE(f.Ball().IsSpinning());
        EXPECT_FALSE(f.renderer.IsBallVisible()) << "the ball shows only while it is dragged";
    }
}

TEST(WBallControlHook, AFlickIsAReleaseThatTheLastPollSawMoving)
{
    using XEvents = std::function<void(XHookFixture&, const XPoint&)>;
    const auto move = [](int inDx) {
        return [inDx](XHookFixture& f, const XPoint& c) { f.Send(WGLEvent::kMouseMove, XPoint(c.x + inDx, c.y)); };
    };
    const auto wait = [](std::chrono::milliseconds inTime) { return [inTime](XHookFixture& f, const XPoint&) { f.Run(inTime); }; };
    const struct {
        const char* what;
        std::vector<XEvents> drag; // between press and release
        bool flick;
    } cases[] = {
        {"moving at the last poll", {move(10), wait(25ms)}, true},
        {"moving at the last poll, released just before the next", {move(10), wait(49ms)}, true},
        {"still at the last poll", {move(10), wait(50ms)}, false},
        {"moved only after the last poll", {move(10), wait(50ms), move(20)}, false},
        {"never moved", {wait(100ms)}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        XHookFixture f(XVolumeRendererBase::kToolBall);
        const XPoint centre = f.Project(0, 0, 0);
        f.Send(WGLEvent::kMouseDown, centre);
        for (const XEvents& step : c.drag)
            step(f, centre);
        f.Send(WGLEvent::kMouseUp, XPoint(centre.x + 20, centre.y));
        EXPECT_EQ(f.Ball().IsSpinning(), c.flick);
        // Only a spinning ball turns the volume once the button is up.
        const X3DMatrix released = f.Rotation();
        f.Run(100ms);
        EXPECT_EQ(f.Rotation() == released, !c.flick);
    }
}

TEST(WBallControlHook, TheCursorIsPolledEvery25MsAndASpinRepeatsTheLastStepEvery10MsUntilTheNextPress)
{
    XHookFixture f(XVolumeRendererBase::kToolBall);
    const XPoint centre = f.Project(0, 0, 0);
    const X3DMatrix start = f.Rotation();
    f.Send(WGLEvent::kMouseDown, centre);
    f.Send(WGLEvent::kMouseMove, XPoint(centre.x + 6, centre.y));
    f.Run(24ms);
    EXPECT_EQ(f.Rotation(), start) << "moves alone do not turn the volume";
    f.Run(1ms);
    f.Send(WGLEvent::kMouseUp, XPoint(centre.x + 6, centre.y));
    const double step = AngleOf(TurnBetween(start, f.Rotation()));
    ASSERT_GT(step, 0.5);
    f.Run(60ms);
    EXPECT_NEAR(AngleOf(TurnBetween(start, f.Rotation())), 7 * step, 0.01 * step) << "one step and six spins";

    f.Send(WGLEvent::kMouseDown, centre);
    EXPECT_FALSE(f.Ball().IsSpinning());
    const X3DMatrix held = f.Rotation();
    f.Run(100ms);
    EXPECT_EQ(f.Rotation(), held) << "a press without movement stops the spin";
    f.Send(WGLEvent::kMouseUp, centre);
}

// Zoom: dragging up enlarges and down shrinks; pan: the centre follows the cursor;
// fly: dragging up flies forward and sideways turns.
TEST(WControlHooks, ZoomPanAndFlyFollowTheDrag)
{
    {
        XHookFixture f(XVolumeRendererBase::kToolZoom);
        Drag(f.Window(), XPoint(100, 150), XPoint(100, 50));
        EXPECT_NEAR(f.renderer.GetWorldScale(), 2.0f, 1e-4);
        Drag(f.Window(), XPoint(100, 50), XPoint(100, 250));
        EXPECT_NEAR(f.renderer.GetWorldScale(), 0.5f, 1e-4);
        Drag(f.Window(), XPoint(10, 50), XPoint(190, 50)); // sideways drags do not zoom
        EXPECT_NEAR(f.renderer.GetWorldScale(), 0.5f, 1e-4);
    }
    {
        XHookFixture f(XVolumeRendererBase::kToolPan);
        const XPoint centre = f.Project(0, 0, 0);
        Drag(f.Window(), centre, XPoint(centre.x + 30, centre.y - 20));
        f.renderer.Render(true);
        const XPoint moved = f.Project(0, 0, 0);
        EXPECT_NEAR(moved.x, centre.x + 30, 2);
        EXPECT_NEAR(moved.y, centre.y - 20, 2);
    }
    XHookFixture f(XVolumeRendererBase::kToolFly);
    XCamera start, forward, turned;
    f.renderer.GetCamera(start);
    Drag(f.Window(), XPoint(100, 150), XPoint(100, 50));
    f.renderer.GetCamera(forward);
    EXPECT_NEAR((forward.GetEye() - start.GetEye()).Dot(start.GetForward()), 100 * 0.02f, 1e-3);
    Drag(f.Window(), XPoint(50, 100), XPoint(150, 100));
    f.renderer.GetCamera(turned);
    // 100 pixels right: 25° to the right, the eye staying where it was.
    const float cosine = turned.GetForward().Dot(forward.GetForward());
    EXPECT_NEAR(std::acos(std::clamp(cosine, -1.0f, 1.0f)) * 180.0 / std::numbers::pi, 25.0, 0.1);
    EXPECT_GT(turned.GetForward().Dot(forward.GetRight()), 0.0f);
    EXPECT_NEAR(turned.GetEye()[2], forward.GetEye()[2], 1e-4);
}

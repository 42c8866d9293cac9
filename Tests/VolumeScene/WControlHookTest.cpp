// Tool hooks driven by synthetic drags through the renderer window's event interface.
#include "VolumeSceneTestSupport.h"
#include "WBallControlHook.h"
#include "WGLWnd.h"
#include "XAppMessageCentre.h"
#include "XCamera.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>

using namespace VolumeSceneTest;

namespace {
struct XHookFixture {
    WOffscreenRendererView view{200, 200};
    XSliceRenderer renderer{view, SolidVolume(40, 40, 40, XARGB32Colour(255, 200, 200, 200))};

    explicit XHookFixture(XVolumeRendererBase::XVolumeRendererTool inTool)
    {
        renderer.SetTool(inTool);
        renderer.Render(true); // the hooks map the mouse with the last frame's matrices
    }
    WGLWnd& Window() { return WindowOf(renderer); }
    // Window depth of a point in the volume transform's frame.
    double Depth(double inX, double inY, double inZ)
    {
        const X3DMatrix& m = renderer.GetVolumeScene().GetVolumeTransform().GetLastWorldToScreenMatrix();
        const X3DMatrix p = m * X3DMatrix::ColumnVector({inX, inY, inZ, 1.0});
        return p(2, 0) / p(3, 0);
    }
    // Window position of a point in the volume transform's frame.
    XPoint Project(double inX, double inY, double inZ)
    {
        const X3DMatrix& m = renderer.GetVolumeScene().GetVolumeTransform().GetLastWorldToScreenMatrix();
        const X3DMatrix p = m * X3DMatrix::ColumnVector({inX, inY, inZ, 1.0});
        const XPoint gl(int32_t(std::lround(p(0, 0) / p(3, 0))), int32_t(std::lround(p(1, 0) / p(3, 0))));
        return Window().GLToLocalPoint(gl);
    }
};

// The rotation angle of a 4x4 rotation matrix, in degrees.
double AngleOf(const X3DMatrix& inR)
{
    const double c = std::clamp((inR(0, 0) + inR(1, 1) + inR(2, 2) - 1.0) / 2.0, -1.0, 1.0);
    return std::acos(c) * 180.0 / std::numbers::pi;
}
} // namespace

TEST(WBallControlHook, QuarterTurnDragRotatesTheVolumeAboutTheVerticalAxis)
{
    XHookFixture f(XVolumeRendererBase::kToolBall);
    // From the ball's point 45° left of the front to the one 45° right: the grabbed
    // point stays under the cursor, so the volume turns by the 90° between them.
    const double front = f.Depth(0, 0, 1) < f.Depth(0, 0, -1) ? 1.0 : -1.0;
    const double h = std::sqrt(0.5);
    Drag(f.Window(), f.Project(-h, 0, front * h), f.Project(h, 0, front * h), 40);
    X3DMatrix r;
    f.renderer.GetVolumeWorldMatrix(r);
    EXPECT_NEAR(AngleOf(r), 90.0, 4.0);
    // About the vertical: y stays put, x and z trade places.
    EXPECT_NEAR(r(1, 1), 1.0, 0.05);
    EXPECT_NEAR(std::fabs(r(0, 2)), 1.0, 0.1);
}

TEST(WBallControlHook, AFlickKeepsSpinningUntilTheNextPress)
{
    XHookFixture f(XVolumeRendererBase::kToolBall);
    auto* hook = dynamic_cast<WBallControlHook*>(f.renderer.GetToolHook());
    ASSERT_NE(hook, nullptr);
    const XPoint centre = f.Project(0, 0, 0);
    Drag(f.Window(), centre, XPoint(centre.x + 10, centre.y), 2);
    ASSERT_TRUE(hook->IsSpinning());
    X3DMatrix before;
    f.renderer.GetVolumeWorldMatrix(before);
    // Let the pump run the spin a few times.
    for (int i = 0; i < 20; ++i)
        XAppMessageCentre::GetAppMessageCentre().WaitAndProcessMessages(20);
    X3DMatrix after;
    f.renderer.GetVolumeWorldMatrix(after);
    EXPECT_GT(AngleOf(after), AngleOf(before) + 0.5);

    WGLEvent press;
    press.kind = WGLEvent::kMouseDown;
    press.buttons = WGLEvent::kLeftButton;
    press.point = centre;
    f.Window().HandleEvent(press);
    EXPECT_FALSE(hook->IsSpinning());
}

TEST(WZoomControlHook, DraggingUpEnlargesAndDownShrinks)
{
    XHookFixture f(XVolumeRendererBase::kToolZoom);
    Drag(f.Window(), XPoint(100, 150), XPoint(100, 50));
    EXPECT_NEAR(f.renderer.GetWorldScale(), 2.0f, 1e-4);
    Drag(f.Window(), XPoint(100, 50), XPoint(100, 250));
    EXPECT_NEAR(f.renderer.GetWorldScale(), 0.5f, 1e-4);
    // Sideways drags do not zoom.
    Drag(f.Window(), XPoint(10, 50), XPoint(190, 50));
    EXPECT_NEAR(f.renderer.GetWorldScale(), 0.5f, 1e-4);
}

TEST(WPanControlHook, TheCentreFollowsTheCursor)
{
    XHookFixture f(XVolumeRendererBase::kToolPan);
    const XPoint centre = f.Project(0, 0, 0);
    Drag(f.Window(), centre, XPoint(centre.x + 30, centre.y - 20));
    f.renderer.Render(true);
    const XPoint moved = f.Project(0, 0, 0);
    EXPECT_NEAR(moved.x, centre.x + 30, 2);
    EXPECT_NEAR(moved.y, centre.y - 20, 2);
}

TEST(WFlyControlHook, DragUpFliesForwardAndSidewaysTurns)
{
    XHookFixture f(XVolumeRendererBase::kToolFly);
    XCamera start;
    f.renderer.GetCamera(start);
    Drag(f.Window(), XPoint(100, 150), XPoint(100, 50));
    XCamera forward;
    f.renderer.GetCamera(forward);
    const XMathVectorF3 d(forward.GetEye()[0] - start.GetEye()[0], forward.GetEye()[1] - start.GetEye()[1],
                          forward.GetEye()[2] - start.GetEye()[2]);
    const float along = d[0] * start.GetForward()[0] + d[1] * start.GetForward()[1] + d[2] * start.GetForward()[2];
    EXPECT_NEAR(along, 100 * 0.02f, 1e-3);

    Drag(f.Window(), XPoint(50, 100), XPoint(150, 100));
    XCamera turned;
    f.renderer.GetCamera(turned);
    // 100 pixels right: 25° to the right, the eye staying where it was.
    const float cosine = turned.GetForward()[0] * forward.GetForward()[0] +
                         turned.GetForward()[1] * forward.GetForward()[1] +
                         turned.GetForward()[2] * forward.GetForward()[2];
    EXPECT_NEAR(std::acos(std::clamp(cosine, -1.0f, 1.0f)) * 180.0 / std::numbers::pi, 25.0, 0.1);
    EXPECT_GT(turned.GetForward()[0] * forward.GetRight()[0] + turned.GetForward()[1] * forward.GetRight()[1] +
                  turned.GetForward()[2] * forward.GetRight()[2],
              0.0f);
    EXPECT_NEAR(turned.GetEye()[2], forward.GetEye()[2], 1e-4);
}

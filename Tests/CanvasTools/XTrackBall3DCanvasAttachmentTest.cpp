// The trackball driving a scene renderer: turns, camera revolves, dolly, spin and the
// interaction bracket, from timed input on the renderer's canvas.
#include "XCanvasToolFixture.h"

#include "X3DPlaneRenderer.h"

#include <cmath>
#include <numbers>

namespace {
const X3DMatrix kUp = X3DMatrix::ColumnVector(0, 1, 0);
}

// A drag from the centre a quarter of the pane to the right turns the volume by 30°
// about the view's vertical axis, however many steps the mouse took, from any camera.
TEST_F(CanvasToolTest, DragTurnsTheVolumeByTheArc)
{
    struct Case {
        int steps;
        XMathVectorF3 eye;
    };
    for (const Case& c : {Case{1, {0, 0, 2}}, Case{4, {0, 0, 2}}, Case{25, {0, 0, 2}}, Case{7, {3, 0, 0}}}) {
        SCOPED_TRACE(c.steps);
        Set(kSceneStateRotation, X3DMatrix::UnitMatrix(3));
        X3DCamera camera;
        camera.LookAt(c.eye, {0, 0, 0}, {0, 1, 0});
        Set(kSceneStateCamera, camera.GetMatrix());
        Command(0);
        Drag(Line({200, 200}, {300, 200}, c.steps));
        const X3DMatrix expected = X3DMatrix::RotationMatrix(kUp, -std::numbers::pi / 6, 3);
        EXPECT_TRUE(Value(kSceneStateRotation).IsNearlyEqual(expected, 1e-5));
        EXPECT_TRUE(Camera().GetMatrix().IsNearlyEqual(camera.GetMatrix(), 1e-6));
        EXPECT_EQ(Canvas().GetCursor(), uint32_t(kCursorTool));
    }
    // The trackball's cursor: the tool's, or the dolly's with modifier bit 0.
    EXPECT_EQ(Trackball()->HandleSetCursor({0, 0}, kModifierShift), kEventHandled);
    EXPECT_EQ(Canvas().GetCursor(), uint32_t(kCursorZoomIn));
    Trackball()->HandleSetCursor({0, 0}, 0);
    EXPECT_EQ(Canvas().GetCursor(), uint32_t(kCursorTool));
}

// Modifier bit 1 swings the camera instead: its distance is kept, it still looks at
// the origin, and the volume keeps its rotation. The revolve tool does the same unmodified.
TEST_F(CanvasToolTest, ModifierRevolvesTheCamera)
{
    struct Case {
        uint32_t command, modifiers;
    };
    for (const Case& c : {Case{0, kModifierControl}, Case{X3DBaseRenderer::kCommandRevolve, 0}}) {
        SCOPED_TRACE(c.command);
        Set(kSceneStateCamera, X3DCamera().GetMatrix());
        Set(kSceneStateRotation, X3DMatrix::UnitMatrix(3));
        Command(c.command);
        Drag(Line({200, 200}, {320, 150}, 6), c.modifiers);
        const X3DCamera camera = Camera();
        EXPECT_NEAR(camera.GetPosition().GetLength(), 2.0, 1e-4);
        EXPECT_NEAR(camera.GetLookVector().Dot(camera.GetPosition()), -2.0, 1e-4);
        EXPECT_GT(std::abs(camera.GetPosition()[0]), 0.5);
        EXPECT_TRUE(Value(kSceneStateRotation).IsNearlyEqual(X3DMatrix::UnitMatrix(3), 1e-9));
    }
    // The other way round: the revolve tool with bit 1 turns the volume.
    Set(kSceneStateCamera, X3DCamera().GetMatrix());
    Drag(Line({200, 200}, {300, 200}, 3), kModifierControl);
    EXPECT_TRUE(Value(kSceneStateRotation).IsNearlyEqual(X3DMatrix::RotationMatrix(kUp, -std::numbers::pi / 6, 3), 1e-5));
    EXPECT_NEAR(Camera().GetPosition()[2], 2.0, 1e-5);
}

// The steps themselves, and the nearest the camera comes, are X3DCanvasToolMaths'.
TEST_F(CanvasToolTest, DollyStepsTheCamera)
{
    struct Case {
        uint32_t command, modifiers;
    };
    for (const Case& c : {Case{X3DBaseRenderer::kCommandDolly, 0}, Case{0, kModifierShift}}) {
        X3DCamera camera;
        camera.LookAt({0, 0, 4}, {0, 0, 0}, {0, 1, 0});
        Set(kSceneStateCamera, camera.GetMatrix());
        Command(c.command);
        Drag({{200, 200}, {200, 210}}, c.modifiers);
        EXPECT_NEAR(Camera().GetPosition()[2], 3.75, 1e-5);
        EXPECT_EQ(Canvas().GetCursor(), uint32_t(kCursorZoomIn));
    }
}

// During a rotation drag the renderer is marked interacting and state 5 is 1.0; both
// are back afterwards, with the state at 0.0. Dolly marks the renderer only.
TEST_F(CanvasToolTest, DragsBracketTheInteraction)
{
    struct Case {
        uint32_t command;
        bool setsState;
    };
    for (const Case& c : {Case{0, true}, Case{X3DBaseRenderer::kCommandDolly, false}}) {
        SCOPED_TRACE(c.command);
        Command(c.command);
        std::vector<std::pair<bool, double>> seen;
        renderer->onRender = [&] { seen.emplace_back(renderer->IsUserInteracting(), Value(kSceneStateUserInteraction)(0, 0)); };
        Drag(Line({200, 200}, {260, 260}, 3));
        renderer->onRender = nullptr;
        ASSERT_FALSE(seen.empty());
        EXPECT_TRUE(seen.front().first);
        EXPECT_EQ(seen.front().second, c.setsState ? 1.0 : 0.0);
        EXPECT_FALSE(renderer->IsUserInteracting());
        EXPECT_EQ(Value(kSceneStateUserInteraction)(0, 0), 0.0);
    }
    // A drag that starts while the renderer is already interacting is reported.
    renderer->SetUserInteracting(true);
    Command(0);
    Drag(Line({200, 200}, {260, 260}, 3));
    EXPECT_TRUE(asserts.Has("inRenderer.itsUserInteractionState == false"));
    asserts.Clear();
}

// A flick spins on at 50 steps a second, also when each frame takes a millisecond; a
// release after a pause does not spin; a press on a trackball stops its own spin and
// its siblings'.
TEST_F(CanvasToolTest, FlicksSpinUntilAPress)
{
    struct Case {
        int releaseMs, frameMs;
        bool spins;
    };
    for (const Case& c : {Case{10, 0, true}, Case{10, 1, true}, Case{140, 0, true}, Case{200, 0, false}}) {
        SCOPED_TRACE(testing::Message() << c.releaseMs << " ms, frames of " << c.frameMs);
        Set(kSceneStateRotation, X3DMatrix::UnitMatrix(3));
        Command(0);
        Drag(Line({200, 200}, {240, 200}, 4), 0, 10, c.releaseMs);
        EXPECT_EQ(Trackball()->IsSpinning(), c.spins);
        renderer->onRender = [&] { clock.Advance(Ms(c.frameMs)); };
        // The last step turned by the arc from x = 230 to 240.
        const double step = std::asin(40.0 / 200) - std::asin(30.0 / 200);
        int steps = 0;
        XQuaternion last = Rotation();
        // One second of the clock, which frames move on too.
        for (const XClock::TimePoint end = clock.Now() + Ms(1000); clock.Now() < end;) {
            Pump(Ms(1));
            if (!Rotation().IsSameRotation(last, 1e-12)) {
                ++steps;
                EXPECT_NEAR(2 * std::acos(std::abs((Rotation() * last.Conjugate()).GetW())), step, 1e-4);
                last = Rotation();
            }
        }
        renderer->onRender = nullptr;
        EXPECT_NEAR(steps, c.spins ? 50 : 0, c.spins ? 1 : 0);
    }

    XTrackBall3DCanvasAttachment other(*renderer, XTrackBall3DCanvasAttachment::kRotateVolume);
    Canvas().AddCanvasAttachment(&other);
    Drag(Line({200, 200}, {240, 200}, 4));
    ASSERT_TRUE(other.IsSpinning());
    Canvas().RemoveCanvasAttachment(&other);
    Trackball()->SetSiblingTrackballs(XPtrVector<XTrackBall3DCanvasAttachment>{&other});
    Drag({{100, 100}});
    EXPECT_FALSE(other.IsSpinning());
    EXPECT_FALSE(Trackball()->IsSpinning());
}

// The same turn through the planes view, the scene renderer the desktop shows: the
// renderer takes the new rotation into its world node and draws it.
TEST_F(CanvasToolTest, PlanesViewTurnsWithTheTrackball)
{
    X3DPlaneRenderer planes(renderer->GetDataSource());
    XRendererPane planesPane(XRect(0, 0, kSide, kSide));
    planesPane.SetRenderer(&planes);
    planes.DoRendererToolbarCommand(0);
    Drag(Line({200, 200}, {300, 200}, 4), 0, 10, 300, planes.GetRendererCanvasPane());
    EXPECT_TRUE(planes.GetSceneStateValue(kSceneStateRotation)
                    .IsNearlyEqual(X3DMatrix::RotationMatrix(kUp, -std::numbers::pi / 6, 3), 1e-5));
    EXPECT_TRUE(planes.GetWorldNode().GetRotation().IsSameRotation(
        XQuaternion::MakeFromAxisAngle(XMathVectorF3(0, 1, 0), -std::numbers::pi / 6), 1e-5));
    planes.RefreshRendererWithImmediateRedraw();
    EXPECT_NE(planes.GetDisplayedImage(), nullptr);
    planesPane.SetRenderer(nullptr);
}

// What the user sees: the volume turns and moves with the mouse, the light follows the
// light tool, and pans keep the grabbed point under the cursor.
#include "XCanvasToolFixture.h"

class CanvasToolPictureTest : public CanvasToolTest {
protected:
    // Where the white quad shows.
    TestPicture::XSpread Frame(const std::string& inName)
    {
        renderer->RefreshRendererWithImmediateRedraw();
        const XBGRA32Volume* frame = renderer->GetDisplayedImage();
        EXPECT_NE(frame, nullptr);
        if (!frame)
            return {};
        TestPicture::SavePNG(*frame, inName);
        return TestPicture::SpreadOf(*frame, [](const XARGB32Colour& p) { return p.red > 200 && p.green > 200 && p.blue > 200; });
    }
};

// The quad sits in front of the volume's centre: a drag to the right carries it to the
// right, a drag down carries it down, as though the mouse pushed the ball's front.
TEST_F(CanvasToolPictureTest, VolumeTurnsWithTheMouse)
{
    struct Case {
        const char* name;
        XPoint to;
        int signX, signY;
    };
    for (const Case& c : {Case{"Right", {300, 200}, 1, 0}, Case{"Down", {200, 300}, 0, 1}, Case{"UpLeft", {130, 130}, -1, -1}}) {
        SCOPED_TRACE(c.name);
        Set(kSceneStateRotation, X3DMatrix::UnitMatrix(3));
        renderer->quad.SetPosition(XMathVectorF3(0, 0, -0.5f)); // the root mirrors z: towards the camera
        Command(0);
        const TestPicture::XSpread before = Frame(std::string("ToolTurnBefore") + c.name);
        Drag(Line({200, 200}, c.to, 5), 0, 10, 300);
        const TestPicture::XSpread after = Frame(std::string("ToolTurnAfter") + c.name);
        ASSERT_GT(before.count, 100);
        ASSERT_GT(after.count, 100);
        const double dx = after.centreX - before.centreX, dy = after.centreY - before.centreY;
        EXPECT_GT(dx * c.signX, c.signX ? 20 : -1e9);
        EXPECT_GT(dy * c.signY, c.signY ? 20 : -1e9);
        if (c.signX == 0) {
            EXPECT_NEAR(dx, 0, 1);
        }
        if (c.signY == 0) {
            EXPECT_NEAR(dy, 0, 1);
        }
    }
}

// A quad at the volume's centre, which lies on the plane the pan grabs: it follows the
// mouse pixel for pixel, whether the volume moves (turned or not) or the camera does.
TEST_F(CanvasToolPictureTest, PanKeepsTheGrabbedPointUnderTheMouse)
{
    struct Case {
        const char* name;
        X3DMatrix rotation;
        uint32_t modifiers;
    };
    const X3DMatrix turned = X3DMatrix::RotationMatrix(X3DMatrix::ColumnVector(1, 2, 0.5), 1.1, 3);
    for (const Case& c : {Case{"Volume", X3DMatrix::UnitMatrix(3), 0}, Case{"Turned", turned, 0},
             Case{"Camera", turned, kModifierControl}}) {
        SCOPED_TRACE(c.name);
        Set(kSceneStateCamera, X3DCamera().GetMatrix());
        Set(kSceneStateVolumePosition, X3DMatrix::ColumnVector(0, 0, 0));
        Set(kSceneStateRotation, c.rotation);
        renderer->quad.SetPosition(XMathVectorF3(0, 0, 0));
        Command(X3DBaseRenderer::kCommandPan);
        const TestPicture::XSpread before = Frame(std::string("ToolPanBefore") + c.name);
        Drag(Line({200, 200}, {260, 170}, 4), c.modifiers);
        const TestPicture::XSpread after = Frame(std::string("ToolPanAfter") + c.name);
        ASSERT_GT(before.count, 50);
        EXPECT_NEAR(after.centreX - before.centreX, 60, 1.5);
        EXPECT_NEAR(after.centreY - before.centreY, -30, 1.5);
        EXPECT_FALSE(renderer->IsUserInteracting());
        EXPECT_EQ(Value(kSceneStateUserInteraction)(0, 0), 0.0);
    }
}

// The light tool: a drag swings the light the way the volume turns, modifier bit 0
// moves it outwards until just short of 5, bit 1 moves it sideways; a light state of
// the wrong shape leaves the tool idle.
TEST_F(CanvasToolPictureTest, LightToolMovesTheLight)
{
    Command(X3DBaseRenderer::kCommandLight);
    EXPECT_TRUE(renderer->IsLightMarkerVisible());
    auto light = [&] {
        XMathVectorF3 v;
        EXPECT_TRUE(X3DCanvasToolMaths::GetVector(renderer->GetSceneState(), kSceneStateLightPosition, v));
        return v;
    };
    // In front of the volume (the root mirrors z); a quarter pane to the right is 30°.
    Set(kSceneStateLightPosition, X3DMatrix::ColumnVector(0, 0, -2));
    Drag(Line({200, 200}, {300, 200}, 4));
    EXPECT_NEAR(light()[0], 1.0, 1e-4);
    EXPECT_NEAR(light().GetLength(), 2.0, 1e-4);

    Set(kSceneStateLightPosition, X3DMatrix::ColumnVector(0, 0, -2));
    // Steps of 7 pixels move it 0.14 each: 21 of them reach 4.94, the next would pass 5.
    Drag(Line({200, 0}, {200, 392}, 56), kModifierShift);
    EXPECT_LT(light().GetLength(), 5.0f);
    EXPECT_GT(light().GetLength(), 4.86f);

    Set(kSceneStateLightPosition, X3DMatrix::ColumnVector(0, 0, -1));
    Drag(Line({200, 200}, {240, 200}, 2), kModifierControl);
    EXPECT_GT(light()[0], 0.1f);
    EXPECT_NEAR(light()[2], -1.0f, 0.02); // the grab follows a sphere about the eye

    Set(kSceneStateLightPosition, X3DMatrix::ColumnVector({1, 2}));
    Drag(Line({200, 200}, {300, 200}, 4));
    EXPECT_EQ(Value(kSceneStateLightPosition), X3DMatrix::ColumnVector({1, 2}));
    EXPECT_FALSE(renderer->IsUserInteracting());
}

// The light marker: its orientation towards the scene origin, and its picture.
#include "X3DLightDisplayNode.h"
#include "XSceneFurnitureFixture.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {
using M = XMatrix_4x4<float>;

XMathVectorF3 Row(const M& inMatrix, size_t inRow)
{
    return XMathVectorF3(inMatrix(inRow, 0), inMatrix(inRow, 1), inMatrix(inRow, 2));
}

TEST(X3DLightDisplayNode, TurnsItsZAxisAwayFromTheOrigin)
{
    struct XCase {
        const char* name;
        XMathVectorF3 light, r0, r1, n;
    };
    const float third = 1.0f / 3.0f;
    const XCase cases[] = {
        {"above", {0, 0, 5}, {0, 1, 0}, {-1, 0, 0}, {0, 0, 1}},
        // n x (1, 0, 0) vanishes: r0 comes from (0, 1, 0).
        {"on the x axis", {3, 0, 0}, {0, 0, 1}, {0, -1, 0}, {1, 0, 0}},
        {"below, on the -x axis", {-0.5f, 0, 0}, {0, 0, -1}, {0, -1, 0}, {-1, 0, 0}},
        {"general", {1, 2, 2}, XMathVectorF3(0, 2, -2).GetNormalised(), XMathVectorF3(-8, 2, 2).GetNormalised(), {third, 2 * third, 2 * third}},
        // No direction at the origin: the marker looks down -z rather than turning to NaN.
        {"at the origin", {0, 0, 0}, {0, 1, 0}, {-1, 0, 0}, {0, 0, 1}},
    };
    for (const XCase& c : cases) {
        SCOPED_TRACE(c.name);
        const M m = X3DLightDisplayNode::MakeOrientation(c.light);
        EXPECT_TRUE(Row(m, 0).IsNearlyEqual(c.r0, 1e-6f));
        EXPECT_TRUE(Row(m, 1).IsNearlyEqual(c.r1, 1e-6f));
        EXPECT_TRUE(Row(m, 2).IsNearlyEqual(c.n, 1e-6f));
        EXPECT_EQ(Row(m, 3), XMathVectorF3()) << "no translation";
    }
}

class LightMarkerPictureTest : public SceneFurnitureTest {
protected:
    LightMarkerPictureTest() { furniture = {&marker}; }
    // The default camera, from (0, 0, 2), in a frame of 256 x 256.
    XBGRA32Volume Draw(const std::string& inSuffix)
    {
        BeginFrame(256, 256);
        gc->SetDepthTestEnabled(true);
        RenderTree(marker);
        return EndFrame(inSuffix);
    }
    // The pixel column of a point on the x axis, moved inZ towards the viewer.
    int ColumnOf(float inX, float inZ = 0) const
    {
        return int(std::lround(state.GetCamera().GetViewport().Project(XMathVectorF3(inX, 0, inZ),
                                   state.GetCamera().GetViewMatrix() * state.GetCamera().GetProjectionMatrix())[0]));
    }
    X3DLightDisplayNode marker;
};

TEST_F(LightMarkerPictureTest, LineReachesTheOriginAtAnyScale)
{
    const struct {
        const char* name;
        float scale;
    } cases[] = {{"_small", 0.01f}, {"_default", X3DLightDisplayNode::kScale}, {"_large", 0.3f}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        marker.SetScale(XMathVectorF3(c.scale, c.scale, c.scale));
        marker.SetPosition(XMathVectorF3(0.4f, 0.3f, 0));
        const XBGRA32Volume picture = Draw(c.name);
        // The line ends at the centre of the frame, where the origin is.
        EXPECT_GT(Brightness(BrightestNear(picture, 128, 128, 1)), 150);
        EXPECT_LT(Brightness(BrightestNear(picture, 128 - 6, 128 - 6, 2)), 30) << "and goes no further";
    }
}

TEST_F(LightMarkerPictureTest, ConeFlaresTowardsTheOrigin)
{
    // A light on +x, scaled up: the block spans x 0.25 to 0.55 around 0.4 and the
    // cone's base lies 0.225 from it, on the origin side.
    marker.SetScale(XMathVectorF3(0.3f, 0.3f, 0.3f));
    marker.SetPosition(XMathVectorF3(0.4f, 0, 0));
    const XBGRA32Volume picture = Draw("");
    // The marker's extent along the row through it, past the line's faint pixels.
    int left = -1, right = -1;
    for (int x = 0; x < 256; ++x) {
        int lit = 0;
        for (int y = 128 - 6; y <= 128 + 6; ++y)
            lit += Brightness(At(picture, x, y)) > 30;
        if (lit >= 5) {
            if (left < 0)
                left = x;
            right = x;
        }
    }
    // Seen in perspective, the left end reaches furthest at its far side, the right end
    // at its near side, 0.075 behind and in front of the axis.
    EXPECT_NEAR(left, ColumnOf(0.175f, -0.075f), 2) << "the cone's base, towards the origin";
    EXPECT_NEAR(right, ColumnOf(0.55f, 0.075f), 2) << "the block's far end";
    // Lit by a light at the camera: the face towards the viewer is bright white.
    const XARGB32Colour face = At(picture, ColumnOf(0.45f), 128);
    EXPECT_GT(Brightness(face), 3 * 150);
    EXPECT_EQ(face.red, face.blue);
}
} // namespace

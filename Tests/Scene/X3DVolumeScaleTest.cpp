// The volume scale node: the view turned into node space, and the grid it draws.
#include "X3DVolumeScale.h"
#include "XSceneFurnitureFixture.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {
using M = XMatrix_4x4<float>;

TEST(X3DVolumeScale, FacesShowWhenTheyFaceTheViewerUnderAnyScaling)
{
    // A face faces the viewer when its world normal (the normal under the inverse
    // transpose) points against the look vector; the node-space view must agree.
    const M cases[] = {
        M(),
        M::MakeScale(1, 1, -1),
        M::MakeScale(1, 1, 10) * M::MakeRotationX(0.7f),
        M::MakeScale(0.2f, 3, 1) * M::MakeRotationY(-1.1f) * M::MakeRotationZ(0.4f) * M::MakeScale(1, 1, -1),
        M::MakeScale(0.01f, 0.01f, 0.05f) * M::MakeTranslation(0.3f, -0.2f, 0.5f) * M::MakeRotationX(0.5f),
        // A node turned inside a parent that scales its axes differently: a sheared frame.
        M::MakeRotationZ(0.7f) * M::MakeScale(1, 6, 1),
        M::MakeRotationY(0.9f) * M::MakeScale(5, 1, 0.2f) * M::MakeRotationX(0.3f) * M::MakeScale(1, 1, -1),
    };
    const XMathVectorF3 looks[] = {{0, 0, -1}, XMathVectorF3(1, -2, -0.5f).GetNormalised(), XMathVectorF3(-0.3f, 0.2f, 0.9f).GetNormalised(),
        XMathVectorF3(0.6f, -0.8f, 0).GetNormalised(), XMathVectorF3(-0.5f, -0.1f, 0.3f).GetNormalised()};
    for (size_t i = 0; i < std::size(cases); ++i)
        for (const XMathVectorF3& look : looks) {
            const XMathVectorF3 view = X3DVolumeScale::GetViewInNodeSpace(look, cases[i]);
            EXPECT_NEAR(view.GetLength(), 1.0f, 1e-5f);
            const M normalMatrix = cases[i].GetInverse().GetTranspose();
            for (int32_t f = 0; f < 6; ++f) {
                const XMathVectorF3 normal = X3DVolumeScaleGrid::kFaceNormals[size_t(f)];
                const float world = normalMatrix.TransformVector(normal).GetNormalised().Dot(look);
                if (std::abs(world) < 1e-3f)
                    continue; // edge-on: either answer is a rounding error
                EXPECT_EQ(normal.Dot(view) < 0.0f, world < 0.0f) << "transform " << i << " face " << f;
            }
        }
}

class VolumeScalePictureTest : public SceneFurnitureTest {
protected:
    void SetUp() override
    {
        SceneFurnitureTest::SetUp();
        furniture = {&scale};
        XMathVectorF3 spacing;
        scale.CalibrateForDimension(10, 1, 1, 1, X3DRect(0, 0, 0, 100, 50, 20), spacing);
        // A voxel two pixels wide in a 256 x 256 frame seen from +z, the box centred.
        scale.SetScale(XMathVectorF3(1.0f / 128, 1.0f / 128, 1.0f / 128));
        scale.SetPosition(scale.GetGrid().GetBox().GetCentre() * (-1.0f / 128));
    }
    XBGRA32Volume Draw(const XMathVectorF3& inLook, const std::string& inSuffix)
    {
        X3DCamera camera;
        camera.LookAt(inLook * -2.0f, XMathVectorF3(), std::abs(inLook[1]) > 0.9f ? XMathVectorF3(0, 0, 1) : XMathVectorF3(0, 1, 0));
        state.SetCamera(camera);
        return DrawOrthographic(scale, 256, 256, 0.5f, 0.5f, inSuffix);
    }
    // Pixel column of grid line i along x (10.2 voxels apart from -1), row of line j along y
    // (61 / 6 voxels apart from -6: the box is 61 whole voxels tall).
    static int Column(int i) { return int(std::lround(128 + (-1 + 10.2 * i - 50) * 2)); }
    static int Row(int j) { return int(std::lround(128 + (-6 + 61.0 / 6 * j - 24.5) * 2)); }

    X3DVolumeScale scale;
};

TEST_F(VolumeScalePictureTest, FacingFaceShowsItsGridAndEdgeOnFacesHide)
{
    const XBGRA32Volume picture = Draw(XMathVectorF3(0, 0, -1), "");
    const int middle = (Row(2) + Row(3)) / 2;
    for (int i = 0; i <= 10; ++i) {
        EXPECT_GE(BrightestNear(picture, Column(i), middle).red, 100) << "line " << i;
        if (i < 10) {
            EXPECT_LT(BrightestNear(picture, (Column(i) + Column(i + 1)) / 2, middle, 3).red, 10) << "between " << i;
        }
    }
    for (int j = 0; j <= 6; ++j)
        EXPECT_GE(BrightestNear(picture, (Column(4) + Column(5)) / 2, Row(j)).red, 100) << "row " << j;
    // The side faces, edge-on, would add lines outside the +z face's rectangle only
    // through rounding; nothing lies outside it.
    const TestPicture::XSpread lit = LitSpread(picture, 10);
    EXPECT_NEAR(lit.left, Column(0), 1);
    EXPECT_NEAR(lit.right, Column(10), 1);
    EXPECT_NEAR(lit.top, Row(0), 1);
    EXPECT_NEAR(lit.bottom, Row(6), 1);
}

TEST_F(VolumeScalePictureTest, FacesFadeAndSharedEdgesTakeTheMoreVisibleFace)
{
    const XBGRA32Volume opaque = Draw(XMathVectorF3(0, 0, -1), "_opaque");
    // The +z face at visibility 0.63 (alpha 0.5); +y, seen almost face on, is opaque
    // and seen from +z lies along the top edge, which it shares with +z.
    const XBGRA32Volume faded = Draw(XMathVectorF3(0, -std::sqrt(1.0f - 0.26f * 0.26f), -0.26f), "_faded");
    const int middle = (Row(2) + Row(3)) / 2;
    for (int i = 0; i <= 10; i += 5) {
        const double ratio = double(BrightestNear(faded, Column(i), middle).red) / BrightestNear(opaque, Column(i), middle).red;
        EXPECT_NEAR(ratio, 0.5, 0.05) << "line " << i;
    }
    const int x = (Column(4) + Column(5)) / 2;
    EXPECT_NEAR(double(BrightestNear(faded, x, Row(0)).red) / BrightestNear(opaque, x, Row(0)).red, 0.5, 0.05)
        << "the edge with the hidden -y face goes with +z";
    EXPECT_EQ(BrightestNear(faded, x, Row(6)).red, BrightestNear(opaque, x, Row(6)).red) << "the edge with +y is opaque";
}

TEST_F(VolumeScalePictureTest, DrawsNothingInFinalRendersOrBeforeCalibration)
{
    state.SetFinalRender(true);
    EXPECT_EQ(LitSpread(Draw(XMathVectorF3(0, 0, -1), "_final")).count, 0);
    state.SetFinalRender(false);
    X3DVolumeScale empty;
    BeginFrame(64, 64);
    RenderTree(empty);
    EXPECT_EQ(LitSpread(EndFrame("_empty")).count, 0);
    empty.UnloadGraphicsResources(*gc);
}

TEST_F(VolumeScalePictureTest, RefusedCalibrationKeepsTheGrid)
{
    XMathVectorF3 spacing(7, 7, 7);
    EXPECT_THROW(scale.CalibrateForDimension(0, 1, 1, 1, X3DRect(0, 0, 0, 10, 10, 10), spacing), XException);
    EXPECT_THROW(scale.CalibrateForDimension(1ul << 40, 1, 1, 1, X3DRect(0, 0, 0, 10, 10, 10), spacing), XException);
    EXPECT_EQ(spacing, XMathVectorF3(7, 7, 7));
    EXPECT_EQ(scale.GetGrid().GetTickCounts(), XMathVectorU3(10, 6, 3));
}
} // namespace

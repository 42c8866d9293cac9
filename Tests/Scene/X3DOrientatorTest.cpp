// The orientation marker: how much it draws for a frame size, its letters and ball,
// and its pictures.
#include "X3DOrientator.h"
#include "XSceneFurnitureFixture.h"
#include "XVertexTypes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace {
using XDetail = X3DOrientator::XDetail;

TEST(X3DOrientator, DrawsLessInSmallerFrames)
{
    struct XCase {
        int width, height;
        XDetail detail;
    };
    const XCase cases[] = {{90, 60, XDetail::kNothing}, {95, 300, XDetail::kNothing}, {96, 96, XDetail::kModulated},
                           {192, 400, XDetail::kModulated}, {195, 195, XDetail::kLit}, {300, 240, XDetail::kLit},
                           {243, 243, XDetail::kLitWithLabels}};
    for (const XCase& c : cases) {
        const XRect marker = X3DOrientator::GetMarkerRect(XRect(0, 0, c.width, c.height));
        EXPECT_EQ(marker, XRect(0, 0, c.width / 3, c.height / 3));
        EXPECT_EQ(X3DOrientator::GetDetail(marker), c.detail) << c.width << " x " << c.height;
    }
}

TEST(X3DOrientator, LettersAreDrawnInTheirAxesColours)
{
    XBGRA32Volume image;
    const auto labels = X3DOrientator::DrawLabels(image);
    ASSERT_EQ(image.GetWidth(), 64);
    const XARGB32Colour colours[3] = {XARGB32Colour::kGreen, XARGB32Colour::kRed, XARGB32Colour::kBlue};
    int inked[3] = {0, 0, 0};
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            const uint8_t* p = image.GetVoxelPtr(x, y, 0); // blue, green, red, alpha
            if (p[3] == 0)
                continue;
            int owner = -1;
            for (int i = 0; i < 3; ++i) {
                const XRectF& b = labels[size_t(i)].bounds;
                if (x >= b.left && x < b.right && y >= b.top && y < b.bottom)
                    owner = i;
            }
            ASSERT_GE(owner, 0) << "ink outside every letter's quad at " << x << "," << y;
            EXPECT_EQ(XARGB32Colour(255, p[2], p[1], p[0]), colours[owner]);
            ++inked[owner];
        }
    for (int i = 0; i < 3; ++i)
        EXPECT_GT(inked[i], 20) << "letter " << i;
}

class OrientatorPictureTest : public SceneFurnitureTest {
protected:
    void TearDown() override
    {
        marker.UnloadGraphicsResources(*gc);
        SceneFurnitureTest::TearDown();
    }
    // A frame cleared to dark grey, then the marker drawn over it.
    XBGRA32Volume Draw(int inWidth, int inHeight, const XQuaternion& inRotation, const std::string& inSuffix)
    {
        BeginFrame(inWidth, inHeight);
        gc->Clear(X3DGC::kClearColour, kBackground, 1.0f, 0);
        marker.Render(*gc, state.GetCamera(), inRotation);
        return EndFrame(inSuffix);
    }
    static bool IsBackground(const XARGB32Colour& inPixel)
    {
        return inPixel.red == kBackground.red && inPixel.green == kBackground.green && inPixel.blue == kBackground.blue;
    }
    // Pixels where one channel stands well above the others: 0 red, 1 green, 2 blue.
    static int Dominant(const XARGB32Colour& inPixel)
    {
        const int c[3] = {inPixel.red, inPixel.green, inPixel.blue};
        for (int i = 0; i < 3; ++i)
            if (c[i] > 100 && c[i] > 2 * c[(i + 1) % 3] + 20 && c[i] > 2 * c[(i + 2) % 3] + 20)
                return i;
        return -1;
    }
    struct XColourCount {
        int count = 0;
        double x = 0, y = 0; // centroid
        int maximum = 0;     // of the dominant channel
    };
    static std::array<XColourCount, 3> CountColours(const XBGRA32Volume& inPicture, const XRect& inInside)
    {
        std::array<XColourCount, 3> counts;
        for (int y = inInside.top; y < inInside.bottom; ++y)
            for (int x = inInside.left; x < inInside.right; ++x) {
                const XARGB32Colour p = At(inPicture, x, y);
                const int d = Dominant(p);
                if (d < 0)
                    continue;
                XColourCount& c = counts[size_t(d)];
                c.x += x;
                c.y += y;
                ++c.count;
                c.maximum = std::max<int>(c.maximum, d == 0 ? p.red : d == 1 ? p.green : p.blue);
            }
        for (XColourCount& c : counts)
            if (c.count > 0) {
                c.x /= c.count;
                c.y /= c.count;
            }
        return counts;
    }
    static constexpr XARGB32Colour kBackground{255, 40, 40, 40};
    X3DOrientator marker;
};

TEST_F(OrientatorPictureTest, DrawsInTheBottomLeftThirdOverTheFrame)
{
    struct XCase {
        const char* name;
        int width, height;
        XDetail detail;
    };
    const XCase cases[] = {{"150x150", 150, 150, XDetail::kModulated},
                           {"300x240", 300, 240, XDetail::kLit}, {"300x300", 300, 300, XDetail::kLitWithLabels}};
    for (const XCase& c : cases) {
        SCOPED_TRACE(c.name);
        const XBGRA32Volume picture = Draw(c.width, c.height, XQuaternion::kIdentity, std::string("_") + c.name);
        const XRect inside(0, 0, c.width / 3, c.height / 3);
        int drawnOutside = 0, drawnInside = 0;
        for (int y = 0; y < c.height; ++y)
            for (int x = 0; x < c.width; ++x)
                if (!IsBackground(At(picture, x, y)))
                    ++(x < inside.right && y < inside.bottom ? drawnInside : drawnOutside);
        EXPECT_EQ(drawnOutside, 0) << "only depth is cleared, and only the marker's viewport drawn";
        EXPECT_GT(drawnInside, 0);
        EXPECT_TRUE(IsBackground(At(picture, 1, 1))) << "the marker's corner keeps the scene";
        const auto counts = CountColours(picture, inside);
        const double cx = inside.GetWidth() / 2.0, cy = inside.GetHeight() / 2.0;
        // Seen from +z: x (green) to the right, y (red) up; z (blue) points away, behind the ball.
        EXPECT_GT(counts[1].count, 5);
        EXPECT_GT(counts[1].x, cx + 5);
        EXPECT_NEAR(counts[1].y, cy, 3);
        EXPECT_GT(counts[0].count, 5);
        EXPECT_GT(counts[0].y, cy + 5);
        EXPECT_NEAR(counts[0].x, cx, 3);
        if (c.detail == XDetail::kModulated)
            EXPECT_NEAR(counts[1].maximum, 191, 2) << "flat colour at 0.75";
        else
            EXPECT_GT(counts[1].maximum, 200) << "lit";
        // The letters stand beyond the arrow tips (0.25 from the centre): a green X
        // right of the green arrow, a red Y above the red one.
        const int tipX = int(cx + 0.255 / 0.365 * cy), tipY = int(cy + 0.255 / 0.365 * cy);
        const auto beyond = CountColours(picture, XRect(tipX, 0, inside.right, inside.bottom));
        const auto above = CountColours(picture, XRect(0, tipY, inside.right, inside.bottom));
        const bool labels = c.detail == XDetail::kLitWithLabels;
        EXPECT_EQ(beyond[1].count > 5, labels) << beyond[1].count << " green pixels beyond the x arrow";
        EXPECT_EQ(above[0].count > 5, labels) << above[0].count << " red pixels above the y arrow";
    }
}

TEST_F(OrientatorPictureTest, TurnsWithTheVolume)
{
    // A quarter turn about z: x now points up, y to the left.
    const XQuaternion turn = XQuaternion::MakeFromAxisAngle(XMathVectorF3(0, 0, 1), std::numbers::pi / 2);
    const XBGRA32Volume picture = Draw(300, 300, turn, "");
    const auto counts = CountColours(picture, XRect(0, 0, 100, 100));
    EXPECT_GT(counts[1].y, 55);
    EXPECT_NEAR(counts[1].x, 50, 3);
    EXPECT_LT(counts[0].x, 45);
    EXPECT_NEAR(counts[0].y, 50, 3);
    // A quarter turn about y brings z to the right, as the scene (which mirrors z) shows it.
    const XQuaternion side = XQuaternion::MakeFromAxisAngle(XMathVectorF3(0, 1, 0), std::numbers::pi / 2);
    const auto blue = CountColours(Draw(300, 300, side, "_z"), XRect(0, 0, 100, 100))[2];
    EXPECT_GT(blue.count, 10);
    EXPECT_GT(blue.x, 55);
}

TEST_F(OrientatorPictureTest, PutsBackWhatItChanges)
{
    BeginFrame(300, 300);
    const X3DViewport viewport = gc->GetViewport();
    const XMatrix_4x4<float> projection = gc->GetProjection(), view = gc->GetView();
    const XMatrix_4x4<float> world = XMatrix_4x4<float>::MakeTranslation(1, 2, 3);
    gc->SetWorld(world);
    gc->SetCullMode(X3DGC::kCullCounterClockwise);
    gc->SetBlendMode(X3DGC::kBlendMaximum);
    gc->SetDepthTestEnabled(false);
    gc->SetDepthBufferWritesEnabled(false);
    gc->SetVertexDefinition(XVertexTypes::XVertexPositionColour::GetDefinition());
    marker.Render(*gc, state.GetCamera(), XQuaternion::kIdentity);
    EndFrame();
    EXPECT_EQ(gc->GetViewport(), viewport);
    EXPECT_EQ(gc->GetProjection(), projection);
    EXPECT_EQ(gc->GetView(), view);
    EXPECT_EQ(gc->GetWorld(), world);
    EXPECT_EQ(gc->GetCullMode(), X3DGC::kCullCounterClockwise);
    EXPECT_EQ(gc->GetBlendMode(), X3DGC::kBlendMaximum);
    EXPECT_FALSE(gc->GetDepthTestEnabled());
    EXPECT_FALSE(gc->GetDepthBufferWritesEnabled());
    ExpectPutBack(XVertexTypes::XVertexPositionColour::GetDefinition());
}

TEST_F(OrientatorPictureTest, CopiesStartWithoutResources)
{
    marker.LoadGraphicsResources(*gc);
    ASSERT_TRUE(marker.HasGraphicsResources());
    X3DOrientator copy(marker);
    EXPECT_FALSE(copy.HasGraphicsResources());
    X3DOrientator assigned;
    assigned = marker;
    EXPECT_FALSE(assigned.HasGraphicsResources());
}
} // namespace

// Pictures of box-shaped samples: where the box shows, from every side.
#include "SliceStackTestSupport.h"
#include "TestPicture.h"
#include "XSampleDB.h"
#include "XSyntheticSample.h"

#include <algorithm>
#include <cmath>

using namespace SliceStackTest;

namespace {
const X3DRect kBounds(0, 0, 0, 64, 48, 32);
const X3DRect kBox(40, 8, 10, 52, 18, 20);
const XARGB32Colour kWhite(255, 255, 255, 255);

// The picture rectangle the box's eight corners project into.
void ProjectedBox(XVolumeRendererBase& inRenderer, const X3DRect& inBox, int inHeight, double& outLeft, double& outTop,
                  double& outRight, double& outBottom)
{
    outLeft = outTop = 1e9;
    outRight = outBottom = -1e9;
    for (int corner = 0; corner < 8; ++corner) {
        const XPicturePoint p = Project(inRenderer, corner & 1 ? inBox.right : inBox.left,
                                        corner & 2 ? inBox.bottom : inBox.top, corner & 4 ? inBox.back : inBox.front,
                                        inHeight);
        outLeft = std::min(outLeft, p.x);
        outRight = std::max(outRight, p.x);
        outTop = std::min(outTop, p.y);
        outBottom = std::max(outBottom, p.y);
    }
}

class SliceStackBoxTest : public XSliceStackFixture,
                          public ::testing::WithParamInterface<std::pair<const char*, std::pair<int, double>>> {};
} // namespace

// Seen along z, y and x (each draws another stack), the box lights exactly the
// rectangle its corners project to.
TEST_P(SliceStackBoxTest, BoxShowsAtItsProjectedPlaceOnly)
{
    const auto& [name, turn] = GetParam();
    XVolumeRendererBase& renderer = Show(AddBoxSample(kBounds, {{kWhite, {kBox}}}));
    if (turn.second != 0.0)
        Turn(turn.first, turn.second);
    const XARGB32Volume picture = Picture();
    TestPicture::SavePNG(picture, std::string("SliceStack-box-") + name);

    double left, top, right, bottom;
    ProjectedBox(renderer, kBox, picture.GetHeight(), left, top, right, bottom);
    int litLeft, litTop, litRight, litBottom;
    ASSERT_TRUE(LitBounds(picture, 64, litLeft, litTop, litRight, litBottom)) << "nothing drawn";
    // Linear filtering spreads each edge over about one voxel (under 2 pixels here).
    const double tolerance = 2.5;
    EXPECT_NEAR(litLeft, left, tolerance);
    EXPECT_NEAR(litRight + 1, right, tolerance);
    EXPECT_NEAR(litTop, top, tolerance);
    EXPECT_NEAR(litBottom + 1, bottom, tolerance);
    // The inside is bright.
    const XARGB32Colour centre = TestPicture::PixelAt(picture, int((left + right) / 2), int((top + bottom) / 2));
    EXPECT_GT(centre.red, 200);
    EXPECT_GT(centre.green, 200);
    EXPECT_GT(centre.blue, 200);
}

INSTANTIATE_TEST_SUITE_P(Views, SliceStackBoxTest,
                         ::testing::Values(std::make_pair("along-z", std::make_pair(0, 0.0)),
                                           std::make_pair("along-y", std::make_pair(0, 90.0)),
                                           std::make_pair("along-x", std::make_pair(1, 90.0)),
                                           std::make_pair("oblique", std::make_pair(1, 35.0))),
                         [](const auto& inInfo) {
                             std::string n = inInfo.param.first;
                             std::replace(n.begin(), n.end(), '-', '_');
                             return n;
                         });

namespace {
using SliceStackPictureTest = XSliceStackFixture;

// The mean of the brightest component over a square of side 2·inHalf + 1.
double MeanLevel(const XVolume& inPicture, int inX, int inY, int inHalf)
{
    double sum = 0;
    int n = 0;
    for (int y = inY - inHalf; y <= inY + inHalf; ++y)
        for (int x = inX - inHalf; x <= inX + inHalf; ++x) {
            const XARGB32Colour c = TestPicture::PixelAt(inPicture, x, y);
            sum += std::max({c.red, c.green, c.blue});
            ++n;
        }
    return sum / n;
}
} // namespace

TEST_F(SliceStackPictureTest, ChangingTheTimepointMovesTheBox)
{
    const X3DRect later(12, 30, 10, 24, 40, 20);
    XVolumeRendererBase& renderer = Show(AddBoxSample(kBounds, {{kWhite, {kBox, later}}}));
    const XARGB32Volume first = Picture();
    renderer.SetCurrentTimepoint(2);
    const XARGB32Volume second = Picture();
    TestPicture::SavePNG(second, "SliceStack-timepoint-2");

    double left, top, right, bottom;
    ProjectedBox(renderer, later, second.GetHeight(), left, top, right, bottom);
    int litLeft, litTop, litRight, litBottom;
    ASSERT_TRUE(LitBounds(second, 64, litLeft, litTop, litRight, litBottom));
    EXPECT_NEAR(litLeft, left, 2.5);
    EXPECT_NEAR(litRight + 1, right, 2.5);
    EXPECT_NEAR(litTop, top, 2.5);
    EXPECT_NEAR(litBottom + 1, bottom, 2.5);
    // Where the box was is dark now.
    ProjectedBox(renderer, kBox, first.GetHeight(), left, top, right, bottom);
    EXPECT_GT(MeanLevel(first, int((left + right) / 2), int((top + bottom) / 2), 1), 200);
    EXPECT_LT(MeanLevel(second, int((left + right) / 2), int((top + bottom) / 2), 1), 5);
}

// Seen exactly along x, a volume whose z voxels are four times as deep as wide is
// drawn from its x stack: a filled slab shows as one even rectangle, without the
// gaps or stripes of slices seen edge on.
TEST_F(SliceStackPictureTest, AnisotropicVolumeSeenAlongXHasNoGapsOrStripes)
{
    const X3DRect bounds(0, 0, 0, 48, 48, 12);
    const X3DRect slab(20, 8, 2, 28, 40, 10);
    // Dim enough that the slab does not saturate: stripes would show in the levels.
    XChannelBoxes channel{kWhite, {slab}, 100};
    XVolumeRendererBase& renderer = Show(AddBoxSample(bounds, {channel}, 1.0, 1.0, 4.0));
    Turn(1, 90.0);
    const XARGB32Volume picture = Picture();
    TestPicture::SavePNG(picture, "SliceStack-anisotropic-along-x");

    double left, top, right, bottom;
    ProjectedBox(renderer, slab, picture.GetHeight(), left, top, right, bottom);
    ASSERT_GT(right - left, 40) << "the slab's 32 z-units should span much of the picture";
    // Inside by one voxel, past the edges that filtering softens.
    const X3DRect inner(slab.left, slab.top + 1, slab.front + 1, slab.right, slab.bottom - 1, slab.back - 1);
    ProjectedBox(renderer, inner, picture.GetHeight(), left, top, right, bottom);
    // Every pixel well inside the rectangle is lit, and neighbours differ little: a
    // gap or stripe would be a step between two rows or columns.
    int lowest = 255, step = 0;
    for (int y = int(top) + 1; y < int(bottom) - 1; ++y)
        for (int x = int(left) + 1; x < int(right) - 1; ++x) {
            const int c = TestPicture::PixelAt(picture, x, y).red;
            lowest = std::min(lowest, c);
            step = std::max({step, std::abs(c - TestPicture::PixelAt(picture, x + 1, y).red),
                             std::abs(c - TestPicture::PixelAt(picture, x, y + 1).red)});
        }
    EXPECT_GT(lowest, 40);
    EXPECT_LE(step, 4) << "neighbouring pixels differ: slices show as stripes or gaps";
}

// Each slice stands for the stretch of ray between slices, so turning the view across
// the angle where the drawn stack changes leaves the brightness as it was.
TEST_F(SliceStackPictureTest, BrightnessDoesNotJumpWhenTheStackChanges)
{
    const X3DRect bounds(0, 0, 0, 40, 40, 20);
    const X3DRect block(8, 8, 4, 32, 32, 16);
    XChannelBoxes channel{kWhite, {block}, 40};
    Show(AddBoxSample(bounds, {channel}, 1.0, 1.0, 2.0));
    Turn(1, 43.0);
    const XARGB32Volume zStack = Picture();
    Turn(1, 4.0);
    const XARGB32Volume xStack = Picture();
    TestPicture::SavePNG(zStack, "SliceStack-weight-43deg");
    TestPicture::SavePNG(xStack, "SliceStack-weight-47deg");
    const double a = MeanLevel(zStack, 80, 60, 3), b = MeanLevel(xStack, 80, 60, 3);
    EXPECT_GT(a, 30);
    EXPECT_NEAR(a, b, 0.1 * a) << a << " " << b;
}

// The built-in three-channel sample, as the command-line host shows it: every channel
// shows in its colour, and a later timepoint differs.
TEST_F(SliceStackPictureTest, BuiltInSampleShowsEveryChannel)
{
    XVolumeRendererBase& renderer = Show(XSampleDB::GetDB().AddSample(XSyntheticSample::Make()), 320, 240);
    XARGB32Volume picture = Picture(320, 240);
    TestPicture::SavePNG(picture, "SliceStack-built-in-sample");
    EXPECT_GT(TestPicture::CountNonBackground(picture), 5000);
    // Each channel alone lights pixels in its own colour's strongest component.
    for (uint32_t shown = 1; shown <= 3; ++shown) {
        XARGB32Colour colour;
        for (uint32_t c = 1; c <= 3; ++c) {
            XChannelShadeSpecification shading;
            renderer.GetChannelShadeSpecification(c, shading);
            shading.SetVisible(c == shown);
            renderer.SetChannelShadeSpecification(c, shading);
            if (c == shown)
                colour = shading.GetColour();
        }
        const XARGB32Volume alone = Picture(320, 240);
        TestPicture::SavePNG(alone, "SliceStack-built-in-sample-channel-" + std::to_string(shown));
        const int strongest = colour.red >= colour.green && colour.red >= colour.blue ? 0 : colour.green >= colour.blue ? 1 : 2;
        int lit = 0;
        for (int y = 0; y < alone.GetHeight(); ++y)
            for (int x = 0; x < alone.GetWidth(); ++x) {
                const XARGB32Colour p = TestPicture::PixelAt(alone, x, y);
                const int v[3] = {p.red, p.green, p.blue};
                lit += v[strongest] > 20 && v[strongest] >= std::max({v[0], v[1], v[2]}) ? 1 : 0;
            }
        EXPECT_GT(lit, 50) << "channel " << shown;
    }
    for (uint32_t c = 1; c <= 3; ++c) {
        XChannelShadeSpecification shading;
        renderer.GetChannelShadeSpecification(c, shading);
        shading.SetVisible(true);
        renderer.SetChannelShadeSpecification(c, shading);
    }
    renderer.SetCurrentTimepoint(5);
    const XARGB32Volume later = Picture(320, 240);
    TestPicture::SavePNG(later, "SliceStack-built-in-sample-t5");
    EXPECT_GT(TestPicture::CountDifferences(picture, later), 1000);
}

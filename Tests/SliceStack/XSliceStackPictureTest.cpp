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

// Seen along z, y and x (each draws another stack) and obliquely, the box lights just
// the rectangle its corners project to; at the next timepoint it moves.
TEST_F(SliceStackPictureTest, BoxShowsAtItsProjectedPlaceOnlyFromEverySideAndTimepoint)
{
    const X3DRect later(12, 30, 10, 24, 40, 20);
    const uint32_t id = AddBoxSample(kBounds, {{kWhite, {kBox, later}}});
    const struct {
        const char* name;
        int axis;
        double degrees;
    } views[] = {{"along-z", 0, 0.0}, {"along-y", 0, 90.0}, {"along-x", 1, 90.0}, {"oblique", 1, 35.0}};
    for (const auto& view : views) {
        SCOPED_TRACE(view.name);
        XVolumeRendererBase& renderer = Show(id);
        Turn(view.axis, view.degrees);
        const XARGB32Volume picture = Picture();
        TestPicture::SavePNG(picture, std::string("SliceStack-box-") + view.name);
        ExpectLitJustWhereProjected(renderer, picture, kBox);
    }
    XVolumeRendererBase& renderer = Show(id);
    const XARGB32Volume first = Picture();
    renderer.SetCurrentTimepoint(2);
    const XARGB32Volume second = Picture();
    TestPicture::SavePNG(second, "SliceStack-timepoint-2");
    ExpectLitJustWhereProjected(renderer, second, later);
    // Where the box was is dark now.
    const XPicturePoint centre = Project(renderer, 46, 13, 15, first.GetHeight());
    EXPECT_GT(MeanLevel(first, int(centre.x), int(centre.y), 1), 200);
    EXPECT_LT(MeanLevel(second, int(centre.x), int(centre.y), 1), 5);
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
    // Inside by one voxel, past the edges that filtering softens: z 3..9, y 9..39.
    const XPicturePoint a = Project(renderer, 24, 9, 3, picture.GetHeight()), b = Project(renderer, 24, 39, 9, picture.GetHeight());
    const int left = int(std::min(a.x, b.x)), right = int(std::max(a.x, b.x));
    const int top = int(std::min(a.y, b.y)), bottom = int(std::max(a.y, b.y));
    ASSERT_GT(right - left, 30) << "the slab's z-units should span much of the picture";
    // Every pixel well inside the rectangle is lit, and neighbours differ little: a
    // gap or stripe would be a step between two rows or columns.
    int lowest = 255, step = 0;
    for (int y = top + 1; y < bottom - 1; ++y)
        for (int x = left + 1; x < right - 1; ++x) {
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
    XChannelBoxes channel{kWhite, {X3DRect(8, 8, 4, 32, 32, 16)}, 40};
    Show(AddBoxSample(X3DRect(0, 0, 0, 40, 40, 20), {channel}, 1.0, 1.0, 2.0));
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

// The built-in three-channel sample, as the command-line host shows it; a later
// timepoint differs. Each channel's colour and visibility are the shading tests'.
TEST_F(SliceStackPictureTest, BuiltInSampleShowsAndMovesOn)
{
    XVolumeRendererBase& renderer = Show(XSampleDB::GetDB().AddSample(XSyntheticSample::Make()), 320, 240);
    const XARGB32Volume picture = Picture(320, 240);
    TestPicture::SavePNG(picture, "SliceStack-built-in-sample");
    EXPECT_GT(TestPicture::CountNonBackground(picture), 5000);
    renderer.SetCurrentTimepoint(5);
    const XARGB32Volume later = Picture(320, 240);
    TestPicture::SavePNG(later, "SliceStack-built-in-sample-t5");
    EXPECT_GT(TestPicture::CountDifferences(picture, later), 1000);
}

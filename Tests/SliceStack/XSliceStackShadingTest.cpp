// How channels are shaded: mixing, maximum projection, visibility, display range,
// stereo and the volume frame.
#include "SliceStackTestSupport.h"
#include "TestPicture.h"
#include "XDBGetMutableSample.h"
#include "XDataVolumeSequence.h"
#include "XGLContext.h"
#include "XSampleDB.h"

#include <functional>

using namespace SliceStackTest;

namespace {
const X3DRect kBounds(0, 0, 0, 64, 48, 32);
const X3DRect kLeftBox(14, 14, 8, 38, 34, 24);
const X3DRect kRightBox(26, 14, 8, 50, 34, 24);
const XARGB32Colour kRed(255, 255, 0, 0);
const XARGB32Colour kGreen(255, 0, 255, 0);

using SliceStackShadingTest = XSliceStackFixture;

// Picture columns at the middle row: only the left box, both, only the right box.
struct XColumns {
    int leftOnly, both, rightOnly, row;
};

XColumns Columns(XVolumeRendererBase& inRenderer, int inHeight)
{
    const double y = 24, z = 16;
    auto at = [&](double x) { return int(Project(inRenderer, x, y, z, inHeight).x); };
    return XColumns{at(20), at(32), at(44), int(Project(inRenderer, 32, y, z, inHeight).y)};
}

void SetShading(XVolumeRendererBase& inRenderer, uint32_t inChannel, const std::function<void(XChannelShadeSpecification&)>& inChange)
{
    XChannelShadeSpecification shading;
    inRenderer.GetChannelShadeSpecification(inChannel, shading);
    inChange(shading);
    inRenderer.SetChannelShadeSpecification(inChannel, shading);
}

void SetModel(XVolumeRendererBase& inRenderer, uint32_t inChannel, XChannelShadeSpecification::XChannelShaderModel inModel)
{
    SetShading(inRenderer, inChannel, [inModel](XChannelShadeSpecification& s) {
        s.SetShaderModel(inModel);
        s.RemoveProperty(XChannelShadeSpecification::kOpacity);
    });
}

void SetVisible(XVolumeRendererBase& inRenderer, uint32_t inChannel, bool inVisible)
{
    SetShading(inRenderer, inChannel, [inVisible](XChannelShadeSpecification& s) { s.SetVisible(inVisible); });
}
} // namespace

TEST_F(SliceStackShadingTest, FluorescenceChannelsAddUpWhereTheyOverlapAndHiddenOnesDoNotShow)
{
    XVolumeRendererBase& renderer = Show(AddBoxSample(kBounds, {{kRed, {kLeftBox}}, {kGreen, {kRightBox}}}));
    const XARGB32Volume picture = Picture();
    TestPicture::SavePNG(picture, "SliceStack-fluorescence-red-green");
    const XColumns c = Columns(renderer, picture.GetHeight());
    const XARGB32Colour red = TestPicture::PixelAt(picture, c.leftOnly, c.row);
    const XARGB32Colour yellow = TestPicture::PixelAt(picture, c.both, c.row);
    const XARGB32Colour green = TestPicture::PixelAt(picture, c.rightOnly, c.row);
    EXPECT_GT(red.red, 200);
    EXPECT_LT(red.green, 20);
    EXPECT_GT(green.green, 200);
    EXPECT_LT(green.red, 20);
    EXPECT_GT(yellow.red, 200);
    EXPECT_GT(yellow.green, 200);
    EXPECT_LT(yellow.blue, 20);

    SetVisible(renderer, 1, false);
    const XARGB32Volume hidden = Picture();
    TestPicture::SavePNG(hidden, "SliceStack-red-hidden");
    EXPECT_EQ(TestPicture::SpreadOf(hidden, [](const XARGB32Colour& p) { return p.red > 0; }).count, 0);
    EXPECT_GT(TestPicture::PixelAt(hidden, c.rightOnly, c.row).green, 200);
    // Shown again, it is back in the next frame.
    SetVisible(renderer, 1, true);
    EXPECT_GT(TestPicture::PixelAt(Picture(), c.leftOnly, c.row).red, 200);
}

// Where a bright red and a dimmer green box overlap, the maximum projection shows
// the brighter voxel in its own colour, not a mixture.
TEST_F(SliceStackShadingTest, MaximumProjectionShowsTheBrighterChannel)
{
    XChannelBoxes red{kRed, {kLeftBox}, 230};
    XChannelBoxes green{kGreen, {kRightBox}, 120};
    XVolumeRendererBase& renderer = Show(AddBoxSample(kBounds, {red, green}));
    SetModel(renderer, 1, XChannelShadeSpecification::kMaximumIP);
    SetModel(renderer, 2, XChannelShadeSpecification::kMaximumIP);
    const XARGB32Volume picture = Picture();
    TestPicture::SavePNG(picture, "SliceStack-maximum-red-green");
    const XColumns c = Columns(renderer, picture.GetHeight());
    const XARGB32Colour both = TestPicture::PixelAt(picture, c.both, c.row);
    EXPECT_NEAR(both.red, 230, 3);
    EXPECT_LT(both.green, 3);
    const XARGB32Colour greenOnly = TestPicture::PixelAt(picture, c.rightOnly, c.row);
    EXPECT_NEAR(greenOnly.green, 120, 3);
    EXPECT_LT(greenOnly.red, 3);
    // Opaque by default: the level itself, not summed over the box's depth.
    const XARGB32Colour redOnly = TestPicture::PixelAt(picture, c.leftOnly, c.row);
    EXPECT_NEAR(redOnly.red, 230, 3);

    // A narrower display range makes green the brighter channel: the next frame
    // follows the sample without being told.
    {
        XDBGetMutableSample<XDataVolumeSequence> sample(renderer.GetSampleID());
        sample->SetRenderer(2, XImageRenderer(kGreen, 0.0, 120.0));
        sample.Commit();
    }
    const XARGB32Volume narrowed = Picture();
    TestPicture::SavePNG(narrowed, "SliceStack-maximum-green-range-narrowed");
    const XARGB32Colour now = TestPicture::PixelAt(narrowed, c.both, c.row);
    EXPECT_GT(now.green, 250);
    EXPECT_LT(now.red, 3);
}

// A thick region glows with its own level rather than one saturated glow; colour and
// brightness come from the channel's shading.
TEST_F(SliceStackShadingTest, ThickRegionsShowTheirLevelInTheShadingsColourAndBrightness)
{
    XChannelBoxes dim{kRed, {kLeftBox}, 60};
    XVolumeRendererBase& renderer = Show(AddBoxSample(kBounds, {dim}));
    const XARGB32Volume first = Picture();
    const XColumns c = Columns(renderer, first.GetHeight());
    const XARGB32Colour before = TestPicture::PixelAt(first, c.leftOnly, c.row);
    SetShading(renderer, 1, [](XChannelShadeSpecification& s) {
        s.SetColour(XARGB32Colour(255, 0, 0, 255));
        s.SetProperty(XChannelShadeSpecification::kBrightness, 3.0f);
    });
    const XARGB32Colour after = TestPicture::PixelAt(Picture(), c.leftOnly, c.row);
    EXPECT_GT(before.red, 20);
    EXPECT_LT(before.red, 80);
    EXPECT_EQ(before.blue, 0);
    EXPECT_EQ(after.red, 0);
    EXPECT_NEAR(after.blue, 3.0 * before.red, 0.1 * 3.0 * before.red + 2);
}

// Red/cyan stereo shows the left eye only red and the right eye only green and blue:
// a red channel is drawn by its luminance, so the right eye sees it too.
TEST_F(SliceStackShadingTest, RedCyanStereoShowsARedChannelToBothEyes)
{
    XVolumeRendererBase& renderer = Show(AddBoxSample(kBounds, {{kRed, {kLeftBox}}}));
    ASSERT_TRUE(renderer.IsStereoModeSupported(XVolumeRendererBase::XStereoMode(XGLContext::kStereoRedCyan)));
    renderer.SetStereoMode(XVolumeRendererBase::XStereoMode(XGLContext::kStereoRedCyan));
    const XARGB32Volume picture = Picture();
    TestPicture::SavePNG(picture, "SliceStack-red-cyan-stereo");
    EXPECT_GT(TestPicture::SpreadOf(picture, [](const XARGB32Colour& p) { return p.red > 40; }).count, 0);
    EXPECT_GT(TestPicture::SpreadOf(picture, [](const XARGB32Colour& p) { return std::min(p.green, p.blue) > 40; }).count, 0);
}

// Interlaced stereo keeps its eye mask in stencil bit 0 while the maximum projection
// marks painted pixels in bit 1: each eye's rows show that eye's view. The eyes'
// frustums are shifted apart, so a box near the front of a deep volume starts at
// different columns in the two eyes' rows.
TEST_F(SliceStackShadingTest, MaximumProjectionKeepsEachEyeToItsRowsInInterlacedStereo)
{
    const X3DRect deep(0, 0, 0, 64, 48, 64), front(14, 14, 0, 38, 34, 4), beside(44, 14, 20, 56, 34, 40);
    XChannelBoxes glowing{kGreen, {beside}, 60};
    XVolumeRendererBase& renderer = Show(AddBoxSample(deep, {{kRed, {front}, 200}, glowing}), 320, 240);
    SetModel(renderer, 1, XChannelShadeSpecification::kMaximumIP);
    auto firstLit = [](const XVolume& inPicture, int inRow) {
        for (int x = 0; x < inPicture.GetWidth(); ++x)
            if (TestPicture::PixelAt(inPicture, x, inRow).red > 100)
                return x;
        return -1;
    };
    const XARGB32Volume mono = Picture(320, 240);
    const int row = int(Project(renderer, 26, 24, 2, mono.GetHeight()).y);
    const int glowColumn = int(Project(renderer, 50, 24, 30, mono.GetHeight()).x);
    const int glow = TestPicture::PixelAt(mono, glowColumn, row).green;
    renderer.SetStereoMode(XVolumeRendererBase::XStereoMode(XGLContext::kStereoHInterlaced));
    const XARGB32Volume picture = Picture(320, 240);
    TestPicture::SavePNG(picture, "SliceStack-maximum-interlaced-stereo");
    const int even = firstLit(picture, row & ~1), odd = firstLit(picture, row | 1);
    ASSERT_GE(even, 0);
    ASSERT_GE(odd, 0);
    EXPECT_GE(std::abs(even - odd), 1) << "both rows show the same eye";
    for (int r : {row & ~1, row | 1}) {
        EXPECT_NEAR(TestPicture::PixelAt(picture, (even + odd) / 2 + 10, r).red, 200, 3) << "row " << r;
        // Drawn once per eye: a channel blended twice would be brighter on some rows.
        EXPECT_NEAR(TestPicture::PixelAt(picture, glowColumn, r).green, glow, 3) << "row " << r;
    }
}

// Activation-state bit 1 shows the volume's frame.
TEST_F(SliceStackShadingTest, ActivationStateShowsTheVolumeFrame)
{
    XChannelBoxes empty{kRed, {X3DRect()}};
    XVolumeRendererBase& renderer = Show(AddBoxSample(kBounds, {empty}));
    EXPECT_EQ(TestPicture::CountNonBackground(Picture()), 0);
    renderer.ApplyActivationState(1u << 1, false);
    EXPECT_EQ(renderer.GetActivationState(), 1u << 1);
    const XARGB32Volume framed = Picture();
    TestPicture::SavePNG(framed, "SliceStack-volume-frame");
    EXPECT_GT(TestPicture::CountNonBackground(framed), 100);
    renderer.ApplyActivationState(0, false);
    EXPECT_EQ(TestPicture::CountNonBackground(Picture()), 0);
}

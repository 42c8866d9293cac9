// The planes view on real pixels: the selected slices, the merges, outlines, hidden
// channels, reference planes and what a change of state remakes.
#include "XPlanesFixture.h"

#include "X3DPlaneImages.h"
#include "XTexture2D.h"

#include <cmath>
#include <optional>

namespace {
const X3DRect kCube10(0, 0, 0, 10, 10, 10);
const X3DRect kCube4(0, 0, 0, 4, 4, 4);
// Grey level along the tested axis: 20 + 25 x coordinate, so each plane has its own.
uint8_t Ramp(int inCoordinate) { return uint8_t(20 + 25 * inCoordinate); }

struct XView {
    XMathVectorF3 eye, up;
};
const XView kFromFront{{0, 0, 2}, {0, 1, 0}};
const XView kFromBack{{0, 0, -2}, {0, 1, 0}};
const XView kFromRight{{2, 0, 0}, {0, 1, 0}};
const XView kFromBelow{{0, 2, 0}, {0, 0, 1}};

TEST_F(PlanesPictureTest, TheSelectedPlaneOfEachAxisShows)
{
    struct XCase {
        const char* name;
        int axis; // 0 z (XY slice), 1 y (XZ slice), 2 x (YZ slice)
        XRendererStateName state;
        double fraction;
        uint64_t plane;
        XView view;
    };
    // Which plane a fraction selects, clamps included, is the selection test's.
    for (const XCase& c : {XCase{"XY at the back", 0, kSceneStateXYPlane, 1.0, 9, kFromFront},
             XCase{"XY in the middle", 0, kSceneStateXYPlane, 0.5, 4, kFromFront},
             XCase{"XZ", 1, kSceneStateXZPlane, 0.8, 7, kFromBelow},
             XCase{"YZ", 2, kSceneStateYZPlane, 0.3, 2, kFromRight}}) {
        SCOPED_TRACE(c.name);
        const int axis = c.axis;
        Load({{kCube10, XARGB32Colour::kRed, [axis](int x, int y, int z) { return Ramp(axis == 0 ? z : axis == 1 ? y : x); }}});
        Change(c.state, c.fraction);
        const uint64_t selected[3] = {node.GetXYPlane(), node.GetXZPlane(), node.GetYZPlane()};
        EXPECT_EQ(selected[axis], c.plane);
        const XBGRA32Volume picture = Draw(c.view.eye, c.view.up, "planes-selected");
        // A point of the slice away from where the other two cross it.
        const float at = float(c.plane) + 0.5f;
        const XMathVectorF3 point = axis == 0 ? XMathVectorF3(1.5f, 1.5f, at)
            : axis == 1                       ? XMathVectorF3(1.5f, at, 1.5f)
                                              : XMathVectorF3(at, 1.5f, 1.5f);
        EXPECT_EQ(AtVoxel(picture, point), XARGB32Colour(255, Ramp(int(c.plane)), 0, 0));
    }
}

TEST_F(PlanesPictureTest, OverlappingChannelsMergeByTheMergeMode)
{
    struct XCase {
        const char* name;
        int mode;
        std::optional<XARGB32Colour> centre;
    };
    // Red at 200 and yellow at 100 (100, 100, 0), weights 1.
    for (const XCase& c : {XCase{"maximum", 0, XARGB32Colour(255, 200, 100, 0)},
             XCase{"average", 1, XARGB32Colour(255, 150, 50, 0)},
             XCase{"combine", 2, XARGB32Colour(255, 255, 100, 0)}, XCase{"unknown", 3, std::nullopt}}) {
        SCOPED_TRACE(c.name);
        asserts.Clear();
        Load({{kCube4, XARGB32Colour::kRed, Constant(200)}, {kCube4, XARGB32Colour(255, 255, 255, 0), Constant(100)}});
        Change(kSceneStateChannelMergeMode, c.mode);
        const XBGRA32Volume picture = Draw(kFromFront.eye, kFromFront.up, "planes-merge");
        if (c.centre) {
            const XARGB32Colour pixel = AtVoxel(picture, XMathVectorF3(0.8f, 0.8f, 2.5f));
            EXPECT_NEAR(pixel.red, c.centre->red, 1);
            EXPECT_NEAR(pixel.green, c.centre->green, 1);
            EXPECT_EQ(pixel.blue, 0);
            EXPECT_FALSE(asserts.Has("result"));
        } else {
            allowedReports.push_back("result");
            EXPECT_TRUE(asserts.Has("result", "X-Platform/X3DPlaneRenderer"));
            EXPECT_EQ(node.GetTexture(X3DXYZRendererNode::kPlaneXY), nullptr);
            EXPECT_EQ(node.GetTexture(X3DXYZRendererNode::kPlaneXZ), nullptr);
        }
    }
}

TEST_F(PlanesPictureTest, EachSliceIsFramedInItsColour)
{
    Load({{kCube10, XARGB32Colour::kRed, Constant(0)}});
    struct XCase {
        const char* name;
        XView view;
        XMathVectorF3 onFrame;
        XARGB32Colour colour;
    };
    // Frames of the slices seen face-on lie on the bounds; those seen edge-on cross the view.
    for (const XCase& c : {XCase{"XY frame, face-on", kFromFront, {2.5f, 0.0f, 4.5f}, XARGB32Colour::kRed},
             XCase{"XZ frame, edge-on from the front", kFromFront, {2.5f, 4.5f, 10.0f}, XARGB32Colour::kGreen},
             XCase{"YZ frame, edge-on from the front", kFromFront, {4.5f, 2.5f, 10.0f}, XARGB32Colour::kBlue},
             XCase{"YZ frame, face-on", kFromRight, {4.5f, 2.5f, 0.0f}, XARGB32Colour::kBlue},
             XCase{"XZ frame, face-on", kFromBelow, {2.5f, 4.5f, 10.0f}, XARGB32Colour::kGreen}}) {
        SCOPED_TRACE(c.name);
        const XBGRA32Volume picture = Draw(c.view.eye, c.view.up, "planes-frames");
        EXPECT_TRUE(HasColourNear(picture, c.onFrame, c.colour));
    }
}

TEST_F(PlanesPictureTest, HiddenChannelsLeaveTheSlicesAndAllHiddenDrawNothing)
{
    Load({{kCube4, XARGB32Colour::kRed, Constant(200)}, {kCube4, XARGB32Colour::kGreen, Constant(100)}});
    Change(kSceneStateChannelVisible, 0.0, 2);
    XBGRA32Volume picture = Draw(kFromFront.eye, kFromFront.up, "planes-one-hidden");
    EXPECT_EQ(AtVoxel(picture, XMathVectorF3(0.8f, 0.8f, 2.5f)), XARGB32Colour(255, 200, 0, 0));
    Change(kSceneStateChannelVisible, 0.0, 1);
    EXPECT_FALSE(node.IsVisible());
    EXPECT_EQ(node.GetTexture(X3DXYZRendererNode::kPlaneXY), nullptr);
    picture = Draw(kFromFront.eye, kFromFront.up, "planes-all-hidden");
    EXPECT_EQ(TestPicture::CountNonBackground(picture), 0);
    // Shown again, the slices come back without any other change.
    Change(kSceneStateChannelVisible, 1.0, 2);
    EXPECT_TRUE(node.IsVisible());
    picture = Draw(kFromFront.eye, kFromFront.up, "planes-shown-again");
    EXPECT_EQ(AtVoxel(picture, XMathVectorF3(0.8f, 0.8f, 2.5f)), XARGB32Colour(255, 0, 100, 0));
}

TEST_F(PlanesPictureTest, AReferencePlaneCarriesItsOpacityAsAlpha)
{
    const X3DRect plane2(0, 0, 2, 10, 10, 3);
    struct XCase {
        double opacity;
        uint8_t alpha;
    };
    for (const XCase& c : {XCase{0.5, 127}, XCase{1.0, 255}, XCase{3.0, 255}, XCase{-1.0, 0}, XCase{0.1, 25}}) {
        SCOPED_TRACE(c.opacity);
        Load({{kCube10, XARGB32Colour::kGreen, Constant(0)}, {plane2, XARGB32Colour::kRed, Constant(255)}});
        Change(kSceneStateChannelVisible, 0.0, 1);
        Change(kSceneStateReferencePlaneOpacity, c.opacity, 2);
        const auto image = X3DPlaneImages::MakeReferenceImage(*source, 1, {2}, content.GetSettings().GetChannels(),
            X3DPlaneImages::kMergeMaximum);
        ASSERT_NE(image, nullptr);
        EXPECT_EQ(image->GetData()[3], c.alpha);
        // Blended over black, the red of the plane is scaled by it.
        const XBGRA32Volume picture = Draw(kFromFront.eye, kFromFront.up, "planes-reference-alpha");
        EXPECT_NEAR(AtVoxel(picture, XMathVectorF3(1.5f, 1.5f, 2.5f)).red, c.alpha, 1);
    }
}

TEST_F(PlanesPictureTest, ReferencePlanesAreOnePerDepthAndFollowTheData)
{
    const auto plane = [](int inZ) { return X3DRect(0, 0, inZ, 10, 10, inZ + 1); };
    Load({{kCube10, XARGB32Colour::kGreen, Constant(50)}, {plane(1), XARGB32Colour::kRed, Constant(255)},
        {plane(1), XARGB32Colour::kBlue, Constant(255)}, {plane(6), XARGB32Colour::kRed, Constant(255)}});
    EXPECT_EQ(node.GetReferencePlanePositions(), (std::vector<uint32_t>{1, 6}));
    // Both channels of depth 1 in one picture.
    const auto image = X3DPlaneImages::MakeReferenceImage(*source, 1, {2, 3}, content.GetSettings().GetChannels(), 0);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->GetData()[0], 255); // blue
    EXPECT_EQ(image->GetData()[2], 255); // red
    // Every channel of a depth hidden: its plane goes, and nothing is reported.
    Change(kSceneStateChannelVisible, 0.0, 4);
    EXPECT_EQ(node.GetReferencePlanePositions(), (std::vector<uint32_t>{1}));
    // New data: the planes are those of the new channels only.
    Load({{kCube10, XARGB32Colour::kGreen, Constant(50)}, {plane(3), XARGB32Colour::kRed, Constant(255)}});
    EXPECT_EQ(node.GetReferencePlanePositions(), (std::vector<uint32_t>{3}));
    EXPECT_EQ(content.GetSettings().GetChannels().size(), 2u);
}

TEST_F(PlanesPictureTest, ReferencePlanesAreDrawnBackToFront)
{
    const auto plane = [](int inZ) { return X3DRect(0, 0, inZ, 10, 10, inZ + 1); };
    Load({{kCube10, XARGB32Colour::kBlue, Constant(0)}, {plane(1), XARGB32Colour::kRed, Constant(255)},
        {plane(3), XARGB32Colour::kGreen, Constant(255)}, {plane(5), XARGB32Colour::kBlue, Constant(255)}});
    Change(kSceneStateChannelVisible, 0.0, 1);
    struct XOrder {
        float cameraDepth;
        std::vector<uint32_t> order;
    };
    for (const XOrder& c : {XOrder{10.0f, {1, 3, 5}}, XOrder{-5.0f, {5, 3, 1}}, XOrder{3.5f, {1, 5}}, XOrder{4.0f, {1, 3, 5}},
             XOrder{2.0f, {1, 5, 3}}}) {
        EXPECT_EQ(node.GetReferenceDrawOrder(c.cameraDepth), c.order) << "camera at depth " << c.cameraDepth;
    }
    // On pixels: with all three at half opacity the nearest plane shows most.
    for (uint32_t channel = 2; channel <= 4; ++channel)
        Change(kSceneStateReferencePlaneOpacity, 0.5, channel);
    struct XSide {
        const char* name;
        XView view;
        uint8_t XARGB32Colour::*nearest;
        uint8_t XARGB32Colour::*farthest;
    };
    for (const XSide& s : {XSide{"from the front", kFromFront, &XARGB32Colour::blue, &XARGB32Colour::red},
             XSide{"from the back", kFromBack, &XARGB32Colour::red, &XARGB32Colour::blue}}) {
        SCOPED_TRACE(s.name);
        const XBGRA32Volume picture = Draw(s.view.eye, s.view.up, "planes-reference-order");
        const XARGB32Colour pixel = AtVoxel(picture, XMathVectorF3(1.5f, 1.5f, 3.5f));
        // 255 x 0.5 for the nearest, x 0.25 for the middle, x 0.125 for the farthest.
        EXPECT_NEAR(pixel.*s.nearest, 127, 2);
        EXPECT_NEAR(pixel.green, 64, 2);
        EXPECT_NEAR(pixel.*s.farthest, 32, 2);
    }
}

TEST_F(PlanesPictureTest, AChangeRemakesOnlyTheSlicesItTouches)
{
    Load({{kCube10, XARGB32Colour::kRed, Constant(200)}, {kCube10, XARGB32Colour::kGreen, Constant(100)}});
    struct XCase {
        const char* name;
        XRendererStateName state;
        X3DMatrix value;
        uint32_t channel;
        uint64_t remade;
    };
    const auto scalar = [](double inValue) { return XRenderer::MakeScalarStateValue(inValue); };
    for (const XCase& c : {XCase{"opacity of a sliced channel", kSceneStateReferencePlaneOpacity, scalar(0.3), 1, 0},
             XCase{"the same depth again", kSceneStateXYPlane, scalar(0.5), 0, 0},
             XCase{"depth", kSceneStateXYPlane, scalar(0.9), 0, 1},
             XCase{"row", kSceneStateXZPlane, scalar(0.1), 0, 1},
             XCase{"column given as a vector, ignored", kSceneStateYZPlane, X3DMatrix(2, 1, 0.9), 0, 0},
             XCase{"weight", kSceneStateMergeWeight, scalar(0.5), 1, 3},
             XCase{"merge mode", kSceneStateChannelMergeMode, scalar(1), 0, 3},
             XCase{"a channel hidden", kSceneStateChannelVisible, scalar(0), 2, 3},
             XCase{"planes hidden", kSceneStatePlanes, scalar(0), 0, 3}}) {
        SCOPED_TRACE(c.name);
        const uint64_t before = content.GetSliceTexturesMade();
        const uint64_t column = node.GetYZPlane();
        Change(c.state, c.value, c.channel);
        EXPECT_EQ(content.GetSliceTexturesMade() - before, c.remade);
        EXPECT_EQ(node.GetYZPlane(), column);
    }
    EXPECT_FALSE(node.IsVisible()) << "state 8 off hides the planes";
}
} // namespace

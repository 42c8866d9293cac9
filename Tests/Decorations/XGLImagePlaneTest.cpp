// The image plane: the picture fills the square, the right way round, from both sides.
#include "DecorationTestSupport.h"
#include "XARGB32Volume.h"
#include "XGLColourAttachment.h"
#include "XGLDisableAttachment.h"
#include "XGLImagePlane.h"

#include <cstring>
#include <gtest/gtest.h>

using namespace DecorationTest;

namespace {
// 300 × 200: top left red, top right green, bottom left blue, bottom right white.
std::unique_ptr<XARGB32Volume> MakeQuadrants()
{
    auto picture = std::make_unique<XARGB32Volume>(300, 200, 1);
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 300; ++x) {
            const XARGB32Colour c = y < 100 ? (x < 150 ? XARGB32Colour::kRed : XARGB32Colour::kGreen)
                                            : (x < 150 ? XARGB32Colour::kBlue : XARGB32Colour::kWhite);
            std::memcpy(picture->GetVoxelPtr(x, y, 0), &c, 4);
        }
    return picture;
}

// 200 × 200 orthographic with the plane scaled to 160 pixels: it covers 20 to 180, and
// the quadrant centres lie at 60 and 140.
class XGLImagePlanePictureTest : public ::testing::Test {
protected:
    XGLImagePlanePictureTest() : itsWindow(200, 200)
    {
        itsWindow.SetProjectionMode(XGLContext::kOrthographic);
        itsPlane.SetScale(1.6);
        itsPlane.AddAttachment(new XGLDisableAttachment(GL_LIGHTING));
        itsPlane.AddAttachment(new XGLColourAttachment(1.0, 1.0, 1.0, 1.0));
        std::unique_ptr<XARGB32Volume> picture = MakeQuadrants();
        itsPlane.SetVolume(picture.get());
    }
    std::unique_ptr<XVolume> Draw(double inTurnDegrees, const char* inImage)
    {
        XGLMatrix turn;
        turn.RotateY(inTurnDegrees);
        itsPlane.SetRotation(turn);
        std::unique_ptr<XVolume> picture = Picture(itsWindow, itsPlane);
        SavePNG(*picture, inImage);
        return picture;
    }
    WGLWnd itsWindow;
    XGLImagePlane itsPlane;
};
} // namespace

TEST_F(XGLImagePlanePictureTest, ThePictureFillsTheSquareAndEachPointStaysInPlaceFromBehind)
{
    std::unique_ptr<XVolume> front = Draw(0.0, "image-plane-front");
    // Only the picture's part of the 512 × 256 texture is shown, stretched over the square.
    EXPECT_EQ(PixelAt(*front, 60, 60), XARGB32Colour::kRed);
    EXPECT_EQ(PixelAt(*front, 140, 60), XARGB32Colour::kGreen);
    EXPECT_EQ(PixelAt(*front, 60, 140), XARGB32Colour::kBlue);
    EXPECT_EQ(PixelAt(*front, 140, 140), XARGB32Colour::kWhite);
    EXPECT_EQ(PixelAt(*front, 176, 176), XARGB32Colour::kWhite) << "the texture's empty part was shown";
    EXPECT_TRUE(IsBackground(PixelAt(*front, 10, 100)));
    EXPECT_TRUE(IsBackground(PixelAt(*front, 190, 100)));

    // Turned half round about y, the plane's left edge is on the right: the picture is
    // seen through, as a slide from behind, with its top still at the top.
    std::unique_ptr<XVolume> back = Draw(180.0, "image-plane-back");
    EXPECT_EQ(PixelAt(*back, 140, 60), XARGB32Colour::kRed);
    EXPECT_EQ(PixelAt(*back, 60, 60), XARGB32Colour::kGreen);
    EXPECT_EQ(PixelAt(*back, 140, 140), XARGB32Colour::kBlue);
    EXPECT_EQ(PixelAt(*back, 60, 140), XARGB32Colour::kWhite);
    // Edge-on at a slant both faces still draw; nothing shows black through the other.
    std::unique_ptr<XVolume> slant = Draw(120.0, "image-plane-slanted");
    EXPECT_EQ(PixelAt(*slant, 100 + 20, 60), XARGB32Colour::kRed);
    EXPECT_EQ(PixelAt(*slant, 100 - 20, 140), XARGB32Colour::kWhite);
}

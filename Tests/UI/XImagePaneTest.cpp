#include "XAssertRecorder.h"
#include "XBGRA32Volume.h"
#include "XGrey8Volume.h"
#include "XHintAlert.h"
#include "XImagePane.h"
#include "XListener.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace {
std::shared_ptr<XGrey8Volume> MakePicture(int32_t inWidth, int32_t inHeight)
{
    return std::make_shared<XGrey8Volume>(X3DRect(0, 0, 0, inWidth, inHeight, 1));
}

class XZoomListener : public XListener {
public:
    std::vector<double> itsScales;
    void HandleMessage(const XMessage& inMessage) override
    {
        if (auto* zoom = dynamic_cast<const XImagePane::XMessageZoomChanged*>(&inMessage))
            itsScales.push_back(zoom->GetScale());
    }
};
} // namespace

TEST(XImagePane, ZoomToFitScalesAndCentresUntilSwitchedOff)
{
    struct Case {
        XRect pane;
        int32_t width, height;
        double scale;
        XRect dest;
    };
    for (const Case& c : {Case{XRect(0, 0, 200, 100), 50, 50, 2.0, XRect(50, 0, 150, 100)},
                          Case{XRect(0, 0, 100, 100), 400, 200, 0.25, XRect(0, 25, 100, 75)},
                          Case{XRect(0, 0, 100, 100), 1, 1, 64.0, XRect(18, 18, 82, 82)},
                          Case{XRect(0, 0, 10, 10), 6400, 100, 1.0 / 64.0, XRect(-45, 4, 55, 6)}}) {
        XImagePane pane(c.pane);
        pane.SetImage(MakePicture(c.width, c.height));
        EXPECT_DOUBLE_EQ(pane.GetScale(), c.scale) << c.width << " x " << c.height;
        EXPECT_EQ(pane.CalcImageDestBounds(), c.dest) << c.width << " x " << c.height;
    }

    XImagePane first(XRect(0, 0, 100, 100));
    XImagePane second(XRect(0, 0, 100, 100));
    first.SetImage(MakePicture(50, 50));
    second.SetImage(MakePicture(25, 25));
    XImagePane::DisableZoomToFitForAllImagePanes();
    EXPECT_FALSE(first.IsZoomToFit());
    EXPECT_FALSE(second.IsZoomToFit());
    second.ResizePane(200, 200);
    EXPECT_DOUBLE_EQ(second.GetScale(), 4.0) << "no longer fitted to its new size";
    second.SetZoomToFit(true);
    EXPECT_DOUBLE_EQ(second.GetScale(), 8.0);
}

TEST(XImagePane, ScalingAboutAPointKeepsThePictureUnderIt)
{
    XImagePane pane(XRect(0, 0, 300, 200));
    pane.SetImage(MakePicture(100, 100));
    pane.SetZoomToFit(false);
    XZoomListener zooms;
    zooms.Subscribe(pane);
    struct Case {
        double scale;
        XPoint about;
    };
    for (const Case& c : {Case{4.0, XPoint(120, 80)}, Case{0.5, XPoint(10, 190)}, Case{64.0, XPoint(299, 0)},
                          Case{1.0 / 64.0, XPoint(150, 100)}, Case{3.0, XPoint(0, 0)}}) {
        const double before = pane.GetScale();
        const X3DPoint under = pane.Translate2DTo3D(c.about);
        ASSERT_TRUE(pane.SetScale(c.scale, c.about));
        EXPECT_DOUBLE_EQ(pane.GetScale(), c.scale);
        const X3DPoint after = pane.Translate2DTo3D(c.about);
        // A pixel covers 1 / scale voxels, and the drawn rectangle is rounded to whole pixels.
        const double tolerance = 1.0 + 1.0 / before + 1.0 / c.scale;
        EXPECT_LE(std::abs(after.x - under.x), tolerance) << c.scale;
        EXPECT_LE(std::abs(after.y - under.y), tolerance) << c.scale;
    }
    const double before = pane.GetScale();
    for (double bad : {128.0, 1.0 / 128.0, 0.0, -2.0, std::nan("")})
        EXPECT_FALSE(pane.SetScale(bad, XPoint(5, 5))) << bad;
    EXPECT_DOUBLE_EQ(pane.GetScale(), before);
    EXPECT_EQ(zooms.itsScales, (std::vector<double>{4.0, 0.5, 64.0, 1.0 / 64.0, 3.0}));
}

TEST(XImagePane, PointsMapToTheDataInEachPlaneMode)
{
    const X3DRect data(10, 20, 30, 50, 40, 38); // 40 wide, 20 high, 8 deep
    struct Case {
        uint32_t mode;
        int32_t plane;
        XPoint point;
        X3DPoint picture;
        X3DPoint volume;
    };
    // Scale 2: each voxel is 2 x 2 pixels, the picture's corner at the pane's.
    for (const Case& c : {Case{0, 33, XPoint(0, 0), X3DPoint(10, 20, 33), X3DPoint(10, 20, 33)},
                          Case{0, 33, XPoint(79, 39), X3DPoint(49, 39, 33), X3DPoint(49, 39, 33)},
                          Case{1, 25, XPoint(5, 9), X3DPoint(12, 34, 25), X3DPoint(12, 25, 34)},
                          Case{2, 11, XPoint(15, 3), X3DPoint(37, 21, 11), X3DPoint(11, 21, 37)},
                          Case{2, 11, XPoint(-1, 0), X3DPoint(29, 20, 11), X3DPoint(11, 20, 29)}}) {
        XImagePane pane(XRect(0, 0, 300, 300));
        pane.SetZoomToFit(false);
        pane.SetPlane(c.mode, data, c.plane);
        ASSERT_TRUE(pane.SetScale(2.0, XPoint(0, 0)));
        const X3DPoint picture = pane.Translate2DTo3D(c.point);
        EXPECT_EQ(picture, c.picture) << "mode " << c.mode;
        EXPECT_EQ(XImagePane::PictureToVolumeAxes(picture, c.mode), c.volume) << "mode " << c.mode;
        EXPECT_EQ(XImagePane::PictureToVolumeAxes(c.volume, c.mode), picture) << "the exchange undoes itself";
        const XPoint centre = pane.Translate3DTo2D(picture);
        EXPECT_EQ(pane.Translate2DTo3D(centre), picture) << "mode " << c.mode;
    }
    XAssertRecorder asserts;
    XImagePane pane(XRect(0, 0, 10, 10));
    pane.SetPlane(3, data, 0);
    EXPECT_EQ(pane.GetPlaneMode(), 0u);
    EXPECT_EQ(asserts.GetCount(), 1u);
}

TEST(XImagePane, DrawsThePictureWithVisibleVoxelsWhenEnlarged)
{
    auto picture = std::make_shared<XGrey8Volume>(X3DRect(0, 0, 0, 2, 1, 1));
    picture->SetVoxel(0, 0, 0, 255);
    XImagePane pane(XRect(0, 0, 40, 20));
    pane.SetImage(picture);
    pane.RedrawCanvas(true);
    std::unique_ptr<XBGRA32Volume> image = pane.CopyImage();
    EXPECT_EQ(pane.CalcImageDestBounds(), XRect(0, 0, 40, 20));
    EXPECT_EQ(image->GetVoxel(19, 10), XBGRA32Colour(255, 255, 255, 255));
    EXPECT_EQ(image->GetVoxel(20, 10), XBGRA32Colour(0, 0, 0, 255)) << "no blur across the voxel edge";
}

TEST(XHintAlert, ShownAlertsReachListenersAndAreKept)
{
    struct XAlertListener : XListener {
        std::vector<XHintAlert> alerts;
        void HandleMessage(const XMessage& inMessage) override
        {
            if (auto* alert = dynamic_cast<const XHintAlert::XMessageHintAlert*>(&inMessage))
                alerts.push_back(alert->GetAlert());
        }
    } listener;
    listener.Subscribe(XHintAlert::GetAlertSpeaker());
    const uint64_t before = XHintAlert::GetShownCount();
    const XHintAlert alert(XHintAlert::kHintAlertCannotEnlarge, "This image cannot be made any larger",
                           "The maximum zoom level is 64x or 6400%");
    alert.Show();
    EXPECT_EQ(listener.alerts, std::vector<XHintAlert>{alert});
    EXPECT_EQ(XHintAlert::GetLastShownAlert(), alert);
    EXPECT_EQ(XHintAlert::GetShownCount(), before + 1);
}

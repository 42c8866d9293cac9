#include "SliceStackTestSupport.h"

#include "TestPicture.h"
#include "X3DMatrix.h"
#include "XAppMessageCentre.h"
#include "XCamera.h"
#include "XDataVolumeSequence.h"
#include "XGLVolumeRenderer.h"
#include "XGrey8Volume.h"
#include "XModuleManager.h"
#include "XSampleDB.h"

#include <algorithm>
#include <cmath>

namespace SliceStackTest {

uint32_t AddBoxSample(const X3DRect& inBounds, const std::vector<XChannelBoxes>& inChannels, double inCalibrationX,
                      double inCalibrationY, double inCalibrationZ)
{
    const uint32_t timepoints = uint32_t(inChannels.front().boxPerTimepoint.size());
    auto sequence = std::make_unique<XDataVolumeSequence>(uint32_t(inChannels.size()), timepoints);
    for (uint32_t c = 1; c <= inChannels.size(); ++c) {
        const XChannelBoxes& channel = inChannels[c - 1];
        sequence->SetRenderer(c, XImageRenderer(channel.colour, 0.0, 255.0));
        for (uint32_t t = 1; t <= timepoints; ++t) {
            auto volume = std::make_shared<XGrey8Volume>(inBounds);
            const X3DRect& box = channel.boxPerTimepoint[t - 1];
            for (int32_t z = box.front; z < box.back; ++z)
                for (int32_t y = box.top; y < box.bottom; ++y)
                    for (int32_t x = box.left; x < box.right; ++x)
                        volume->SetVoxel(x - inBounds.left, y - inBounds.top, z - inBounds.front, channel.level);
            sequence->SetVolume(c, t, volume);
        }
        for (uint32_t t = 1; t <= timepoints; ++t)
            sequence->SetTimepointTime(t, XTime(10.0 * (t - 1)));
    }
    sequence->SetCalibration(inCalibrationX, inCalibrationY, inCalibrationZ);
    return XSampleDB::GetDB().AddSample(std::move(sequence));
}

XPicturePoint Project(XVolumeRendererBase& inRenderer, double inX, double inY, double inZ, int inPictureHeight)
{
    auto* renderer = dynamic_cast<XGLVolumeRenderer*>(&inRenderer);
    EXPECT_NE(renderer, nullptr) << "the slice-stack renderer derives from XGLVolumeRenderer";
    if (!renderer)
        return {};
    // The unit cube's last world-to-screen matrix maps its voxel frame to the window.
    const X3DMatrix& toScreen = renderer->GetVolumeScene().GetUnitCube().GetLastWorldToScreenMatrix();
    const X3DMatrix p = toScreen * X3DMatrix::ColumnVector({inX, inY, inZ, 1.0});
    const double w = p(3, 0);
    return XPicturePoint{p(0, 0) / w, inPictureHeight - p(1, 0) / w};
}

void ExpectLitJustWhereProjected(XVolumeRendererBase& inRenderer, const XVolume& inPicture, const X3DRect& inBox)
{
    double left = 1e9, top = 1e9, right = -1e9, bottom = -1e9;
    for (int corner = 0; corner < 8; ++corner) {
        const XPicturePoint p = Project(inRenderer, corner & 1 ? inBox.right : inBox.left, corner & 2 ? inBox.bottom : inBox.top,
                                        corner & 4 ? inBox.back : inBox.front, inPicture.GetHeight());
        left = std::min(left, p.x), right = std::max(right, p.x);
        top = std::min(top, p.y), bottom = std::max(bottom, p.y);
    }
    const TestPicture::XSpread lit = TestPicture::SpreadOf(
        inPicture, [](const XARGB32Colour& c) { return c.red > 64 || c.green > 64 || c.blue > 64; });
    ASSERT_GT(lit.count, 0) << "nothing drawn";
    EXPECT_NEAR(lit.left, left, 2.5);
    EXPECT_NEAR(lit.right + 1, right, 2.5);
    EXPECT_NEAR(lit.top, top, 2.5);
    EXPECT_NEAR(lit.bottom + 1, bottom, 2.5);
    // The inside is bright.
    const XARGB32Colour centre = TestPicture::PixelAt(inPicture, int((left + right) / 2), int((top + bottom) / 2));
    EXPECT_GT(std::min({centre.red, centre.green, centre.blue}), 200);
}

void XSliceStackFixture::SetUp()
{
    XModuleManager& modules = XModuleManager::GetModuleManager();
    modules.LoadModulesFrom(KESTRIN_SLICE_STACK_MODULE_DIR);
    itsRegistry = std::make_unique<XVolumeRendererManager>();
    XAppMessageCentre::GetAppMessageCentre().SendAppInitialised();
    XAppMessageCentre::GetAppMessageCentre().ProcessMessages();
}

void XSliceStackFixture::TearDown()
{
    itsView.reset();
    itsRenderer = nullptr;
    itsRegistry.reset();
    XSampleDB::GetDB().Clear();
}

XVolumeRendererBase& XSliceStackFixture::Show(uint32_t inSampleID, int inWidth, int inHeight)
{
    itsView = std::make_unique<WOffscreenRendererView>(inWidth, inHeight);
    itsRegistry->AttachRenderer(kSliceStackID, *itsView);
    itsRenderer = itsView->GetVolumeRenderer();
    EXPECT_NE(itsRenderer, nullptr);
    itsRenderer->ShowFloor(false);
    itsRenderer->ShowOrientator(false);
    // Close enough that the volume fills most of the picture.
    itsRenderer->SetCamera(XCamera(XMathVectorF3(0.0f, 0.0f, 2.2f), XMathVectorF3(0.0f, 0.0f, 0.0f),
                                   XMathVectorF3(0.0f, 1.0f, 0.0f)));
    itsRenderer->SetSampleID(inSampleID);
    itsRenderer->SetActive(true);
    return *itsRenderer;
}

XARGB32Volume XSliceStackFixture::Picture(int inWidth, int inHeight)
{
    XARGB32Volume picture(inWidth, inHeight, 1);
    itsRenderer->Render(picture);
    return picture;
}

void XSliceStackFixture::Turn(int inAxis, double inDegrees)
{
    const double radians = inDegrees * M_PI / 180.0;
    const X3DMatrix axis = X3DMatrix::ColumnVector(inAxis == 0 ? 1 : 0, inAxis == 1 ? 1 : 0, inAxis == 2 ? 1 : 0);
    X3DMatrix m;
    itsRenderer->GetVolumeWorldMatrix(m);
    itsRenderer->SetVolumeWorldMatrix(X3DMatrix::RotationMatrix(axis, radians) * m);
}

} // namespace SliceStackTest

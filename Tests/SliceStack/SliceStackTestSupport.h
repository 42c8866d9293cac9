#pragma once
// The slice-stack module as a host meets it: loaded from its folder by the module
// manager, registered when the application has initialised, attached to an offscreen
// view. Helpers make box-shaped samples and find where voxels land in a picture.
#include "WOffscreenRendererView.h"
#include "XARGB32Colour.h"
#include "XARGB32Volume.h"
#include "X3DRect.h"
#include "XVolumeRendererBase.h"
#include "XVolumeRendererManager.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace SliceStackTest {

constexpr uint32_t kSliceStackID = 1001;

// One channel of a test sample: boxes of one level in a black volume, per timepoint.
struct XChannelBoxes {
    XARGB32Colour colour;
    std::vector<X3DRect> boxPerTimepoint; // one box for each timepoint
    uint8_t level = 255;
};

// A sample of 8-bit channels of the given size; returns its database ID.
uint32_t AddBoxSample(const X3DRect& inBounds, const std::vector<XChannelBoxes>& inChannels,
                      double inCalibrationX = 1.0, double inCalibrationY = 1.0, double inCalibrationZ = 1.0);

// Where a voxel-frame point lands in the last picture (column, row from the top).
struct XPicturePoint {
    double x = 0, y = 0;
};
XPicturePoint Project(XVolumeRendererBase& inRenderer, double inX, double inY, double inZ, int inPictureHeight);

// Expects the pixels brighter than 64 in any component to fill just the rectangle
// inBox's corners project to, within linear filtering's spread of about one voxel.
void ExpectLitJustWhereProjected(XVolumeRendererBase& inRenderer, const XVolume& inPicture, const X3DRect& inBox);

// Loads the module, makes the registry and lets the module register.
class XSliceStackFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A slice-stack renderer in an offscreen view of the given size, showing inSampleID,
    // active, with the floor and orientation marker hidden so only the volume draws.
    XVolumeRendererBase& Show(uint32_t inSampleID, int inWidth = 160, int inHeight = 120);
    XARGB32Volume Picture(int inWidth = 160, int inHeight = 120);
    // The volume turned by inDegrees about the scene axis (0 x, 1 y, 2 z).
    void Turn(int inAxis, double inDegrees);

    std::unique_ptr<XVolumeRendererManager> itsRegistry;
    std::unique_ptr<WOffscreenRendererView> itsView;
    XVolumeRendererBase* itsRenderer = nullptr;
};

} // namespace SliceStackTest

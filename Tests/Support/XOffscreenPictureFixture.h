#pragma once
// An OpenGL device drawing into an offscreen target, for tests that look at the pixels
// it draws. The target is read back as OpenGL counts (row 0 at the bottom); pictures are
// kept upright for a failing test, and KESTRIN_KEEP_PICTURES=DIR writes every one into
// DIR for a person to look at. Internal-error reports fail the test unless allowed.
#include "X3DGC.h"
#include "X3DGCOffscreenTarget.h"
#include "X3DGCScopedLock.h"
#include "X3DRenderSystemManager.h"
#include "XARGB32Volume.h"
#include "XAssertRecorder.h"
#include "XBGRA32Volume.h"
#include "TestPicture.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

class OffscreenPictureTest : public ::testing::Test {
protected:
    explicit OffscreenPictureTest(int inWidth = 64, int inHeight = 64) : itsWidth(inWidth), itsHeight(inHeight) {}

    void SetUp() override;
    void TearDown() override;

    // Makes the target inWidth x inHeight, unless it is already.
    void UseTargetOfSize(int inWidth, int inHeight);
    // Attaches inTarget and begins a frame with the viewport over all of it.
    void BeginFrameOn(X3DGCRenderTarget& inTarget);
    // Ends the frame and reads inTarget back, keeping it as inName (the test's name when empty).
    XBGRA32Volume EndFrameOn(X3DGCOffscreenTarget& inTarget, const std::string& inName = std::string());

    // Column x, row y counted from the bottom, opaque.
    static XARGB32Colour At(const XVolume& inPicture, int inX, int inY);
    // As a person looks at a read-back: top row first, opaque.
    static XARGB32Volume Upright(const XVolume& inPicture);

    XAssertRecorder asserts;
    std::vector<std::string> allowedReports; // conditions a test expects to be reported
    std::unique_ptr<X3DRenderSystemManager> manager; // the module registers the OpenGL render system with it
    std::unique_ptr<X3DGC> gc;
    std::unique_ptr<X3DGCScopedLock> lock;
    std::unique_ptr<X3DGCOffscreenTarget> target;

private:
    int itsWidth, itsHeight;
};

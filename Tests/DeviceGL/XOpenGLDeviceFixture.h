#pragma once
// An OpenGL device drawing into an offscreen target, with vertices given in pixels of
// that target, and the pixels read back (row 0 at the bottom, as OpenGL counts).
#include "X3DGC.h"
#include "X3DGCOffscreenTarget.h"
#include "X3DGCScopedLock.h"
#include "X3DRenderSystemManager.h"
#include "XBGRA32Volume.h"
#include "XAssertRecorder.h"
#include "TestPicture.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct XPixel {
    int red, green, blue, alpha;
};

// Position and colour, as the device's client arrays take them.
struct XColouredVertex {
    float x, y, z;
    uint8_t rgba[4];
};

class OpenGLDeviceTest : public ::testing::Test {
protected:
    static constexpr int kSize = 64;

    static void SetUpTestSuite()
    {
        // One manager for the process: the module registers the OpenGL render system with it.
        static X3DRenderSystemManager sManager;
    }
    void SetUp() override
    {
        gc = std::make_unique<X3DGC>();
        gc->Initialise();
        lock = std::make_unique<X3DGCScopedLock>(*gc);
        target = std::make_unique<X3DGCOffscreenTarget>(*gc, kSize, kSize);
    }
    void TearDown() override
    {
        gc->AttachRenderTarget(nullptr);
        target->Destroy(*gc);
        target.reset();
        lock.reset();
        for (const auto& report : asserts.GetReports())
            ADD_FAILURE() << "assertion " << report.condition << " in " << report.source;
    }

    // Starts a frame on the target, cleared to inClear, with vertices in target pixels.
    void BeginFrame(const XARGB32Colour& inClear = XARGB32Colour(255, 0, 0, 0))
    {
        BeginFrameOn(*target, inClear);
    }
    void BeginFrameOn(X3DGCRenderTarget& inTarget, const XARGB32Colour& inClear)
    {
        gc->AttachRenderTarget(&inTarget);
        gc->BeginRender();
        const int w = int(inTarget.GetWidth()), h = int(inTarget.GetHeight());
        gc->SetViewport(X3DViewport(XRect(0, 0, w, h)));
        XMatrix_4x4<float> pixels; // row vectors: scale, then translation in row 3
        pixels(0, 0) = 2.0f / float(w);
        pixels(1, 1) = 2.0f / float(h);
        pixels(3, 0) = -1.0f;
        pixels(3, 1) = -1.0f;
        gc->SetProjection(pixels);
        gc->Clear(X3DGC::kClearColour | X3DGC::kClearDepth, inClear, 1.0f, 0);
    }
    XBGRA32Volume EndFrame() { return EndFrameOn(*target); }
    XBGRA32Volume EndFrameOn(X3DGCOffscreenTarget& inTarget)
    {
        gc->EndRender();
        std::unique_ptr<XVolume> volume = inTarget.MakeVolume();
        auto* picture = dynamic_cast<XBGRA32Volume*>(volume.get());
        EXPECT_NE(picture, nullptr);
        XBGRA32Volume result = picture ? *picture : XBGRA32Volume();
        TestPicture::SavePNG(result, ::testing::UnitTest::GetInstance()->current_test_info()->name());
        return result;
    }
    static XPixel At(const XBGRA32Volume& inPicture, int inX, int inY)
    {
        const uint8_t* p = inPicture.GetVoxelPtr(inX, inY, 0);
        return XPixel{p[2], p[1], p[0], p[3]};
    }
    static bool IsLit(const XPixel& inPixel) { return inPixel.red + inPixel.green + inPixel.blue > 60; }

    void UseColouredVertices()
    {
        X3DGC::XVertexDefinition definition;
        definition.stride = sizeof(XColouredVertex);
        definition.elements = {{0, X3DGC::kElementFloat3, X3DGC::kUsagePosition},
                               {12, X3DGC::kElementUByte4, X3DGC::kUsageColour}};
        gc->SetVertexDefinition(definition);
    }

    XAssertRecorder asserts;
    std::unique_ptr<X3DGC> gc;
    std::unique_ptr<X3DGCScopedLock> lock;
    std::unique_ptr<X3DGCOffscreenTarget> target;
};

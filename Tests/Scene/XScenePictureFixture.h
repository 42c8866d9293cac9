#pragma once
// Scene nodes drawn by the OpenGL device into an offscreen target, seen through an
// orthographic view of the square -0.5..0.5 (x to the right, y up), and read back.
#include "X3DGC.h"
#include "X3DGCOffscreenTarget.h"
#include "X3DGCScopedLock.h"
#include "X3DRenderSystemManager.h"
#include "X3DSceneNode.h"
#include "XAssertRecorder.h"
#include "XARGB32Volume.h"
#include "XBGRA32Volume.h"
#include "TestPicture.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

class ScenePictureTest : public ::testing::Test {
protected:
    static constexpr int kSize = 64;

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
        gc.reset();
        for (const auto& report : asserts.GetReports())
            ADD_FAILURE() << "assertion " << report.condition << " in " << report.source;
    }

    // Updates and draws inRoot in every pass; the picture is kept for a failing test.
    XBGRA32Volume Draw(X3DSceneNode& inRoot, const std::string& inName)
    {
        gc->AttachRenderTarget(target.get());
        gc->BeginRender();
        gc->SetViewport(X3DViewport(XRect(0, 0, kSize, kSize)));
        gc->SetProjection(XMatrix_4x4<float>::MakeOrthographic(-0.5f, 0.5f, -0.5f, 0.5f, -2.0f, 2.0f));
        gc->SetView(XMatrix_4x4<float>());
        gc->Clear(X3DGC::kClearColour | X3DGC::kClearDepth, XARGB32Colour::kBlack, 1.0f, 0);
        XSceneRenderState state;
        inRoot.UpdateGeometry(XMatrix_4x4<float>(), state);
        for (uint32_t pass = 0; pass < inRoot.GetSceneRenderPassCount(); ++pass) {
            state.SetRenderPass(pass);
            inRoot.Render(*gc, state);
        }
        gc->EndRender();
        std::unique_ptr<XVolume> volume = target->MakeVolume();
        auto* picture = dynamic_cast<XBGRA32Volume*>(volume.get());
        EXPECT_NE(picture, nullptr);
        XBGRA32Volume result = picture ? *picture : XBGRA32Volume(kSize, kSize, 1);
        TestPicture::SavePNG(Upright(result), inName);
        return result;
    }
    // As a person looks at it: top row first, colours as ARGB.
    static XARGB32Volume Upright(const XBGRA32Volume& inPicture)
    {
        XARGB32Volume upright(inPicture.GetWidth(), inPicture.GetHeight(), 1);
        for (int y = 0; y < inPicture.GetHeight(); ++y)
            for (int x = 0; x < inPicture.GetWidth(); ++x) {
                const XARGB32Colour c = At(inPicture, x, inPicture.GetHeight() - 1 - y);
                std::memcpy(upright.GetVoxelPtr(x, y, 0), &c, 4);
            }
        return upright;
    }
    // Column x, row y counted from the bottom, as the device's y runs.
    static XARGB32Colour At(const XBGRA32Volume& inPicture, int inX, int inY)
    {
        const uint8_t* p = inPicture.GetVoxelPtr(inX, inY, 0);
        return XARGB32Colour(255, p[2], p[1], p[0]);
    }
    // The pixel under scene point (x, y).
    static XARGB32Colour AtScene(const XBGRA32Volume& inPicture, float inX, float inY)
    {
        return At(inPicture, int((inX + 0.5f) * kSize), int((inY + 0.5f) * kSize));
    }

    XAssertRecorder asserts;
    X3DRenderSystemManager manager;
    std::unique_ptr<X3DGC> gc;
    std::unique_ptr<X3DGCScopedLock> lock;
    std::unique_ptr<X3DGCOffscreenTarget> target;
};

#pragma once
// Meshes drawn by the OpenGL device into an offscreen target: voxel coordinates 0..kSpan
// in x and y fill the picture (x to the right, y up), seen along −z, lit from above the
// viewer; pixels read back by voxel position.
#include "X3DCamera.h"
#include "X3DGC.h"
#include "X3DGCOffscreenTarget.h"
#include "X3DGCScopedLock.h"
#include "X3DIsosurfaceMesh.h"
#include "X3DRenderSystemManager.h"
#include "XAssertRecorder.h"
#include "XBGRA32Volume.h"
#include "TestPicture.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

class IsoMeshPictureTest : public ::testing::Test {
protected:
    static constexpr int kSize = 80;
    static constexpr float kSpan = 40.0f; // voxels across the picture

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
    }

    // Draws the meshes (then unloads them); the picture is kept for a failing test.
    XBGRA32Volume Draw(std::initializer_list<X3DIsosurfaceMesh*> inMeshes, const std::string& inName)
    {
        using M = XMatrix_4x4<float>;
        gc->AttachRenderTarget(target.get());
        gc->BeginRender();
        gc->SetViewport(X3DViewport(XRect(0, 0, kSize, kSize)));
        gc->SetProjection(M::MakeOrthographic(-0.5f, 0.5f, -0.5f, 0.5f, -2.0f, 2.0f));
        gc->SetView(M());
        gc->SetWorld(M::MakeScale(1 / kSpan, 1 / kSpan, 1 / kSpan) * M::MakeTranslation(-0.5f, -0.5f, -0.5f));
        gc->SetDepthTestEnabled(true);
        gc->SetDepthBufferWritesEnabled(true);
        gc->Clear(X3DGC::kClearColour | X3DGC::kClearDepth, XARGB32Colour::kBlack, 1.0f, 0);
        X3DCamera camera;
        camera.SetPosition(XMathVectorF3(0, 0, 10));
        for (X3DIsosurfaceMesh* mesh : inMeshes)
            mesh->Render(*gc, camera, XMathVectorF3(0, 10, 10));
        gc->EndRender();
        for (X3DIsosurfaceMesh* mesh : inMeshes)
            mesh->UnloadGraphicsResources(*gc, true);
        std::unique_ptr<XVolume> volume = target->MakeVolume();
        auto* picture = dynamic_cast<XBGRA32Volume*>(volume.get());
        EXPECT_NE(picture, nullptr);
        XBGRA32Volume result = picture ? *picture : XBGRA32Volume(kSize, kSize, 1);
        XARGB32Volume upright(kSize, kSize, 1);
        for (int y = 0; y < kSize; ++y)
            for (int x = 0; x < kSize; ++x) {
                const XARGB32Colour c = At(result, x, kSize - 1 - y);
                std::memcpy(upright.GetVoxelPtr(x, y, 0), &c, 4);
            }
        TestPicture::SavePNG(upright, inName);
        return result;
    }
    void ExpectNoReports()
    {
        for (const auto& report : asserts.GetReports())
            ADD_FAILURE() << "assertion " << report.condition << " in " << report.source << ":" << report.line;
        asserts.Clear();
    }
    // Column x, row y counted from the bottom.
    static XARGB32Colour At(const XBGRA32Volume& inPicture, int inX, int inY)
    {
        const uint8_t* p = inPicture.GetVoxelPtr(inX, inY, 0);
        return XARGB32Colour(255, p[2], p[1], p[0]);
    }
    // The pixel under voxel position (x, y).
    static XARGB32Colour AtVoxel(const XBGRA32Volume& inPicture, float inX, float inY)
    {
        return At(inPicture, int(inX * kSize / kSpan), int(inY * kSize / kSpan));
    }

    XAssertRecorder asserts;
    X3DRenderSystemManager manager;
    std::unique_ptr<X3DGC> gc;
    std::unique_ptr<X3DGCScopedLock> lock;
    std::unique_ptr<X3DGCOffscreenTarget> target;
};

#pragma once
// An OpenGL device drawing scene nodes into an offscreen target of a fixed size, with
// a camera of its own, and the pixels read back (row 0 at the bottom, as OpenGL counts).
// KESTRIN_KEEP_PICTURES=DIR writes every picture, upright, into DIR for a person to look at.
#include "X3DCamera.h"
#include "X3DGC.h"
#include "X3DGCOffscreenTarget.h"
#include "X3DGCScopedLock.h"
#include "X3DRenderSystemManager.h"
#include "X3DSceneNode.h"
#include "XAssertRecorder.h"
#include "XBGRA32Volume.h"
#include "XPNGFile.h"
#include "TestPicture.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

struct XScenePixel {
    int red, green, blue;
    int Brightness() const { return red + green + blue; }
};

class SceneFurnitureTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // A manager for the test, as the other tests of the suite make their own: the
        // module registers the OpenGL render system with every manager.
        manager = std::make_unique<X3DRenderSystemManager>();
        gc = std::make_unique<X3DGC>();
        gc->Initialise();
        lock = std::make_unique<X3DGCScopedLock>(*gc);
    }
    void TearDown() override
    {
        gc->AttachRenderTarget(nullptr);
        if (target)
            target->Destroy(*gc);
        target.reset();
        lock.reset();
        for (const auto& report : asserts.GetReports())
            ADD_FAILURE() << "assertion " << report.condition << " in " << report.source;
    }

    // A frame of inWidth x inHeight cleared to black, drawn with the state's camera.
    void BeginFrame(int inWidth, int inHeight)
    {
        if (!target || int(target->GetWidth()) != inWidth || int(target->GetHeight()) != inHeight) {
            gc->AttachRenderTarget(nullptr);
            if (target)
                target->Destroy(*gc);
            target = std::make_unique<X3DGCOffscreenTarget>(*gc, inWidth, inHeight);
        }
        gc->AttachRenderTarget(target.get());
        gc->BeginRender();
        X3DCamera camera = state.GetCamera();
        X3DViewport viewport = camera.GetViewport();
        viewport.SetRect(XRect(0, 0, inWidth, inHeight));
        camera.SetViewport(viewport);
        state.SetCamera(camera);
        gc->SetViewport(viewport);
        gc->SetView(camera.GetViewMatrix());
        gc->SetProjection(camera.GetProjectionMatrix());
        gc->SetWorld(XMatrix_4x4<float>());
        // As the renderer draws its scene: both sides of every face.
        gc->SetCullMode(X3DGC::kCullNone);
        gc->Clear(X3DGC::kClearColour | X3DGC::kClearDepth, XARGB32Colour::kBlack, 1.0f, 0);
    }
    // Draws the tree as the renderer does: geometry from the identity, then each pass.
    void RenderTree(X3DSceneNode& inRoot)
    {
        inRoot.UpdateGeometry(XMatrix_4x4<float>(), state);
        for (uint32_t pass = 0; pass < inRoot.GetSceneRenderPassCount(); ++pass) {
            state.SetRenderPass(pass);
            inRoot.Render(*gc, state);
        }
        state.SetRenderPass(0);
    }
    XBGRA32Volume EndFrame(const std::string& inSuffix = std::string())
    {
        gc->EndRender();
        std::unique_ptr<XVolume> volume = target->MakeVolume();
        auto* picture = dynamic_cast<XBGRA32Volume*>(volume.get());
        EXPECT_NE(picture, nullptr);
        XBGRA32Volume result = picture ? *picture : XBGRA32Volume();
        const std::string name = std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + inSuffix;
        TestPicture::SavePNG(Upright(result), name);
        if (const char* dir = std::getenv("KESTRIN_KEEP_PICTURES"))
            XPNGFile::Write(std::string(dir) + "/" + name + ".png", Upright(result));
        return result;
    }
    static XBGRA32Volume Upright(const XBGRA32Volume& inPicture)
    {
        XBGRA32Volume upright(inPicture.GetWidth(), inPicture.GetHeight(), 1);
        for (int y = 0; y < inPicture.GetHeight(); ++y)
            std::memcpy(upright.GetVoxelPtr(0, inPicture.GetHeight() - 1 - y, 0), inPicture.GetVoxelPtr(0, y, 0),
                size_t(inPicture.GetWidth()) * 4);
        return upright;
    }
    static XScenePixel At(const XBGRA32Volume& inPicture, int inX, int inY)
    {
        const uint8_t* p = inPicture.GetVoxelPtr(inX, inY, 0);
        return XScenePixel{p[2], p[1], p[0]};
    }
    // The brightest pixel within inRadius of (x, y): lines land on whole pixels only
    // within a pixel of where the maths puts them.
    static XScenePixel BrightestNear(const XBGRA32Volume& inPicture, int inX, int inY, int inRadius = 1)
    {
        XScenePixel best{0, 0, 0};
        for (int y = inY - inRadius; y <= inY + inRadius; ++y)
            for (int x = inX - inRadius; x <= inX + inRadius; ++x)
                if (x >= 0 && y >= 0 && x < inPicture.GetWidth() && y < inPicture.GetHeight() &&
                    At(inPicture, x, y).Brightness() > best.Brightness())
                    best = At(inPicture, x, y);
        return best;
    }
    // The rectangle of pixels brighter than inThreshold: left, bottom, right, top (inclusive);
    // all -1 when there is none.
    static XRect LitBounds(const XBGRA32Volume& inPicture, int inThreshold = 30)
    {
        XRect r(-1, -1, -1, -1);
        bool any = false;
        for (int y = 0; y < inPicture.GetHeight(); ++y)
            for (int x = 0; x < inPicture.GetWidth(); ++x)
                if (At(inPicture, x, y).Brightness() > inThreshold) {
                    if (!any)
                        r = XRect(x, y, x, y);
                    any = true;
                    r.left = std::min(r.left, x);
                    r.right = std::max(r.right, x);
                    r.top = std::min(r.top, y);
                    r.bottom = std::max(r.bottom, y);
                }
        return r;
    }

    XAssertRecorder asserts;
    std::unique_ptr<X3DRenderSystemManager> manager;
    std::unique_ptr<X3DGC> gc;
    std::unique_ptr<X3DGCScopedLock> lock;
    std::unique_ptr<X3DGCOffscreenTarget> target;
    XSceneRenderState state;
};

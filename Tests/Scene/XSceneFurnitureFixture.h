#pragma once
// Scene furniture drawn by the OpenGL device into frames of any size, with a camera of
// its own, and the pixels read back (row 0 at the bottom, as OpenGL counts).
#include "X3DCamera.h"
#include "X3DSceneNode.h"
#include "XOffscreenPictureFixture.h"

#include <algorithm>
#include <vector>

class SceneFurnitureTest : public OffscreenPictureTest {
protected:
    // The furniture's device resources go before the device does.
    void TearDown() override
    {
        for (X3DSceneNode* node : furniture)
            node->UnloadGraphicsResources(*gc);
        OffscreenPictureTest::TearDown();
    }
    // A frame of inWidth x inHeight cleared to black, drawn with the state's camera.
    void BeginFrame(int inWidth, int inHeight)
    {
        UseTargetOfSize(inWidth, inHeight);
        BeginFrameOn(*target);
        X3DCamera camera = state.GetCamera();
        X3DViewport viewport = camera.GetViewport();
        viewport.SetRect(XRect(0, 0, inWidth, inHeight));
        camera.SetViewport(viewport);
        state.SetCamera(camera);
        gc->SetViewport(viewport);
        gc->SetView(camera.GetViewMatrix());
        gc->SetProjection(camera.GetProjectionMatrix());
        gc->SetWorld(XMatrix_4x4<float>());
        gc->SetCullMode(cullMode);
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
    // inRoot in a frame of inWidth x inHeight under an orthographic view, along -z, of
    // the given half-extents; the state's camera still says where the viewer is.
    XBGRA32Volume DrawOrthographic(X3DSceneNode& inRoot, int inWidth, int inHeight, float inHalfWidth, float inHalfHeight,
                                   const std::string& inSuffix)
    {
        BeginFrame(inWidth, inHeight);
        gc->SetView(XMatrix_4x4<float>());
        gc->SetProjection(XMatrix_4x4<float>::MakeOrthographic(-inHalfWidth, inHalfWidth, -inHalfHeight, inHalfHeight, -10, 10));
        RenderTree(inRoot);
        return EndFrame(inSuffix);
    }
    XBGRA32Volume EndFrame(const std::string& inSuffix = std::string())
    {
        return EndFrameOn(*target, ::testing::UnitTest::GetInstance()->current_test_info()->name() + inSuffix);
    }
    // After drawing: the caller's vertex definition is back, and nothing is left bound.
    void ExpectPutBack(const X3DGC::XVertexDefinition& inCallers)
    {
        EXPECT_EQ(gc->GetVertexDefinition(), inCallers);
        EXPECT_EQ(gc->GetVertexBuffer(), nullptr);
        EXPECT_FALSE(gc->HasIndexBuffer());
        EXPECT_EQ(gc->GetTexture(0), nullptr);
        EXPECT_EQ(gc->GetCurrentVertexShader(), nullptr);
        EXPECT_EQ(gc->GetCurrentFragmentShader(), nullptr);
    }
    static int Brightness(const XARGB32Colour& inPixel) { return inPixel.red + inPixel.green + inPixel.blue; }
    // The brightest pixel within inRadius of (x, y): lines land on whole pixels only
    // within a pixel of where the maths puts them.
    static XARGB32Colour BrightestNear(const XBGRA32Volume& inPicture, int inX, int inY, int inRadius = 1)
    {
        XARGB32Colour best = XARGB32Colour::kBlack;
        for (int y = std::max(inY - inRadius, 0); y <= std::min(inY + inRadius, inPicture.GetHeight() - 1); ++y)
            for (int x = std::max(inX - inRadius, 0); x <= std::min(inX + inRadius, inPicture.GetWidth() - 1); ++x)
                if (Brightness(At(inPicture, x, y)) > Brightness(best))
                    best = At(inPicture, x, y);
        return best;
    }
    // The pixels brighter than inThreshold: their bounding box has left -1 when there is none.
    static TestPicture::XSpread LitSpread(const XBGRA32Volume& inPicture, int inThreshold = 30)
    {
        return TestPicture::SpreadOf(inPicture, [inThreshold](const XARGB32Colour& inPixel) { return Brightness(inPixel) > inThreshold; });
    }

    XSceneRenderState state;
    std::vector<X3DSceneNode*> furniture; // unloaded at the end
    X3DGC::XCullMode cullMode = X3DGC::kCullNone; // as the renderer draws its scene: both sides of every face
};

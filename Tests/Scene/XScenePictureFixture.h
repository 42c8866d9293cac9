#pragma once
// Scene nodes drawn by the OpenGL device into an offscreen target, seen through an
// orthographic view of the square -0.5..0.5 (x to the right, y up), and read back.
#include "X3DSceneNode.h"
#include "XOffscreenPictureFixture.h"

class ScenePictureTest : public OffscreenPictureTest {
protected:
    static constexpr int kSize = 64;

    // Updates and draws inRoot in every pass; the picture is kept for a failing test.
    XBGRA32Volume Draw(X3DSceneNode& inRoot, const std::string& inName)
    {
        BeginFrameOn(*target);
        gc->SetProjection(XMatrix_4x4<float>::MakeOrthographic(-0.5f, 0.5f, -0.5f, 0.5f, -2.0f, 2.0f));
        gc->SetView(XMatrix_4x4<float>());
        gc->Clear(X3DGC::kClearColour | X3DGC::kClearDepth, XARGB32Colour::kBlack, 1.0f, 0);
        XSceneRenderState state;
        inRoot.UpdateGeometry(XMatrix_4x4<float>(), state);
        for (uint32_t pass = 0; pass < inRoot.GetSceneRenderPassCount(); ++pass) {
            state.SetRenderPass(pass);
            inRoot.Render(*gc, state);
        }
        return EndFrameOn(*target, inName);
    }
    // The pixel under scene point (x, y).
    static XARGB32Colour AtScene(const XBGRA32Volume& inPicture, float inX, float inY)
    {
        return At(inPicture, int((inX + 0.5f) * kSize), int((inY + 0.5f) * kSize));
    }
};

#pragma once
// An OpenGL device drawing into an offscreen target, with vertices given in pixels of
// that target, and the pixels read back (row 0 at the bottom, as OpenGL counts).
#include "XOffscreenPictureFixture.h"
#include "XShader.h"

#include <cstdint>
#include <functional>
#include <vector>

// Position and colour, or position and texture coordinates, as the device's client arrays take them.
struct XColouredVertex {
    float x, y, z;
    uint8_t rgba[4];
};
struct XTexturedVertex {
    float x, y, z;
    float s, t;
};

class OpenGLDeviceTest : public OffscreenPictureTest {
protected:
    static constexpr int kSize = 64;

    // Starts a frame on the target, cleared to inClear, with vertices in target pixels.
    void BeginFrame(const XARGB32Colour& inClear = XARGB32Colour::kBlack) { BeginPixelFrameOn(*target, inClear); }
    void BeginPixelFrameOn(X3DGCRenderTarget& inTarget, const XARGB32Colour& inClear)
    {
        BeginFrameOn(inTarget);
        XMatrix_4x4<float> pixels; // row vectors: scale, then translation in row 3
        pixels(0, 0) = 2.0f / float(inTarget.GetWidth());
        pixels(1, 1) = 2.0f / float(inTarget.GetHeight());
        pixels(3, 0) = -1.0f;
        pixels(3, 1) = -1.0f;
        gc->SetProjection(pixels);
        gc->Clear(X3DGC::kClearColour | X3DGC::kClearDepth, inClear, 1.0f, 0);
    }
    XBGRA32Volume EndFrame() { return EndFrameOn(*target); }
    // The pixel as read back, alpha included.
    static XARGB32Colour WithAlphaAt(const XVolume& inPicture, int inX, int inY) { return TestPicture::PixelAt(inPicture, inX, inY); }
    static bool IsLit(const XARGB32Colour& inPixel) { return inPixel.red + inPixel.green + inPixel.blue > 60; }

    static X3DGC::XVertexDefinition ColouredVertices()
    {
        return {{{0, X3DGC::kElementFloat3, X3DGC::kUsagePosition}, {12, X3DGC::kElementUByte4, X3DGC::kUsageColour}},
                sizeof(XColouredVertex)};
    }
    static X3DGC::XVertexDefinition TexturedVertices()
    {
        return {{{0, X3DGC::kElementFloat3, X3DGC::kUsagePosition}, {12, X3DGC::kElementFloat2, X3DGC::kUsageTexCoord0}},
                sizeof(XTexturedVertex)};
    }
    void UseColouredVertices() { gc->SetVertexDefinition(ColouredVertices()); }
    // A quad over the whole target, texture coordinates 0 to inMaxS, inMaxT.
    void DrawTexturedQuad(float inMaxS = 1.0f, float inMaxT = 1.0f)
    {
        gc->SetVertexDefinition(TexturedVertices());
        const XTexturedVertex quad[] = {
            {0, 0, 0, 0, 0}, {kSize, 0, 0, inMaxS, 0}, {kSize, kSize, 0, inMaxS, inMaxT}, {0, kSize, 0, 0, inMaxT}};
        gc->DrawUserPrimitives(X3DGC::kQuadList, quad, 0, 1);
    }
    // Attaches both stages, sets their parameters, and draws between BeginShaders and EndShaders.
    void DrawShaded(XShader& inVertex, XShader& inFragment, const std::function<void()>& inSet, const std::function<void()>& inDraw)
    {
        gc->AttachShader(inVertex);
        gc->AttachShader(inFragment);
        inSet();
        gc->BeginShaders();
        inDraw();
        gc->EndShaders();
        gc->UnattachShader(inFragment);
        gc->UnattachShader(inVertex);
    }
};

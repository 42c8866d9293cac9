#pragma once
// A small renderer that draws one textured slice, and pixel helpers shared by the
// volume-scene tests.
#include "WOffscreenRendererView.h"
#include "XARGB32Volume.h"
#include "XGLMatrix.h"
#include "XGLVolumeRenderer.h"
#include "XGLVolumeTextureStack.h"

#include <memory>
#include <string>

namespace VolumeSceneTest {

// Draws the middle slice of its volume as a textured quad in voxel coordinates.
class XSliceRenderable : public XGLRenderable {
public:
    explicit XSliceRenderable(const XARGB32Volume& inVolume) : itsVolume(inVolume) {}
    // With the context current.
    void ReleaseTextures() { itsStack.reset(); }

protected:
    void RenderSelf(XGLRenderable& inFrom) override;

private:
    XARGB32Volume itsVolume;
    std::unique_ptr<XGLVolumeTextureStack> itsStack;
};

// The smallest complete renderer: one slice of a solid-coloured volume.
class XSliceRenderer : public XGLVolumeRenderer {
public:
    XSliceRenderer(XVolumeRenderingViewProtocol& inView, const XARGB32Volume& inVolume);
    ~XSliceRenderer() override;

    uint32_t GetRendererID() const override { return 77; }
    void ApplyActivationState(uint32_t, bool) override {}
    uint32_t GetActivationState() override { return 0; }
    void GetSupportedModels(uint32_t, XVector<XChannelShaderModel>&) override {}
    XChannelShaderModel GetDefaultModel(uint32_t) override { return XChannelShaderModel{}; }
    void GetShaderModelPropertyInfo(XChannelShaderModel, XShaderModelProperty, XShaderModelPropertyInfo&) override {}
    void GetShaderModelProperties(XChannelShaderModel, XVector<XShaderModelProperty>&) override {}
    using XGLVolumeRenderer::SetToolSelf;

protected:
    void SetSampleIDSelf() override {}
    void SetChannelShadeSpecificationSelf(const XChannelShadeSpecification&) override {}

private:
    XSliceRenderable itsSlice;
};

// A renderable that records the model-view matrix it is drawn with.
class XMatrixProbe : public XGLRenderable {
public:
    int renderCount = 0;
    XGLMatrix modelView;

protected:
    void RenderSelf(XGLRenderable&) override;
};

XARGB32Colour PixelAt(const XVolume& inPicture, int inX, int inY);
bool IsBackground(const XARGB32Colour& inPixel);
// Pixels that differ between two pictures of one size.
int CountDifferences(const XVolume& inA, const XVolume& inB);
int CountNonBackground(const XVolume& inPicture);
// Saves plane 0, made opaque, under the build's images folder; returns the path.
std::string SavePNG(const XVolume& inPicture, const std::string& inName);
// A solid volume of the given size and colour.
XARGB32Volume SolidVolume(int32_t inWidth, int32_t inHeight, int32_t inDepth, const XARGB32Colour& inColour);
// Sends a left-button drag through the window's hooks in inSteps moves.
void Drag(WGLWnd& inWnd, const XPoint& inFrom, const XPoint& inTo, int inSteps = 8);

} // namespace VolumeSceneTest

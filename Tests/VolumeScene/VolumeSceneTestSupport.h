#pragma once
// A small renderer that draws one textured slice, and pixel helpers shared by the
// volume-scene tests.
#include "TestPicture.h"
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

using namespace TestPicture;

// Sends a left-button drag through the window's hooks in inSteps moves.
void Drag(WGLWnd& inWnd, const XPoint& inFrom, const XPoint& inTo, int inSteps = 8);
// The renderer's window as the window system made it.
WGLWnd& WindowOf(XGLVolumeRenderer& inRenderer);

} // namespace VolumeSceneTest

#pragma once
// A scene renderer with known content, for pictures through the OpenGL device: a white
// quad in the world (inside the volume node), shown in a renderer pane, plus hooks to
// make a frame throw (the scene node base is private, hence ::X3DSceneNode) and to see the volume quality the renderer asks for.
#include "X3DBaseRenderer.h"
#include "X3DQuadSceneNode.h"
#include "X3DRenderSystemManager.h"
#include "XAssertRecorder.h"
#include "XBGRA32Volume.h"
#include "XDataVolumeSequence.h"
#include "XException.h"
#include "XImageDataSource.h"
#include "XRendererPane.h"
#include "XSyntheticSample.h"
#include "TestPicture.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <memory>
#include <vector>

class XTestSceneRenderer : public X3DBaseRenderer {
public:
    using X3DBaseRenderer::X3DBaseRenderer;
    ~XTestSceneRenderer() override { ReleaseGraphicsResources(); }

    ::X3DSceneNode volume;
    X3DQuadSceneNode quad{XARGB32Colour::kWhite};
    std::atomic<int> throwFrames{0}; // frames still to fail
    std::vector<uint32_t> qualities;
    std::function<void()> onRender;

    X3DMatrix Applied(XRendererStateName inName) const { return GetAppliedStateValue(inName); }
    XMutex& RenderMutex() { return GetRenderMutex(); }

protected:
    void InitialiseSceneGraphSelf(X3DGC&, ::X3DSceneNode&, ::X3DSceneNode& inWorld) override
    {
        inWorld.AddChild(volume);
        volume.AddChild(quad);
    }
    ::X3DSceneNode* GetVolumeNode() override { return &volume; }
    void SetVolumeQualitySelf(uint32_t inQuality) override { qualities.push_back(inQuality); }
    void RenderToTargetSelf(X3DGC& inGC, X3DGCOffscreenTarget& inTarget, const XRect& inBounds,
        XRenderingIntent inIntent, const XMatrix_4x4<float>& inPrefix) override
    {
        if (throwFrames > 0) {
            --throwFrames;
            throw XException(XException::kOpenGLError, "the test asked this frame to fail");
        }
        if (onRender)
            onRender();
        X3DBaseRenderer::RenderToTargetSelf(inGC, inTarget, inBounds, inIntent, inPrefix);
    }
};

// A renderer shown in a pane of its own, with scene states set one at a time and
// exports kept as pictures; an internal-error report fails the test.
template <class TRenderer>
class RendererPaneTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        pane.reset();
        renderer.reset();
        for (const auto& report : asserts.GetReports())
            ADD_FAILURE() << "assertion " << report.condition << " in " << report.source;
    }
    // A renderer of inSource in a pane of inWidth x inHeight, in place of any before.
    void Open(const boost::shared_ptr<XImageDataSource>& inSource, int inWidth, int inHeight)
    {
        pane.reset();
        renderer = std::make_unique<TRenderer>(inSource);
        pane = std::make_unique<XRendererPane>(XRect(0, 0, inWidth, inHeight));
        pane->SetRenderer(renderer.get());
    }
    void Set(XRendererStateName inName, const X3DMatrix& inValue, uint32_t inChannel = 0)
    {
        XRendererSceneState state;
        state.SetStateAndEnable(inName, inValue, inChannel);
        renderer->SetSceneState(state);
    }
    void SetScalar(XRendererStateName inName, double inValue, uint32_t inChannel = 0)
    {
        Set(inName, XRenderer::MakeScalarStateValue(inValue), inChannel);
    }
    std::unique_ptr<XVolume> Export(int inWidth, int inHeight, XRenderer::XRenderingIntent inIntent, const std::string& inName)
    {
        std::unique_ptr<XVolume> image(renderer->RenderToImage(XRect(0, 0, inWidth, inHeight), inIntent));
        TestPicture::SavePNG(*image, inName);
        return image;
    }

    XAssertRecorder asserts;
    X3DRenderSystemManager manager;
    std::unique_ptr<TRenderer> renderer;
    std::unique_ptr<XRendererPane> pane;
};

class BaseRendererTest : public RendererPaneTest<XTestSceneRenderer> {
protected:
    static constexpr int kWidth = 96;
    static constexpr int kHeight = 64;

    static boost::shared_ptr<XImageDataSource> SmallSource()
    {
        XSyntheticSample::Settings settings;
        settings.width = 16;
        settings.height = 16;
        settings.depth = 4;
        settings.timepoints = 3;
        settings.cells = 1;
        return boost::shared_ptr<XImageDataSource>(
            new XImageDataSource(std::shared_ptr<const XDataVolumeSequence>(XSyntheticSample::Make(settings))));
    }

    void SetUp() override { Open(SmallSource(), kWidth, kHeight); }

    // Paints the canvas now; the frame the renderer shows (null when it failed).
    const XBGRA32Volume* Paint()
    {
        renderer->RefreshRendererWithImmediateRedraw();
        return renderer->GetDisplayedImage();
    }
    static int Count(const XVolume& inPicture, const std::function<bool(const XARGB32Colour&)>& inTest)
    {
        return TestPicture::SpreadOf(inPicture, inTest).count;
    }
};

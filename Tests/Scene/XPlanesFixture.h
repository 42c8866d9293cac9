#pragma once
// The planes node and its content on real pixels: tiny hand-made sources (grey
// channels of a colour over 0..255), a plain renderer holding the scene state, and
// orthographic views along an axis, read back and looked up by voxel coordinates.
#include "X3DCamera.h"
#include "X3DPlaneContent.h"
#include "X3DXYZRendererNode.h"
#include "XDataVolumeSequence.h"
#include "XGrey8Volume.h"
#include "XImageDataSource.h"
#include "XOffscreenPictureFixture.h"
#include "XRenderer.h"

#include <boost/shared_ptr.hpp>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

struct XTestChannel {
    X3DRect bounds;
    XARGB32Colour colour;
    std::function<uint8_t(int, int, int)> value; // of bounds coordinates x, y, z
};

inline boost::shared_ptr<XImageDataSource> MakeTestSource(const std::vector<XTestChannel>& inChannels)
{
    auto sequence = std::make_shared<XDataVolumeSequence>(uint32_t(inChannels.size()), 1);
    for (uint32_t c = 0; c < inChannels.size(); ++c) {
        auto volume = std::make_shared<XGrey8Volume>(inChannels[c].bounds);
        const X3DRect& b = inChannels[c].bounds;
        for (int z = b.GetFront(); z < b.GetBack(); ++z)
            for (int y = b.GetTop(); y < b.GetBottom(); ++y)
                for (int x = b.GetLeft(); x < b.GetRight(); ++x)
                    *volume->GetVoxelPtr(x - b.GetLeft(), y - b.GetTop(), z - b.GetFront()) = inChannels[c].value(x, y, z);
        volume->SetImageRenderer(XImageRenderer(inChannels[c].colour, 0, 255));
        sequence->SetVolume(c + 1, 1, volume);
    }
    return boost::shared_ptr<XImageDataSource>(new XImageDataSource(std::shared_ptr<const XDataVolumeSequence>(sequence)));
}

inline std::function<uint8_t(int, int, int)> Constant(uint8_t inValue)
{
    return [inValue](int, int, int) { return inValue; };
}

class PlanesPictureTest : public OffscreenPictureTest {
protected:
    static constexpr int kSize = 64;
    // The volume's diagonal is 1: a view of +-0.6 holds it from any side.
    static constexpr float kHalfView = 0.6f;

    void TearDown() override
    {
        node.UnloadGraphicsResources(*gc);
        OffscreenPictureTest::TearDown();
    }

    void Load(const std::vector<XTestChannel>& inChannels)
    {
        source = MakeTestSource(inChannels);
        renderer = std::make_unique<XRenderer>(source);
        content.TakeData(*gc, *source, *renderer);
    }
    void Change(XRendererStateName inName, const X3DMatrix& inValue, uint32_t inChannel = 0)
    {
        XRendererSceneState change;
        change.SetStateAndEnable(inName, inValue, inChannel);
        renderer->SetSceneState(change);
        content.ApplySceneState(*gc, *source, *renderer, change);
    }
    void Change(XRendererStateName inName, double inValue, uint32_t inChannel = 0)
    {
        Change(inName, XRenderer::MakeScalarStateValue(inValue), inChannel);
    }

    // The node seen from inEye (looking at the origin), drawn with depth test.
    XBGRA32Volume Draw(const XMathVectorF3& inEye, const XMathVectorF3& inUp, const std::string& inName)
    {
        camera.LookAt(inEye, XMathVectorF3(0, 0, 0), inUp);
        view = camera.GetViewMatrix();
        projection = XMatrix_4x4<float>::MakeOrthographic(-kHalfView, kHalfView, -kHalfView, kHalfView, -3.0f, 3.0f);
        BeginFrameOn(*target);
        gc->SetProjection(projection);
        gc->SetView(view);
        gc->SetDepthTestEnabled(true);
        gc->SetCullMode(X3DGC::kCullNone); // as the scene renderers draw: slices are seen from both sides
        gc->Clear(X3DGC::kClearColour | X3DGC::kClearDepth, XARGB32Colour::kBlack, 1.0f, 0);
        XSceneRenderState state(camera);
        node.UpdateGeometry(XMatrix_4x4<float>(), state);
        node.Render(*gc, state);
        gc->SetDepthTestEnabled(false);
        return EndFrameOn(*target, inName);
    }
    // As At, clamped to the picture.
    static XARGB32Colour ClampedAt(const XBGRA32Volume& inPicture, int inX, int inY)
    {
        return At(inPicture, std::clamp(inX, 0, kSize - 1), std::clamp(inY, 0, kSize - 1));
    }
    // The pixel a voxel-coordinate point of the node lands on in the last view.
    std::pair<int, int> PixelOf(const XMathVectorF3& inVoxel) const
    {
        const XMathVectorF4 clip = XMathVectorF4(inVoxel, 1.0f) * (node.GetWorldTransform() * view * projection);
        return {int((clip[0] / clip[3] + 1.0f) * 0.5f * kSize), int((clip[1] / clip[3] + 1.0f) * 0.5f * kSize)};
    }
    XARGB32Colour AtVoxel(const XBGRA32Volume& inPicture, const XMathVectorF3& inVoxel) const
    {
        const auto [x, y] = PixelOf(inVoxel);
        return ClampedAt(inPicture, x, y);
    }
    // Whether a pixel within one of the point's pixel shows this primary colour over
    // black: lines fall on one side of a pixel edge or the other, and smooth lines
    // cover a pixel only partly, so the colour may be darker, never mixed.
    bool HasColourNear(const XBGRA32Volume& inPicture, const XMathVectorF3& inVoxel, const XARGB32Colour& inColour) const
    {
        const auto [x, y] = PixelOf(inVoxel);
        const auto like = [](uint8_t inGot, uint8_t inWanted) { return inWanted ? inGot >= 100 : inGot <= 30; };
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx) {
                const XARGB32Colour c = ClampedAt(inPicture, x + dx, y + dy);
                if (like(c.red, inColour.red) && like(c.green, inColour.green) && like(c.blue, inColour.blue))
                    return true;
            }
        return false;
    }

    X3DXYZRendererNode node;
    X3DPlaneContent content{node};
    boost::shared_ptr<XImageDataSource> source;
    std::unique_ptr<XRenderer> renderer;
    X3DCamera camera;
    XMatrix_4x4<float> view;
    XMatrix_4x4<float> projection;
};

#include "XViewFrames.h"

#include "X3DPlaneRenderer.h"
#include "X3DRenderSystemManager.h"
#include "XDataVolumeSequence.h"
#include "XGLMatrix.h"
#include "XHostSetup.h"
#include "XImageDataSource.h"
#include "XPlanesView.h"
#include "XRenderCommands.h"
#include "XRenderOptions.h"
#include "XRendererPane.h"
#include "XRendererSceneState.h"
#include "XVolumeRendererBase.h"
#include "XVolumeRendererManager.h"
#include "WOffscreenRendererView.h"

#include <cmath>
#include <vector>

void XViewFrames::MakeOpaque(XARGB32Volume& inOutPicture)
{
    for (int32_t y = 0; y < inOutPicture.GetHeight(); ++y)
        for (int32_t x = 0; x < inOutPicture.GetWidth(); ++x) {
            XARGB32Colour pixel = inOutPicture.GetVoxel(x, y);
            pixel.alpha = 255;
            inOutPicture.SetVoxel(x, y, pixel);
        }
}

namespace {

class XPlanesFrames : public XViewFrames {
public:
    explicit XPlanesFrames(const XRenderOptions& inOptions)
        : itsWidth(inOptions.width), itsHeight(inOptions.height)
    {
        std::unique_ptr<XDataVolumeSequence> stack = XHostSetup::ReadSample(inOptions.input);
        inOptions.CheckAgainstSample(*stack);
        inOptions.ApplyChannelLooks(*stack);
        const uint32_t stackChannels = stack->GetChannelCount();
        std::shared_ptr<const XDataVolumeSequence> sequence = XPlanesView::AddReferencePlanes(inOptions, *stack);
        itsTimepoints = sequence->GetTimepointCount();
        itsScene = XPlanesView::MakeSceneState(inOptions, stackChannels, sequence->GetChannelCount());
        itsRenderer = std::make_unique<X3DPlaneRenderer>(
            boost::shared_ptr<XImageDataSource>(new XImageDataSource(sequence)));
        itsPane = std::make_unique<XRendererPane>(XRect(0, 0, itsWidth, itsHeight));
        itsPane->SetRenderer(itsRenderer.get());
    }
    ~XPlanesFrames() override { itsPane->SetRenderer(nullptr); }

    uint32_t GetTimepointCount() const override { return itsTimepoints; }
    XRenderer* GetRenderer() override { return itsRenderer.get(); }

    void ShowFrame(const XRendererSceneState* inFrame, uint32_t inTimepoint) override
    {
        XRendererSceneState scene = itsScene;
        if (inFrame)
            for (uint32_t channel = 0; channel < inFrame->GetChannelCount(); ++channel)
                for (XRendererStateName name : inFrame->GetEnabledStates(channel))
                    scene.SetStateAndEnable(name, inFrame->GetState(name, channel), channel);
        itsRenderer->SetSceneState(scene);
        itsRenderer->SetCurrentTimepoint(inTimepoint);
    }

    XARGB32Volume Draw() override
    {
        const std::unique_ptr<XVolume> image(
            itsRenderer->RenderToImage(XRect(0, 0, itsWidth, itsHeight), XRenderer::kRenderingIntentScreen));
        XARGB32Volume picture(itsWidth, itsHeight, 1);
        image->CopyOutToARGB32Volume(picture);
        MakeOpaque(picture);
        return picture;
    }

private:
    XHostSetup itsHost;
    // The scene renderers draw through the device, which needs the render systems.
    X3DRenderSystemManager itsRenderSystems;
    int32_t itsWidth;
    int32_t itsHeight;
    uint32_t itsTimepoints = 0;
    XRendererSceneState itsScene;
    std::unique_ptr<X3DPlaneRenderer> itsRenderer;
    std::unique_ptr<XRendererPane> itsPane;
};

class XVolumeFrames : public XViewFrames {
public:
    explicit XVolumeFrames(const XRenderOptions& inOptions)
        : itsOptions(inOptions), itsView(inOptions.width, inOptions.height), itsWidth(inOptions.width), itsHeight(inOptions.height)
    {
        XVolumeRendererManager& registry = itsHost.LoadRenderers();
        XRenderCommands::CheckRendererChoice(inOptions, registry);
        std::unique_ptr<XDataVolumeSequence> sequence = XHostSetup::ReadSample(inOptions.input);
        inOptions.CheckAgainstSample(*sequence);
        inOptions.ApplyChannelLooks(*sequence);
        for (uint32_t t = 1; t <= sequence->GetTimepointCount(); ++t)
            itsTimes.push_back(sequence->GetTimepointTimeFromStart(t));
        const uint32_t sampleID = itsHost.AddSample(std::move(sequence));
        itsRenderer = &XRenderCommands::AttachRenderer(inOptions, registry, itsView);
        itsRenderer->SetSampleID(sampleID);
        itsRenderer->SetActive(true);
        XRenderCommands::ApplyShading(inOptions, *itsRenderer);
        itsRenderer->GetVolumeWorldMatrix(itsUnturned);
        XRenderCommands::ApplyScene(inOptions, *itsRenderer);
        itsRenderer->GetVolumeWorldMatrix(itsWorld);
    }

    uint32_t GetTimepointCount() const override { return uint32_t(itsTimes.size()); }

    void ShowFrame(const XRendererSceneState* inFrame, uint32_t inTimepoint) override
    {
        // The volume renderers frame the scene themselves (the frame's camera is not
        // theirs to take); a frame's rotation replaces the options' turn, and it may
        // show other decorations.
        X3DMatrix world = itsWorld;
        X3DMatrix rotation;
        if (inFrame && inFrame->IsStateEnabled(kSceneStateRotation) &&
            inFrame->GetState(kSceneStateRotation, 0, rotation) && rotation.IsSquare(3) && world.IsSquare(4)) {
            X3DMatrix turn = X3DMatrix::UnitMatrix(4);
            for (size_t i = 0; i < 3; ++i)
                for (size_t j = 0; j < 3; ++j)
                    turn(i, j) = rotation(i, j);
            world = turn * itsUnturned;
        }
        itsRenderer->SetVolumeWorldMatrix(world);
        ShowDecorations(inFrame ? *inFrame : XRendererSceneState());
        itsRenderer->SetCurrentTimepoint(inTimepoint);
        if (inTimepoint >= 1 && inTimepoint <= itsTimes.size())
            itsRenderer->SetTimestampTime(itsTimes[inTimepoint - 1]);
    }

    XARGB32Volume Draw() override
    {
        XARGB32Volume picture(itsWidth, itsHeight, 1);
        itsRenderer->Render(picture);
        MakeOpaque(picture);
        return picture;
    }

private:
    // The frame's decorations where it sets them, else the options'.
    void ShowDecorations(const XRendererSceneState& inFrame)
    {
        const auto shown = [&inFrame](XRendererStateName inName, bool inDefault) {
            X3DMatrix value;
            if (!inFrame.IsStateEnabled(inName) || !inFrame.GetState(inName, 0, value) || value.GetRows() != 1 ||
                value.GetColumns() != 1 || !std::isfinite(value(0, 0)))
                return inDefault;
            return value(0, 0) != 0.0;
        };
        itsRenderer->ShowFloor(shown(kSceneStateFloor, itsOptions.floor));
        itsRenderer->ShowOrientator(shown(kSceneStateOrientator, itsOptions.orientation));
        const bool scale = shown(kSceneStateVolumeScale, itsOptions.scale);
        itsRenderer->ShowScale(scale);
        itsRenderer->ShowScaleCalibration(shown(kSceneStateScaleText, scale));
        itsRenderer->ShowTimestamp(shown(kSceneStateTimestamp, itsOptions.time));
        X3DMatrix background;
        itsRenderer->SetBackgroundColour(inFrame.IsStateEnabled(kSceneStateBackgroundColour) &&
                inFrame.GetState(kSceneStateBackgroundColour, 0, background)
            ? XRenderer::GetColourFromStateValue(background, itsOptions.background)
            : itsOptions.background);
    }

    XRenderOptions itsOptions;
    XHostSetup itsHost;
    WOffscreenRendererView itsView;
    int32_t itsWidth;
    int32_t itsHeight;
    std::vector<XTime> itsTimes;
    XVolumeRendererBase* itsRenderer = nullptr;
    X3DMatrix itsUnturned; // before the options' turn
    X3DMatrix itsWorld;
};
} // namespace

std::unique_ptr<XViewFrames> XViewFrames::Make(const XRenderOptions& inOptions)
{
    if (inOptions.view == XRenderOptions::XView::kPlanes)
        return std::make_unique<XPlanesFrames>(inOptions);
    return std::make_unique<XVolumeFrames>(inOptions);
}

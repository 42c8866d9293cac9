#include "XAppMessageCentre.h"
#include "XAssertRecorder.h"
#include "XBGRA32Volume.h"
#include "XCanvasPaneBase.h"
#include "XDataVolumeSequence.h"
#include "XException.h"
#include "XGC.h"
#include "XGrey8Volume.h"
#include "XImageDataSource.h"
#include "XMeasurementFeedback.h"
#include "XMeasurementsFeedbackHelper.h"
#include "XPlaceholderTextCanvasAttachment.h"
#include "XProgressMessage.h"
#include "XRenderer.h"
#include "XRendererKeyDownCanvasAttachment.h"
#include "XRendererPane.h"
#include "XRendererStrategy.h"
#include "XRenderingViewBase.h"
#include "XTextOverlayCanvasAttachment.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {
std::shared_ptr<XDataVolumeSequence> MakeSequence(uint32_t inChannels, uint32_t inTimepoints, int32_t inSide)
{
    auto sequence = std::make_shared<XDataVolumeSequence>(inChannels, inTimepoints);
    for (uint32_t c = 1; c <= inChannels; ++c)
        for (uint32_t t = 1; t <= inTimepoints; ++t)
            sequence->SetVolume(c, t, std::make_shared<XGrey8Volume>(X3DRect(0, 0, 0, inSide, inSide, inSide)));
    return sequence;
}

boost::shared_ptr<XImageDataSource> MakeSource(uint32_t inChannels, uint32_t inTimepoints, int32_t inSide = 4)
{
    return boost::shared_ptr<XImageDataSource>(new XImageDataSource(MakeSequence(inChannels, inTimepoints, inSide)));
}

// A renderer that paints itself in a canvas of its own, as the views do: a fill of one
// colour, and a log of the hooks reached.
class XCanvasRenderer : public XRenderer, public XCanvasAttachment {
public:
    using XRenderer::XRenderer;
    ~XCanvasRenderer() override { delete itsCanvas; }

    std::vector<std::string> itsHooks;
    XARGB32Colour itsColour{255, 0, 128, 255};
    XCanvasPaneBase* itsCanvas = nullptr;

    XCanvasPaneBase* GetRendererCanvasPane() const override { return itsCanvas; }
    XEventResult DrawCanvas(XGC& inGC) override
    {
        inGC.SetFillColour(itsColour);
        inGC.FillRect(GetCanvasPane()->GetCanvasBounds());
        return kEventHandled;
    }

protected:
    void AttachContainerSelf(XRendererPane& inPane) override
    {
        itsHooks.push_back("attach");
        itsCanvas = inPane.MakeChildCanvas("test");
        itsCanvas->AddCanvasAttachment(this);
    }
    void DetachContainerSelf(XRendererPane&) override
    {
        itsHooks.push_back("detach");
        delete itsCanvas;
        itsCanvas = nullptr;
    }
    void InitialiseSelf() override { itsHooks.push_back("initialise"); }
    void HandleImageDataChangedSelf() override { itsHooks.push_back("data"); }
    void SetCurrentTimepointSelf(uint32_t inTimepoint) override
    {
        itsHooks.push_back("timepoint " + std::to_string(inTimepoint));
    }
    void DoRendererToolbarCommandSelf(XToolbarCommandID inCommand, XVolumeSelectionProtocol*) override
    {
        itsHooks.push_back("command " + std::to_string(inCommand));
    }
};

class XRecordingView : public XRenderingViewBase {
public:
    std::vector<uint32_t> itsKeys;
    XEventResult HandleRendererKeyDown(uint32_t inKey, uint32_t) override
    {
        itsKeys.push_back(inKey);
        return kEventHandled;
    }
};

class XCubeStrategy : public XRendererStrategy {
public:
    explicit XCubeStrategy(XRendererStrategyID inID = 77) : itsID(inID) {}
    XRendererStrategyID GetID() const override { return itsID; }
    XString GetName() const override { return "Cubes"; }

protected:
    XRenderer* MakeRendererSelf(const boost::shared_ptr<XImageDataSource>& inSource) const override
    {
        return new XCanvasRenderer(inSource);
    }
    bool IsSourceSupportedSelf(const X3DRect& inBounds, unsigned long, unsigned long) const override
    {
        return inBounds.GetWidth() >= 2 && inBounds.GetHeight() >= 2 && inBounds.GetDepth() >= 2;
    }

private:
    XRendererStrategyID itsID;
};
} // namespace

TEST(XRendererHost, LivesInAPaneAndFollowsItsSize)
{
    XRecordingView view;
    XCanvasRenderer renderer(MakeSource(2, 3));
    {
        XRendererPane pane(XRect(10, 10, 110, 90), &view);
        pane.SetRenderer(&renderer);
        ASSERT_NE(renderer.GetRendererCanvasPane(), nullptr);
        EXPECT_EQ(renderer.GetRendererView(), &view);
        EXPECT_EQ(renderer.GetRendererCanvasPane()->GetPaneBounds(), XRect(0, 0, 100, 80));
        pane.SetBounds(XRect(0, 0, 50, 40));
        EXPECT_EQ(renderer.GetRendererCanvasPane()->GetPaneBounds(), XRect(0, 0, 50, 40));

        XRendererKeyDownCanvasAttachment keys(renderer.GetRendererView());
        renderer.GetRendererCanvasPane()->AddCanvasAttachment(&keys);
        renderer.GetRendererCanvasPane()->PostInput(XInputSample::KeyDown(kKeyPageDown));
        renderer.GetRendererCanvasPane()->ProcessInput();
        EXPECT_EQ(view.itsKeys, std::vector<uint32_t>{kKeyPageDown});
    }
    EXPECT_EQ(renderer.GetRendererPane(), nullptr) << "the pane takes its renderer out when it goes";
    EXPECT_EQ(renderer.itsHooks, (std::vector<std::string>{"attach", "initialise", "detach"}));

    XAssertRecorder asserts;
    XRendererPane pane(XRect(0, 0, 10, 10));
    {
        XCanvasRenderer early(MakeSource(1, 1));
        pane.SetRenderer(&early);
    }
    EXPECT_EQ(asserts.GetCount(), 1u) << "destroyed while still in its pane";
    EXPECT_EQ(pane.GetRenderer(), nullptr);
}

TEST(XRendererHost, TimepointsAndDataChangesFollowTheSource)
{
    XAssertRecorder asserts;
    const boost::shared_ptr<XImageDataSource> source = MakeSource(2, 3);
    XCanvasRenderer renderer(source);
    EXPECT_EQ(renderer.GetCurrentTimepoint(), 1u);
    EXPECT_EQ(renderer.GetCurrentChannel(), 1u);
    renderer.SetCurrentTimepoint(3);
    renderer.SetCurrentTimepoint(4);
    EXPECT_EQ(renderer.GetCurrentTimepoint(), 3u) << "past the last timepoint is refused";
    EXPECT_EQ(asserts.GetCount(), 1u);
    renderer.SetCurrentTimepoint(0);
    EXPECT_EQ(renderer.GetCurrentTimepoint(), 0u) << "0: no timepoint";
    renderer.SetCurrentTimepoint(3);

    source->SetSequence(MakeSequence(1, 2, 4)); // tells its listeners at once
    EXPECT_EQ(renderer.GetCurrentTimepoint(), 2u) << "brought inside the new data";
    EXPECT_EQ(renderer.itsHooks, (std::vector<std::string>{"timepoint 3", "timepoint 0", "timepoint 3", "data"}));

    renderer.UnsubscribeFromSource();
    source->SetSequence(MakeSequence(1, 1, 4));
    EXPECT_EQ(renderer.itsHooks.back(), "data") << "no second data change once unsubscribed";
    EXPECT_EQ(renderer.itsHooks.size(), 4u);
}

TEST(XRendererHost, ADataChangeOnAJobThreadIsTakenOnTheMainThread)
{
    XAppMessageCentre& centre = XAppMessageCentre::GetAppMessageCentre();
    while (centre.ProcessMessages() > 0) {
    }
    const boost::shared_ptr<XImageDataSource> source = MakeSource(1, 2);
    XCanvasRenderer renderer(source);
    renderer.SetCurrentTimepoint(2);
    std::thread([&] { source->SetSequence(MakeSequence(1, 1, 4)); }).join();
    EXPECT_EQ(renderer.itsHooks, std::vector<std::string>{"timepoint 2"}) << "not on the job thread";
    centre.ProcessMessages();
    EXPECT_EQ(renderer.itsHooks, (std::vector<std::string>{"timepoint 2", "data"}));
    EXPECT_EQ(renderer.GetCurrentTimepoint(), 1u);
}

TEST(XRendererHost, RendersWhatItsCanvasShowsAtTheSizeAsked)
{
    XCanvasRenderer renderer(MakeSource(1, 1));
    EXPECT_FALSE(renderer.DoesSupportRenderToImage());
    EXPECT_THROW(delete renderer.RenderToImage(XRect(0, 0, 8, 8), XRenderer::kRenderingIntentFinal), XException);

    XRendererPane pane(XRect(0, 0, 30, 20));
    pane.SetRenderer(&renderer);
    EXPECT_TRUE(renderer.DoesSupportRenderToImage());
    for (const XRect& bad : {XRect(0, 0, 0, 5), XRect(3, 3, 2, 9)}) {
        try {
            delete renderer.RenderToImage(bad, XRenderer::kRenderingIntentScreen);
            ADD_FAILURE() << "an empty rectangle was rendered";
        } catch (const XException& e) {
            EXPECT_EQ(e.GetErrorCode(), XException::kBadArgument);
        }
    }
    std::unique_ptr<XVolume> image(renderer.RenderToImage(XRect(5, 5, 65, 45), XRenderer::kRenderingIntentFinal));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->GetBounds(), X3DRect(0, 0, 0, 60, 40, 1));
    EXPECT_EQ(static_cast<XBGRA32Volume&>(*image).GetVoxel(59, 39), XBGRA32Colour(255, 128, 0, 255));
    pane.SetRenderer(nullptr);
}

TEST(XRendererHost, KeepsMessagesCommandsAndFeedbackItems)
{
    XCanvasRenderer renderer(MakeSource(1, 1));
    const uint32_t first = renderer.AddCustomMessage("Saving", 1);
    const uint32_t second = renderer.AddCustomMessage("Loading");
    EXPECT_NE(first, second);
    EXPECT_TRUE(renderer.SetCustomMessage(second, "Loaded", 2));
    EXPECT_TRUE(renderer.RemoveCustomMessage(first));
    EXPECT_FALSE(renderer.RemoveCustomMessage(first));
    EXPECT_FALSE(renderer.SetCustomMessage(99, "none"));
    ASSERT_EQ(renderer.GetCustomMessages().size(), 1u);
    EXPECT_EQ(renderer.GetCustomMessages().at(second).text, "Loaded");

    renderer.DoRendererToolbarCommand(5524);
    EXPECT_EQ(renderer.GetCurrentToolbarCommand(), 5524u);
    EXPECT_EQ(renderer.itsHooks.back(), "command 5524");

    XSpeaker progress;
    renderer.AddProgressSpeaker(progress);
    renderer.AddProgressSpeaker(progress);
    EXPECT_EQ(renderer.GetProgressSpeakers().size(), 1u);
    renderer.RemoveProgressSpeaker(progress);
    EXPECT_TRUE(renderer.GetProgressSpeakers().empty());

    struct XCountingFeedback : XMeasurementFeedback {
        int changes = 0;
        void ObjectListChangedSelf() override { ++changes; }
    } feedback;
    XMeasurementsFeedbackHelper helper;
    EXPECT_TRUE(renderer.MakeFeedback(XVersion(1465), helper).empty()) << "the base shows no measurements";
    renderer.AddFeedbackItem(&feedback);
    renderer.AddFeedbackItem(&feedback);
    EXPECT_EQ(renderer.GetFeedbackItems().size(), 1u);
    XMeasurementObject point;
    point.points.push_back({1.5, 2.0, 3.0});
    feedback.SetObjectList({point});
    EXPECT_EQ(feedback.changes, 1);
    renderer.RemoveFeedbackItem(&feedback);
    EXPECT_TRUE(renderer.GetFeedbackItems().empty());

    struct Case {
        double size;
        bool taken;
    };
    for (const Case& c : {Case{2.5, true}, Case{0.0, false}, Case{-1.0, false}, Case{std::nan(""), false},
                          Case{INFINITY, false}}) {
        XMeasurementsFeedbackHelper::XDisplayOptions options;
        options.size = c.size;
        EXPECT_EQ(helper.SetDisplayOptions(1465, options), c.taken) << c.size;
    }
    EXPECT_EQ(helper.GetDisplayOptions(1465).size, 2.5) << "refused sizes leave the last good one";
    EXPECT_EQ(helper.GetDisplayOptions(1464), XMeasurementsFeedbackHelper::XDisplayOptions());
}

TEST(XRendererHost, StrategiesMakeRenderersOnlyForDataTheyShow)
{
    XCubeStrategy strategy;
    std::unique_ptr<XRenderer> renderer(strategy.MakeRenderer(MakeSource(1, 1, 2)));
    EXPECT_NE(renderer, nullptr);
    for (int32_t side : {1, 0}) {
        try {
            delete strategy.MakeRenderer(MakeSource(1, 1, side));
            ADD_FAILURE() << side;
        } catch (const XException& e) {
            EXPECT_EQ(e.GetErrorCode(), XException::kNoRenderer) << side;
        }
    }
    EXPECT_THROW(delete strategy.MakeRenderer(nullptr), XException);
    EXPECT_THROW(delete strategy.MakeRendererWithSubStrategy(MakeSource(1, 1, 2), 5), XException);

    XRendererStrategy::RegisterStrategy(std::make_unique<XCubeStrategy>(900));
    XRendererStrategy::RegisterStrategy(std::make_unique<XCubeStrategy>(901));
    ASSERT_NE(XRendererStrategy::FindStrategy(900), nullptr);
    EXPECT_EQ(XRendererStrategy::FindStrategy(901)->GetID(), 901u);
    EXPECT_TRUE(XRendererStrategy::UnregisterStrategy(900));
    EXPECT_FALSE(XRendererStrategy::UnregisterStrategy(900));
    EXPECT_EQ(XRendererStrategy::FindStrategy(900), nullptr);
    XRendererStrategy::UnregisterStrategy(901);
}

TEST(XCanvasOverlays, PlaceholderCoversTheCanvasOnlyWhileShown)
{
    XCanvasPaneBase pane(XRect(0, 0, 200, 60));
    pane.SetBackgroundColour(XARGB32Colour(255, 0, 0, 255));
    XPlaceholderTextCanvasAttachment placeholder;
    pane.AddCanvasAttachment(&placeholder);
    placeholder.SetText("The image could not be displayed because the data is gone");
    pane.RedrawCanvas(true);
    EXPECT_EQ(pane.CopyImage()->GetVoxel(2, 2), XBGRA32Colour(255, 0, 0, 255)) << "hidden at first";
    placeholder.Show();
    pane.RedrawCanvas(true);
    std::unique_ptr<XBGRA32Volume> shown = pane.CopyImage();
    EXPECT_EQ(shown->GetVoxel(2, 2), XBGRA32Colour(64, 64, 64, 255));
    int textPixels = 0;
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 200; ++x)
            textPixels += shown->GetVoxel(x, y).red > 200;
    EXPECT_GT(textPixels, 50) << "white text on the placeholder";

    XGC gc(*shown);
    const std::vector<XString> lines =
        XPlaceholderTextCanvasAttachment::WrapText(gc, "one two three four five six seven", 60);
    EXPECT_GT(lines.size(), 2u);
    for (const XString& line : lines)
        EXPECT_LE(gc.MeasureText(line).width, 60.0) << line.GetCString();
}

TEST(XCanvasOverlays, TextOverlayFollowsItsProgressSpeakers)
{
    XCanvasPaneBase pane(XRect(0, 0, 120, 80));
    XTextOverlayCanvasAttachment overlay;
    pane.AddCanvasAttachment(&overlay);
    overlay.SetVisible(true);
    XSpeaker work;
    overlay.AddProgressSpeaker(work);
    work.SpeakMessage(XProgressMessage(&work, "Surfaces", 0.25));
    work.SpeakMessage(XProgressMessage(&work, "Surfaces", 0.5));
    ASSERT_EQ(overlay.GetProgress().size(), 1u);
    EXPECT_EQ(overlay.GetProgress()[0].fraction, 0.5);
    pane.RedrawCanvas(true);
    std::unique_ptr<XBGRA32Volume> image = pane.CopyImage();
    const int32_t barY = 80 - 8 - 3;
    EXPECT_GT(image->GetVoxel(20, barY).blue, 200) << "done part of the bar";
    EXPECT_LT(image->GetVoxel(100, barY).blue, 100) << "the part still to do";
    work.SpeakMessage(XProgressMessage(&work, "Surfaces", 1.0, true));
    EXPECT_TRUE(overlay.GetProgress().empty());
    overlay.RemoveProgressSpeaker(work);
    work.SpeakMessage(XProgressMessage(&work, "Again", 0.1));
    EXPECT_TRUE(overlay.GetProgress().empty()) << "a removed speaker is no longer heard";

    // Progress spoken on a job thread is taken on the main thread, unless the speaker
    // was removed in between.
    XAppMessageCentre& centre = XAppMessageCentre::GetAppMessageCentre();
    overlay.AddProgressSpeaker(work);
    std::thread([&] { work.SpeakMessage(XProgressMessage(&work, "Job", 0.3)); }).join();
    EXPECT_TRUE(overlay.GetProgress().empty());
    centre.ProcessMessages();
    ASSERT_EQ(overlay.GetProgress().size(), 1u);
    EXPECT_EQ(overlay.GetProgress()[0].text, "Job");
    std::thread([&] { work.SpeakMessage(XProgressMessage(&work, "Late", 0.9)); }).join();
    overlay.RemoveProgressSpeaker(work);
    centre.ProcessMessages();
    EXPECT_TRUE(overlay.GetProgress().empty());
}

#pragma once
// A 400 x 400 scene renderer with a small white quad in its volume node (the scene
// renderer suite's), the tool of a toolbar command on its canvas, a manual clock for
// the spin, and helpers that queue timed drags on the canvas.
#include "XBaseRendererFixture.h"

#include "X3DCanvasToolMaths.h"
#include "XAppMessageCentre.h"
#include "XCanvasPaneBase.h"
#include "XClock.h"
#include "XQuaternion.h"
#include "XTrackBall3DCanvasAttachment.h"

#include <chrono>
#include <vector>

class CanvasToolTest : public ::testing::Test {
protected:
    static constexpr int kSide = 400;
    using Ms = std::chrono::milliseconds;

    void SetUp() override
    {
        XAppMessageCentre::GetAppMessageCentre().SetClock(&clock);
        XSyntheticSample::Settings settings;
        settings.width = 16;
        settings.height = 16;
        settings.depth = 4;
        settings.timepoints = 1;
        settings.cells = 1;
        renderer = std::make_unique<XTestSceneRenderer>(boost::shared_ptr<XImageDataSource>(
            new XImageDataSource(std::shared_ptr<const XDataVolumeSequence>(XSyntheticSample::Make(settings)))));
        pane = std::make_unique<XRendererPane>(XRect(0, 0, kSide, kSide));
        pane->SetRenderer(renderer.get());
        renderer->quad.SetScale(XMathVectorF3(0.2f, 0.2f, 1.0f));
    }
    void TearDown() override
    {
        pane.reset();
        renderer.reset();
        Pump(Ms(0));
        XAppMessageCentre::GetAppMessageCentre().SetClock(nullptr);
    }

    XCanvasPaneBase& Canvas() { return *renderer->GetRendererCanvasPane(); }
    void Command(uint32_t inCommand) { renderer->DoRendererToolbarCommand(inCommand); }
    XTrackBall3DCanvasAttachment* Trackball()
    {
        return dynamic_cast<XTrackBall3DCanvasAttachment*>(renderer->GetCanvasAttachment());
    }

    void Set(XRendererStateName inName, const X3DMatrix& inValue)
    {
        XRendererSceneState state;
        state.SetStateAndEnable(inName, inValue);
        renderer->SetSceneState(state);
    }
    X3DMatrix Value(XRendererStateName inName) const { return renderer->GetSceneStateValue(inName); }
    X3DCamera Camera() const { return X3DCamera::MakeFromRendererSceneState(renderer->GetSceneState()); }
    XQuaternion Rotation() const { return XQuaternion::MakeFromRotationMatrix(Value(kSceneStateRotation)); }

    // Queues a drag through inPoints (the first is the press), one sample every
    // inStepMs, released inReleaseMs after the last movement, and hands it to the
    // canvas (the renderer's unless given).
    void Drag(const std::vector<XPoint>& inPoints, uint32_t inModifiers = 0, int inStepMs = 10, int inReleaseMs = 10,
              XCanvasPaneBase* inCanvas = nullptr)
    {
        XCanvasPaneBase& canvas = inCanvas ? *inCanvas : Canvas();
        // Far enough from the last press not to be its double click.
        XClock::TimePoint t = clock.Now() + Ms(XCanvasPaneBase::kDoubleClickMs + 1);
        canvas.PostInput(XInputSample::Down(inPoints.front(), inModifiers).At(t));
        for (size_t i = 1; i < inPoints.size(); ++i)
            canvas.PostInput(XInputSample::Move(inPoints[i], kButtonLeft, inModifiers).At(t += Ms(inStepMs)));
        canvas.PostInput(XInputSample::Up(inPoints.back(), inModifiers).At(t += Ms(inReleaseMs)));
        canvas.ProcessInput();
    }
    // inCount + 1 points evenly from inFrom to inTo.
    static std::vector<XPoint> Line(const XPoint& inFrom, const XPoint& inTo, int inCount)
    {
        std::vector<XPoint> points;
        for (int i = 0; i <= inCount; ++i)
            points.emplace_back(inFrom.x + (inTo.x - inFrom.x) * i / inCount, inFrom.y + (inTo.y - inFrom.y) * i / inCount);
        return points;
    }
    // Moves the clock on by inTime a millisecond at a time, delivering what falls due.
    void Pump(Ms inTime)
    {
        auto& centre = XAppMessageCentre::GetAppMessageCentre();
        centre.ProcessMessages();
        for (Ms t(0); t < inTime; t += Ms(1)) {
            clock.Advance(Ms(1));
            centre.ProcessMessages();
        }
    }

    XManualClock clock;
    XAssertRecorder asserts;
    X3DRenderSystemManager manager;
    std::unique_ptr<XTestSceneRenderer> renderer;
    std::unique_ptr<XRendererPane> pane;
};

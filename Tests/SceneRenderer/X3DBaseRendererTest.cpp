#include "XBaseRendererFixture.h"

#include "X3DCanvasToolFactory.h"
#include "X3DFloorNode.h"
#include "X3DPointFeedback.h"
#include "X3DPolyLineFeedback.h"
#include "XAppMessageCentre.h"
#include "XCanvasPaneBase.h"
#include "XGC.h"
#include "XGCFont.h"
#include "XLock.h"
#include "XMeasurementsFeedbackHelper.h"
#include "XPlaceholderTextCanvasAttachment.h"

#include <chrono>
#include <cmath>
#include <limits>
#include <thread>
#include <string>
#include <typeinfo>
#include <vector>

namespace {

bool IsWhite(const XARGB32Colour& c) { return c.red == 255 && c.green == 255 && c.blue == 255; }
// Edge pixels may be partly covered (the targets are multisampled), so only the
// channels that stay dark tell which eye drew them.
bool IsRedOnly(const XARGB32Colour& c) { return c.red > 0 && c.green == 0 && c.blue == 0; }
bool IsCyanOnly(const XARGB32Colour& c) { return c.red == 0 && c.green > 0 && c.blue > 0; }
bool IsGreenText(const XARGB32Colour& c) { return c.green > 100 && c.red < 60 && c.blue < 60; }
bool IsRedText(const XARGB32Colour& c) { return c.red > 100 && c.green < 60 && c.blue < 60; }

bool IdleSuspended() { return XAppMessageCentre::GetAppMessageCentre().IsIdleProcessingSuspended(); }

// Whether another thread could take the mutex now.
bool IsFree(XMutex& inMutex)
{
    bool taken = false;
    std::thread([&] {
        taken = inMutex.TryLock();
        if (taken)
            inMutex.Unlock();
    }).join();
    return taken;
}

} // namespace

// The frame on the canvas is upright and in the background colour; an export of the
// same size for a final render is the same picture.
TEST_F(BaseRendererTest, FrameIsUprightAndExportMatchesIt)
{
    renderer->quad.SetPosition(XMathVectorF3(0.0f, 0.3f, 0.0f));
    renderer->quad.SetScale(XMathVectorF3(0.4f, 0.4f, 1.0f));
    Set(kSceneStateBackgroundColour, XRenderer::MakeColourStateValue(XARGB32Colour(255, 0, 0, 80)));
    const XBGRA32Volume* frame = Paint();
    ASSERT_NE(frame, nullptr);
    TestPicture::SavePNG(*frame, "BaseRendererFrame");
    ASSERT_EQ(frame->GetWidth(), kWidth);
    EXPECT_TRUE(IsWhite(TestPicture::PixelAt(*frame, kWidth / 2, kHeight / 4)));
    EXPECT_FALSE(IsWhite(TestPicture::PixelAt(*frame, kWidth / 2, kHeight * 3 / 4)));
    const XARGB32Colour corner = TestPicture::PixelAt(*frame, 0, kHeight - 1);
    EXPECT_EQ(corner.blue, 80);
    EXPECT_EQ(corner.red, 0);

    const std::unique_ptr<XVolume> exported = Export(kWidth, kHeight, XRenderer::kRenderingIntentFinal, "BaseRendererExport");
    EXPECT_EQ(TestPicture::CountDifferences(*frame, *exported), 0);
    EXPECT_EQ(renderer->qualities, (std::vector<uint32_t>{1, 0}));
}

// Red/cyan stereo draws the left eye into red and the right eye into green and blue:
// where only one eye sees the quad's edge the pixel is pure red or pure cyan. The
// device's write mask is put back afterwards.
TEST_F(BaseRendererTest, StereoModesDrawTheEyesIntoTheirChannels)
{
    struct Case {
        double mode;
        bool anaglyph;
    };
    for (const Case c : {Case{0.0, false}, Case{1.0, true}}) {
        SCOPED_TRACE(c.mode);
        SetScalar(kSceneStateStereoMode, c.mode);
        const std::unique_ptr<XVolume> picture =
            Export(200, 200, XRenderer::kRenderingIntentFinal, "BaseRendererStereo" + std::to_string(int(c.mode)));
        EXPECT_TRUE(IsWhite(TestPicture::PixelAt(*picture, 100, 100)));
        EXPECT_EQ(Count(*picture, IsRedOnly) > 0, c.anaglyph);
        EXPECT_EQ(Count(*picture, IsCyanOnly) > 0, c.anaglyph);
        EXPECT_EQ(renderer->Get3DGC().GetColourBufferWriteMask(), 0xFFFFFFFFu);
        EXPECT_EQ(renderer->GetCamera().GetStereoPass(), uint32_t(X3DCamera::kStereoNone));
    }
}

// A unit is a tenth of the longest side with a voxel to spare at each end: 258 voxels of
// 0.2 µm in the built-in sample; new data of 1 µm voxels, 16 wide, takes a new scale.
TEST_F(BaseRendererTest, ScaleTextFollowsTheData)
{
    const boost::shared_ptr<XImageDataSource> source(
        new XImageDataSource(std::shared_ptr<const XDataVolumeSequence>(XSyntheticSample::Make())));
    Open(source, kWidth, kHeight);
    SetScalar(kSceneStateVolumeScale, 1.0);
    EXPECT_EQ(renderer->GetScaleText(), XString("1 Unit = 5.2 µm"));
    XSyntheticSample::Settings coarse;
    coarse.width = coarse.height = 16;
    coarse.depth = 4;
    coarse.timepoints = coarse.cells = 1;
    // Voxel sizes the scale cannot show (a grid of tens of thousands of intervals along
    // z) hide it, rather than leave the last data's grid and a unit of 0 µm, until data
    // it can show comes.
    for (const double sizeZ : {1.0, 10000.0, 1.0}) {
        coarse.calibrationXY = 1.0;
        coarse.calibrationZ = sizeZ;
        source->SetSequence(XSyntheticSample::Make(coarse));
        renderer->HandleImageDataChanged();
        const bool shown = sizeZ == 1.0;
        EXPECT_EQ(renderer->IsVolumeScaleVisible(), shown) << sizeZ;
        if (shown) {
            EXPECT_EQ(renderer->GetScaleText(), XString("1 Unit = 1.8 µm"));
        }
    }
}

// The scale text sits in the bottom right corner and the time stamp in the top right;
// each is left out when its box would cross the left edge, and final renders have neither.
TEST_F(BaseRendererTest, OverlayTextsFitOrAreLeftOut)
{
    renderer->quad.SetVisible(false);
    Set(kSceneStateOverlayColour, XRenderer::MakeColourStateValue(XARGB32Colour(255, 0, 255, 0)));
    Set(kSceneStateTimestampColour, XRenderer::MakeColourStateValue(XARGB32Colour(255, 255, 0, 0)));
    SetScalar(kSceneStateVolumeScale, 1.0);
    SetScalar(kSceneStateScaleText, 1.0);
    SetScalar(kSceneStateTimestamp, 1.0);

    XBGRA32Volume scratch(10, 10, 1);
    XGC measure(scratch);
    measure.SetFont(XGCFont::MakeStandard(XGCFont::kFaceOverlay));
    const int scaleWidth = int(std::ceil(measure.MeasureText(renderer->GetScaleText()).width)) + 12;
    const int stampWidth = int(std::ceil(measure.MeasureText(renderer->GetTimestampText()).width)) + 12;
    struct Case {
        int width;
        XRenderer::XRenderingIntent intent;
        bool scale, stamp;
    };
    const Case cases[] = {
        {scaleWidth, XRenderer::kRenderingIntentScreen, true, true},
        {scaleWidth - 2, XRenderer::kRenderingIntentScreen, false, stampWidth <= scaleWidth - 2},
        {stampWidth, XRenderer::kRenderingIntentScreen, stampWidth >= scaleWidth, true},
        {stampWidth - 2, XRenderer::kRenderingIntentScreen, stampWidth - 2 >= scaleWidth, false},
        {scaleWidth + 40, XRenderer::kRenderingIntentFinal, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.width);
        const std::unique_ptr<XVolume> picture = Export(c.width, 80, c.intent, "BaseRendererTexts" + std::to_string(c.width));
        EXPECT_EQ(Count(*picture, IsGreenText) > 0, c.scale);
        EXPECT_EQ(Count(*picture, IsRedText) > 0, c.stamp);
    }
}

TEST_F(BaseRendererTest, TimestampText)
{
    struct Case {
        uint32_t timepoint;
        double relative;
        const char* text; // null: a clock time
    };
    for (const Case c : {Case{0, 0.0, "--:--:--.---"}, Case{0, 1.0, "--:--:--.---"}, Case{3, 1.0, "0:02:00.000"},
             Case{1, 1.0, "0:00:00.000"}, Case{2, 0.0, nullptr}}) {
        SCOPED_TRACE(c.timepoint);
        SetScalar(kSceneStateRelativeTimestamp, c.relative);
        renderer->SetCurrentTimepoint(c.timepoint);
        const XString text = renderer->GetTimestampText();
        const XString expected = c.text ? XString(c.text) : renderer->GetDataSource()->GetTimepointTime(2).GetTimeString(false);
        EXPECT_EQ(text, expected);
    }
}

// Exports past the device's largest size throw 1030 without keeping anything locked
// or changed; a failing export puts everything back as well.
TEST_F(BaseRendererTest, FailedExportsPutEverythingBack)
{
    renderer->DoRendererToolbarCommand(X3DBaseRenderer::kCommandLight);
    const XRect maximum = renderer->GetMaxRenderToImageBounds();
    ASSERT_GT(maximum.GetWidth(), 0);
    struct Case {
        XRect rect;
        int32_t code;
    };
    for (const Case& c : {Case{XRect(0, 0, maximum.GetWidth() + 1, 1), XException::kExportTooLarge},
             Case{XRect(0, 0, 16, 16), XException::kOpenGLError}}) {
        SCOPED_TRACE(c.code);
        renderer->qualities.clear();
        renderer->throwFrames = c.code == XException::kOpenGLError ? 1 : 0;
        try {
            delete renderer->RenderToImage(c.rect, XRenderer::kRenderingIntentScreen);
            ADD_FAILURE() << "the export did not throw";
        } catch (const XException& e) {
            EXPECT_EQ(e.GetErrorCode(), c.code);
        }
        EXPECT_TRUE(IsFree(renderer->RenderMutex()));
        EXPECT_FALSE(IdleSuspended());
        EXPECT_TRUE(renderer->IsLightMarkerVisible());
        EXPECT_EQ(renderer->Get3DGC().GetCurrentRenderTarget(), nullptr);
        if (c.code == XException::kOpenGLError) {
            EXPECT_EQ(renderer->qualities, (std::vector<uint32_t>{1, 0}));
        }
    }
    // One pixel less than the largest width is still made.
    EXPECT_NO_THROW(delete renderer->RenderToImage(XRect(0, 0, std::min(maximum.GetWidth(), 64), 1),
        XRenderer::kRenderingIntentFinal));
}

// Exports keep their targets between calls: each export still has the size asked for,
// and the same scene gives the same picture after exports of other sizes, a failed
// export and a size change of the canvas.
TEST_F(BaseRendererTest, KeptExportTargetsFollowSizeFailuresAndResizes)
{
    renderer->quad.SetScale(XMathVectorF3(0.4f, 0.4f, 1.0f));
    const std::unique_ptr<XVolume> reference = Export(64, 48, XRenderer::kRenderingIntentFinal, "BaseRendererKept");
    enum XStep { kExport, kFail, kResize };
    struct XCase {
        XStep step;
        int width, height;
    };
    const XCase cases[] = {{kExport, 64, 48}, {kExport, 48, 64}, {kExport, 64, 48}, {kFail, 64, 48},
        {kExport, 64, 48}, {kResize, 0, 0}, {kExport, 64, 48}, {kExport, 30, 20}};
    for (const XCase& c : cases) {
        SCOPED_TRACE(testing::Message() << int(c.step) << " " << c.width << " x " << c.height);
        if (c.step == kResize) {
            renderer->HandleSize(XRect(0, 0, kWidth, kHeight));
            continue;
        }
        if (c.step == kFail) {
            renderer->throwFrames = 1;
            EXPECT_THROW(delete renderer->RenderToImage(XRect(0, 0, c.width, c.height), XRenderer::kRenderingIntentFinal),
                XException);
            continue;
        }
        const std::unique_ptr<XVolume> picture = Export(c.width, c.height, XRenderer::kRenderingIntentFinal, "BaseRendererKept");
        ASSERT_EQ(picture->GetWidth(), c.width);
        ASSERT_EQ(picture->GetHeight(), c.height);
        if (c.width == 64 && c.height == 48) {
            EXPECT_EQ(TestPicture::CountDifferences(*reference, *picture), 0);
        }
    }
}

// A frame that throws leaves no picture and says why; the next frame hides the text.
TEST_F(BaseRendererTest, FailedFrameShowsThePlaceholderUntilTheNextFrame)
{
    const XPlaceholderTextCanvasAttachment* placeholder = renderer->GetPlaceholder();
    ASSERT_NE(placeholder, nullptr);
    renderer->throwFrames = 1;
    EXPECT_EQ(Paint(), nullptr);
    EXPECT_TRUE(placeholder->IsVisible());
    EXPECT_TRUE(placeholder->GetText().Contains("The image could not be displayed because "));
    EXPECT_TRUE(IsFree(renderer->RenderMutex()));
    EXPECT_FALSE(IdleSuspended());
    EXPECT_EQ(renderer->Get3DGC().GetCurrentRenderTarget(), nullptr);

    EXPECT_NE(Paint(), nullptr);
    EXPECT_FALSE(placeholder->IsVisible());
}

// A node that asks for an immediate redraw while the frame is drawn gets no frame
// inside the frame.
TEST_F(BaseRendererTest, RefreshDoesNotReenterAFrame)
{
    int frames = 0;
    renderer->onRender = [&] {
        ++frames;
        renderer->RefreshScene(true);
    };
    Paint();
    EXPECT_EQ(frames, 1);
}

TEST_F(BaseRendererTest, ResizeMakesFramesOfTheNewSize)
{
    Paint();
    pane->SetBounds(XRect(0, 0, 40, 30));
    EXPECT_EQ(renderer->GetDisplayedImage(), nullptr);
    const XBGRA32Volume* frame = Paint();
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->GetWidth(), 40);
    EXPECT_EQ(frame->GetHeight(), 30);
    EXPECT_TRUE(IsWhite(TestPicture::PixelAt(*frame, 20, 15)));
}

namespace {

// Tools that say what they were made for.
class XRecordedTool : public XCanvasAttachment {
public:
    explicit XRecordedTool(std::string inKind) : kind(std::move(inKind)) {}
    std::string kind;
};

class XRecordingToolFactory : public X3DCanvasToolFactory {
public:
    XCanvasAttachment* MakeTrackBallTool(X3DBaseRenderer&, XRotateBehaviour inBehaviour) override
    {
        return new XRecordedTool("trackball " + std::to_string(inBehaviour));
    }
    XCanvasAttachment* MakeVolumePanTool(X3DBaseRenderer&) override { return new XRecordedTool("pan"); }
    XCanvasAttachment* MakeLightTool(X3DBaseRenderer&, X3DTickBall&) override { return new XRecordedTool("light"); }
};

} // namespace

TEST_F(BaseRendererTest, ToolbarCommandsInstallTheirTools)
{
    XRecordingToolFactory factory;
    struct Case {
        XToolbarCommandID command;
        const char* tool;
    };
    for (const bool registered : {true, false}) {
        X3DCanvasToolFactory::Register(registered ? &factory : nullptr);
        for (const Case c : {Case{5516, "trackball 0"}, Case{5518, "pan"}, Case{5524, "light"},
                 Case{5526, "trackball 1"}, Case{1, "trackball 2"}}) {
            SCOPED_TRACE(c.command);
            renderer->DoRendererToolbarCommand(c.command);
            auto* tool = dynamic_cast<XRecordedTool*>(renderer->GetCanvasAttachment());
            EXPECT_EQ(tool != nullptr, registered);
            if (tool) {
                EXPECT_EQ(tool->kind, c.tool);
                EXPECT_EQ(tool->GetCanvasPane(), renderer->GetRendererCanvasPane());
            }
            // The earlier tool left the canvas: renderer, key-down, overlay, placeholder and this one.
            EXPECT_EQ(renderer->GetRendererCanvasPane()->GetCanvasAttachments().size(), registered ? 5u : 4u);
            EXPECT_EQ(renderer->IsLightMarkerVisible(), c.command == 5524);
        }
    }
    X3DCanvasToolFactory::Register(nullptr);
}

// Values of the wrong shape leave the last good value in place (the scene state itself
// refuses values that are not finite).
TEST_F(BaseRendererTest, UnusableSceneStatesAreIgnored)
{
    struct Case {
        XRendererStateName name;
        X3DMatrix good, bad;
    };
    const Case cases[] = {
        {kSceneStateBackgroundColour, XRenderer::MakeColourStateValue(XARGB32Colour(255, 4, 5, 6)), X3DMatrix(2, 1, 9)},
        {kSceneStateCamera, XRenderer::MakeCameraStateValue(X3DMatrix::ColumnVector(0, 0, 3), X3DMatrix::ColumnVector(0, 0, 0),
            X3DMatrix::ColumnVector(0, 1, 0)), X3DMatrix::UnitMatrix(3)},
        {kSceneStateRotation, X3DMatrix::RotationMatrix(X3DMatrix::ColumnVector(0, 0, 1), 0.5, 3), X3DMatrix::UnitMatrix(4)},
        {kSceneStateLightPosition, X3DMatrix::ColumnVector(1, 2, 3), X3DMatrix(1, 3, 1.0)},
        {kSceneStateFloorHeight, XRenderer::MakeScalarStateValue(-0.4), X3DMatrix()},
        {kSceneStateStereoMode, XRenderer::MakeScalarStateValue(1.0), X3DMatrix()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Set(c.name, c.good);
        Set(c.name, c.bad);
        const X3DMatrix applied = renderer->Applied(c.name);
        ASSERT_EQ(applied.GetRows(), c.good.GetRows());
        for (size_t i = 0; i < c.good.GetRows() * c.good.GetColumns(); ++i)
            EXPECT_EQ(applied.GetData()[i], c.good.GetData()[i]);
    }
    EXPECT_EQ(renderer->GetBackgroundColour(), XARGB32Colour(255, 4, 5, 6));
    EXPECT_FLOAT_EQ(renderer->GetFloor()->GetPosition()[1], -0.4f);
    EXPECT_NE(Paint(), nullptr);
}

// A scene-state change waits for a frame or export under way, and the orientation
// marker comes and goes with its state.
TEST_F(BaseRendererTest, SceneStateChangesWaitForTheRenderMutex)
{
    std::atomic<bool> held{false}, released{false};
    std::thread holder([&] {
        XLock lock(renderer->RenderMutex());
        held = true;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        released = true;
    });
    while (!held)
        std::this_thread::yield();
    SetScalar(kSceneStateFloor, 1.0);
    EXPECT_TRUE(released);
    holder.join();

    for (const double on : {1.0, 0.0, 1.0}) {
        SetScalar(kSceneStateOrientator, on);
        EXPECT_EQ(renderer->HasOrientator(), on != 0.0);
        EXPECT_NE(Paint(), nullptr);
    }
}

// Feedback objects by measurement type; an item added shows in screen frames, not in
// final renders, and leaves with RemoveFeedbackItem.
TEST_F(BaseRendererTest, FeedbackItems)
{
    XMeasurementsFeedbackHelper helper;
    struct Case {
        uint32_t type;
        std::vector<const char*> made;
    };
    for (const Case& c : {Case{1463, {"X3DRegionMeasurementFeedback", "X3DCentroidFeedback"}},
             Case{1464, {"X3DPolyLineFeedback"}}, Case{1465, {"X3DPointFeedback"}}, Case{1488, {"X3DPointFeedback"}},
             Case{1466, {"X3DTrackFeedback"}}, Case{1234, {}}}) {
        SCOPED_TRACE(c.type);
        XPtrVector<XMeasurementFeedback> made = renderer->MakeFeedback(XVersion(c.type), helper);
        ASSERT_EQ(made.size(), c.made.size());
        for (size_t i = 0; i < made.size(); ++i) {
            const XMeasurementFeedback& item = *made[i];
            EXPECT_NE(std::string(typeid(item).name()).find(c.made[i]), std::string::npos) << typeid(item).name();
        }
        for (XMeasurementFeedback* item : made)
            delete item;
    }

    renderer->quad.SetVisible(false);
    XMeasurementsFeedbackHelper::XDisplayOptions options;
    options.colour = XARGB32Colour(255, 0, 255, 0);
    X3DPolyLineFeedback line(options);
    XMeasurementObject object;
    object.points = {{-0.9, -0.5, -0.5}, {0.1, -0.5, -0.5}};
    line.SetObjectList({object});
    renderer->AddFeedbackItem(&line);
    const XBGRA32Volume* frame = Paint();
    ASSERT_NE(frame, nullptr);
    EXPECT_GT(Count(*frame, IsGreenText), 0);
    EXPECT_EQ(Count(*Export(kWidth, kHeight, XRenderer::kRenderingIntentFinal, "BaseRendererFeedbackFinal"), IsGreenText), 0);
    renderer->RemoveFeedbackItem(&line);
    EXPECT_EQ(Count(*Paint(), IsGreenText), 0);
}

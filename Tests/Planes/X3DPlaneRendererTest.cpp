// The planes renderer in its scene: offered for data deep enough to slice, exports
// showing the merged slices, and the planes following timepoints and new data.
#include "../Scene/XPlanesFixture.h"                // the hand-made sources
#include "../SceneRenderer/XBaseRendererFixture.h" // the renderer in a pane

#include "X3DPlaneRenderer.h"
#include "X3DRegionMeasurementFeedback.h"
#include "XJob.h"
#include "XThread.h"
#include "X3DPlaneRendererStrategy.h"
#include "XErrorCode.h"
#include "XRendererPane.h"
#include "XVolumeRenderThumbnailJob.h"

#include <cstdlib>
#include <thread>

namespace {
TEST(PlaneRendererStrategyTest, OffersPlanesForDataAtLeastTwoVoxelsAlongEachAxis)
{
    const X3DPlaneRendererStrategy strategy;
    struct XCase {
        X3DRect bounds;
        bool supported;
    };
    for (const XCase& c : {XCase{X3DRect(0, 0, 0, 2, 2, 2), true}, XCase{X3DRect(0, 0, 0, 64, 64, 1), false},
             XCase{X3DRect(0, 0, 0, 1, 8, 8), false}, XCase{X3DRect(0, 0, 0, 8, 1, 8), false},
             XCase{X3DRect(3, 3, 3, 6, 6, 6), true}}) {
        const auto source = MakeTestSource({{c.bounds, XARGB32Colour::kRed, Constant(1)}});
        EXPECT_EQ(strategy.IsSourceSupported(*source), c.supported) << c.bounds.GetWidth() << " x "
            << c.bounds.GetHeight() << " x " << c.bounds.GetDepth();
        if (c.supported) {
            std::unique_ptr<XRenderer> renderer(strategy.MakeRenderer(source));
            EXPECT_NE(dynamic_cast<X3DPlaneRenderer*>(renderer.get()), nullptr);
        } else {
            EXPECT_EQ(CodeOf([&] { std::unique_ptr<XRenderer>(strategy.MakeRenderer(source)); }), XException::kNoRenderer);
        }
    }
}

class PlaneRendererTest : public RendererPaneTest<X3DPlaneRenderer> {
protected:
    static constexpr int kSize = 80;

    void Open(const boost::shared_ptr<XImageDataSource>& inSource) { RendererPaneTest::Open(inSource, kSize, kSize); }
    // A final render (no overlays) seen from the default camera, in front of the volume.
    XARGB32Colour ExportPixel(float inX, float inY, const std::string& inName)
    {
        return TestPicture::PixelAt(*Export(kSize, kSize, XRenderer::kRenderingIntentFinal, inName), int(inX * kSize), int(inY * kSize));
    }
};

const X3DRect kCube(0, 0, 0, 10, 10, 10);

TEST_F(PlaneRendererTest, AnExportShowsTheMergedSlice)
{
    Open(MakeTestSource({{kCube, XARGB32Colour::kRed, Constant(200)}, {kCube, XARGB32Colour::kGreen, Constant(100)}}));
    ASSERT_TRUE(renderer->GetPlaneNode().IsVisible());
    // Off the middle, where the two planes seen edge-on cross.
    EXPECT_EQ(ExportPixel(0.42f, 0.42f, "plane-renderer-merged"), XARGB32Colour(255, 200, 100, 0));
    SetScalar(kSceneStateChannelMergeMode, 1);
    EXPECT_EQ(ExportPixel(0.42f, 0.42f, "plane-renderer-average"), XARGB32Colour(255, 100, 50, 0));
}

TEST_F(PlaneRendererTest, ChannelModesGoByDepth)
{
    Open(MakeTestSource({{kCube, XARGB32Colour::kRed, Constant(200)},
        {X3DRect(0, 0, 4, 10, 10, 5), XARGB32Colour::kGreen, Constant(100)}}));
    EXPECT_EQ(renderer->GetSupportedChannelModes(1), XVector<uint32_t>{X3DPlaneRenderer::kChannelModeSliced});
    EXPECT_EQ(renderer->GetSupportedChannelModes(2), XVector<uint32_t>{X3DPlaneRenderer::kChannelModeReferencePlane});
    EXPECT_EQ(renderer->GetPlaneNode().GetReferencePlanePositions(), std::vector<uint32_t>{4});
}

TEST_F(PlaneRendererTest, SlicesFollowTheTimepointAndPlanesTheData)
{
    auto sequence = std::make_shared<XDataVolumeSequence>(1, 2);
    for (uint32_t t = 1; t <= 2; ++t) {
        auto volume = std::make_shared<XGrey8Volume>(kCube);
        std::memset(volume->GetData(), t == 1 ? 60 : 180, volume->GetDataSize());
        volume->SetImageRenderer(XImageRenderer(XARGB32Colour::kRed, 0, 255));
        sequence->SetVolume(1, t, volume);
    }
    const boost::shared_ptr<XImageDataSource> source(new XImageDataSource(std::shared_ptr<const XDataVolumeSequence>(sequence)));
    Open(source);
    EXPECT_EQ(ExportPixel(0.42f, 0.42f, "plane-renderer-t1").red, 60);
    const uint64_t made = renderer->GetSliceTexturesMade();
    renderer->SetCurrentTimepoint(2);
    EXPECT_EQ(renderer->GetSliceTexturesMade() - made, 3u);
    EXPECT_EQ(ExportPixel(0.42f, 0.42f, "plane-renderer-t2").red, 180);
    // New data with a one-plane channel: it becomes a reference plane, and a later
    // change of data without it, and twice as wide, leaves none behind and rescales
    // (a tenth of 20 voxels and one spare at each end).
    const auto withPlane = MakeTestSource({{kCube, XARGB32Colour::kRed, Constant(60)},
        {X3DRect(0, 0, 7, 10, 10, 8), XARGB32Colour::kBlue, Constant(255)}});
    source->SetSequence(withPlane->GetSequence());
    renderer->HandleImageDataChanged();
    EXPECT_EQ(renderer->GetPlaneNode().GetReferencePlanePositions(), std::vector<uint32_t>{7});
    source->SetSequence(MakeTestSource({{X3DRect(0, 0, 0, 20, 10, 10), XARGB32Colour::kRed, Constant(60)}})->GetSequence());
    renderer->HandleImageDataChanged();
    EXPECT_TRUE(renderer->GetPlaneNode().GetReferencePlanePositions().empty());
    EXPECT_EQ(renderer->GetScaleText(), XString("1 Unit = 2.2 µm"));
}
TEST_F(PlaneRendererTest, AThumbnailRenderedOnAJobThreadIsTheExportOfTheView)
{
    Open(MakeTestSource({{kCube, XARGB32Colour::kRed, Constant(200)}, {kCube, XARGB32Colour::kGreen, Constant(100)}}));
    XRendererSceneState turned;
    turned.SetStateAndEnable(kSceneStateRotation, X3DMatrix::RotationMatrix(X3DMatrix::ColumnVector(0, 1, 0), 0.5, 3));
    turned.SetStateAndEnable(kSceneStateXYPlane, XRenderer::MakeScalarStateValue(0.2));
    renderer->SetSceneState(turned);
    std::unique_ptr<XVolume> expected(renderer->RenderToImage(XRect(0, 0, 40, 30), XRenderer::kRenderingIntentFinal));
    ASSERT_TRUE(renderer->CanThreadRenderToImage());
    const XUUID id = XUUID::Generate();
    XVolumeRenderThumbnailJob job(id, 40, 30, renderer.get());
    EXPECT_FALSE(job.IsRendered()) << "a renderer that renders on job threads leaves it to the job";
    // The job thread renders with a device of its own.
    std::thread worker([&] { job.RunJob(); });
    worker.join();
    ASSERT_TRUE(job.IsRendered());
    EXPECT_EQ(TestPicture::CountDifferences(*job.GetThumbnail(), *expected), 0);
    EXPECT_GT(TestPicture::CountNonBackground(*expected), 100);
}
} // namespace

namespace {
class XSlowJob : public XJob {
    void RunJobSelf() override { XThread::SleepCurrentThread(700); }
};
} // namespace

// A region feedback item shows its surfaces in the plane node. A slow job holds up the
// surface: an export still shows it, filled, not the placeholder's wire box.
TEST_F(PlaneRendererTest, AnExportWaitsForTheRegionSurfaces)
{
    Open(MakeTestSource({{X3DRect(0, 0, 0, 16, 16, 16), XARGB32Colour::kRed, Constant(0)}}));
    X3DRegionMeasurementFeedback feedback;
    feedback.SetRegions({X3DRegion(X3DRect(2, 2, 2, 12, 12, 12), XARGB32Colour(255, 0, 255, 255))});
    feedback.GetJobQueue().AttachJob(new XSlowJob);
    renderer->AddFeedbackItem(&feedback);
    ASSERT_EQ(renderer->GetPlaneNode().GetIsoData().size(), 1u);
    feedback.UpdateRegionList();
    std::unique_ptr<XVolume> image(renderer->RenderToImage(XRect(0, 0, kSize, kSize), XRenderer::kRenderingIntentFinal));
    TestPicture::SavePNG(*image, "plane-renderer-region-surface");
    // Cyan however lit: green equal to blue and red well below, whatever the highlights add.
    const TestPicture::XSpread cyan = TestPicture::SpreadOf(*image, [](const XARGB32Colour& p) {
        return p.green > 4 && p.blue > 4 && std::abs(p.green - p.blue) < 10 && 2 * p.red < p.green;
    });
    ASSERT_GT(cyan.count, 100);
    EXPECT_GT(cyan.GetFill(), 0.7);
    renderer->RemoveFeedbackItem(&feedback);
    EXPECT_TRUE(renderer->GetPlaneNode().GetIsoData().empty());
}

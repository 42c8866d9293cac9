#include "XBaseRendererFixture.h"

#include "XJob.h"
#include "XJobQueue.h"

namespace {

// An export on a job thread, kept for the test to compare.
class XExportJob : public XJob {
public:
    XExportJob(X3DBaseRenderer& inRenderer, int inSide, std::unique_ptr<XVolume>& outImage)
        : itsRenderer(inRenderer), itsSide(inSide), itsImage(outImage)
    {
    }
    bool CanCompleteInJobThread() const override { return true; }

protected:
    void RunJobSelf() override
    {
        itsImage.reset(itsRenderer.RenderToImage(XRect(0, 0, itsSide, itsSide), XRenderer::kRenderingIntentFinal));
    }

private:
    X3DBaseRenderer& itsRenderer;
    int itsSide;
    std::unique_ptr<XVolume>& itsImage;
};

} // namespace

// Exports in jobs on two queues, each with a device of its own, while the main thread paints
// and switches between two scenes: every export is exactly one of the two scenes.
TEST_F(BaseRendererTest, ThreadsExportWhileTheMainThreadPaints)
{
    constexpr int kSide = 48;
    XRendererSceneState scenes[2];
    scenes[0].SetStateAndEnable(kSceneStateBackgroundColour, XRenderer::MakeColourStateValue(XARGB32Colour(255, 0, 0, 120)));
    scenes[0].SetStateAndEnable(kSceneStateRotation, X3DMatrix::UnitMatrix(3));
    scenes[1].SetStateAndEnable(kSceneStateBackgroundColour, XRenderer::MakeColourStateValue(XARGB32Colour(255, 0, 90, 0)));
    scenes[1].SetStateAndEnable(kSceneStateRotation, X3DMatrix::RotationMatrix(X3DMatrix::ColumnVector(0, 0, 1), 0.5, 3));
    std::unique_ptr<XVolume> expected[2];
    for (int i = 0; i < 2; ++i) {
        renderer->SetSceneState(scenes[i]);
        expected[i] = Export(kSide, kSide, XRenderer::kRenderingIntentFinal, "BaseRendererScene" + std::to_string(i));
    }
    ASSERT_GT(TestPicture::CountDifferences(*expected[0], *expected[1]), 0);

    constexpr int kQueues = 2, kExports = 4;
    std::vector<std::unique_ptr<XVolume>> made(kQueues * kExports);
    XJobQueue queues[kQueues];
    for (int q = 0; q < kQueues; ++q) {
        for (int i = 0; i < kExports; ++i)
            queues[q].AttachJob(new XExportJob(*renderer, kSide, made[q * kExports + i]));
        queues[q].Start();
    }
    for (int frame = 0; queues[0].GetJobCount() + queues[1].GetJobCount() > 0; ++frame) {
        renderer->SetSceneState(scenes[frame % 2]);
        ASSERT_NE(Paint(), nullptr);
    }
    for (XJobQueue& queue : queues)
        ASSERT_TRUE(queue.WaitForQueueEmpty(60000));

    for (size_t i = 0; i < made.size(); ++i) {
        SCOPED_TRACE(i);
        ASSERT_NE(made[i], nullptr);
        const bool first = TestPicture::CountDifferences(*made[i], *expected[0]) == 0;
        const bool second = TestPicture::CountDifferences(*made[i], *expected[1]) == 0;
        EXPECT_TRUE(first || second);
        if (!first && !second)
            TestPicture::SavePNG(*made[i], "BaseRendererThreadExport" + std::to_string(i));
    }
}

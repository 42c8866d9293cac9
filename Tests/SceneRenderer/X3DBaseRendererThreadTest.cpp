#include "XBaseRendererFixture.h"

#include <thread>

// Exports on other threads, each with a device of its own, while the main thread paints
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

    constexpr int kThreads = 2, kExports = 4;
    std::vector<std::unique_ptr<XVolume>> made(kThreads * kExports);
    std::atomic<int> running{kThreads};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([&, t] {
            for (int i = 0; i < kExports; ++i)
                made[t * kExports + i].reset(
                    renderer->RenderToImage(XRect(0, 0, kSide, kSide), XRenderer::kRenderingIntentFinal));
            --running;
        });
    for (int frame = 0; running > 0; ++frame) {
        renderer->SetSceneState(scenes[frame % 2]);
        ASSERT_NE(Paint(), nullptr);
    }
    for (std::thread& thread : threads)
        thread.join();

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

// 'kestrin3d movie render' frames of the planes view of the built-in sample at
// 800 x 600, each drawn and written as the command does (the frame's keyframe view
// and timepoint, the export, the PNG written beside and renamed), against one export
// of the same view plus a PNG write of that size, measured in turn in the same run.
// "ratio" is a movie frame's time over the baseline's; "frames_per_second" the
// movie's rate of drawing.
#include "XARGB32Volume.h"
#include "XBookmark3D.h"
#include "XMovieRenderCommand.h"
#include "XPNGFile.h"
#include "XRenderOptions.h"
#include "XRenderer.h"
#include "XViewFrames.h"
#include "XVolumeKeyframeMovie.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

namespace {
using XClock = std::chrono::steady_clock;

struct XMovieSetup {
    XMovieSetup()
    {
        // The host keeps its preferences and log in a scratch folder, not the user's.
        std::string pattern = std::filesystem::temp_directory_path().string() + "/kestrin-bench-XXXXXX";
        if (!mkdtemp(pattern.data()))
            std::abort();
        folder = pattern;
        setenv("KESTRIN_PREFS_FILE", (folder + "/prefs").c_str(), 1);
        setenv("KESTRIN_LOG_FILE", (folder + "/session.log").c_str(), 1);
        XRenderOptions options;
        options.view = XRenderOptions::XView::kPlanes;
        options.width = 800;
        options.height = 600;
        options.floor = options.time = options.scale = true;
        frames = XViewFrames::Make(options);
        // A turn of 120 degrees over 24 frames while the timepoints play.
        for (double degrees : {0.0, 120.0}) {
            XRendererSceneState state;
            state.SetStateAndEnable(kSceneStateRotation,
                X3DMatrix::RotationMatrix(X3DMatrix::ColumnVector(0, 1, 0), degrees * 3.14159265358979 / 180.0, 3));
            movie.AppendKeyframeTransition(XBookmark3D(state), degrees == 0.0 ? 23 : 1);
        }
        movie.AppendTimepointSequence(XVolumeKeyframeMovie::XTimepointSequence(XVolumeKeyframeMovie::kPlaybackForwards, 24, 0));
    }
    std::unique_ptr<XViewFrames> frames;
    XVolumeKeyframeMovie movie;
    std::string folder;
};

// Kept until the process ends: torn down by exit handlers, its devices would meet a
// driver that has already unloaded.
XMovieSetup& Setup()
{
    static XMovieSetup* sSetup = new XMovieSetup;
    return *sSetup;
}

void BM_MovieRenderFrame800x600(benchmark::State& state)
{
    XMovieSetup& setup = Setup();
    XRenderer& renderer = *setup.frames->GetRenderer();
    const uint32_t timepoints = setup.frames->GetTimepointCount();
    uint64_t frame = 0;
    double baseline = 0, subject = 0;
    for (auto _ : state) {
        const auto t0 = XClock::now();
        {
            const std::unique_ptr<XVolume> image(renderer.RenderToImage(XRect(0, 0, 800, 600),
                XRenderer::kRenderingIntentScreen));
            XPNGFile::Write(XString(setup.folder + "/export.png"), *image);
        }
        const auto t1 = XClock::now();
        {
            const std::unique_ptr<XBookmark3D> view(setup.movie.MakeFrameBookmark(renderer, frame));
            const XARGB32Volume picture = setup.frames->Render(&view->GetSceneState(),
                setup.movie.GetTimepointAtTime(frame, 1, timepoints));
            XMovieRenderCommand::WriteWhole(picture, setup.folder + "/frame.png");
        }
        const auto t2 = XClock::now();
        frame = (frame + 1) % setup.movie.GetLength();
        baseline += std::chrono::duration<double>(t1 - t0).count();
        const double s = std::chrono::duration<double>(t2 - t1).count();
        subject += s;
        state.SetIterationTime(s);
    }
    state.counters["baseline_ms"] = 1000.0 * baseline / double(state.iterations());
    state.counters["ratio"] = baseline > 0 ? subject / baseline : 0.0;
    state.counters["frames_per_second"] = subject > 0 ? double(state.iterations()) / subject : 0.0;
}
BENCHMARK(BM_MovieRenderFrame800x600)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(3.0);
} // namespace

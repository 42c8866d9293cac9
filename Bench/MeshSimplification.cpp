// Simplification of extracted voxel surfaces: a union of boxes (flat faces and straight
// creases, where most of the surface goes), a ball and a noisy blob (few flat patches).
// Each is reported against a plain pass over the same mesh measured in the same run
// ("x_pass" = simplification time / pass time, both in processor time of their thread):
// the pass copies the polygon lists and computes every polygon's unit normal from the
// vertex positions, the least any simplification has to do. The counters give the
// polygons before and after.
#include "IsoReference.h"
#include "XMeshSimplificationTool.h"
#include "XOpenGL.h"
#include "XThread.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <ctime>
#include <random>

namespace {

// Processor time of the calling thread: the machine may be shared, and the tool runs on
// a thread of its own, so wall time would count other programs' turns.
double ThreadSeconds()
{
    timespec now;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + 1e-9 * double(now.tv_nsec);
}

using IsoReference::XSurface;

XSurface MakeBoxes()
{
    auto in = [](int x, int y, int z, int x0, int y0, int z0, int x1, int y1, int z1) {
        return x >= x0 && y >= y0 && z >= z0 && x < x1 && y < y1 && z < z1;
    };
    return IsoReference::Extract(IsoReference::MakeMask(X3DRect(0, 0, 0, 96, 96, 64),
                                                        [&](int x, int y, int z) {
                                                            return in(x, y, z, 0, 0, 0, 96, 96, 24) ||
                                                                   in(x, y, z, 16, 16, 24, 80, 48, 64) ||
                                                                   in(x, y, z, 32, 56, 24, 64, 88, 48);
                                                        }),
                                 128, std::nullopt);
}

// Voxels whose centre lies within inRadius of the volume's centre, and some strewn at random.
XSurface MakeBall(int inSize, double inRadius, int inStrewnPercent)
{
    std::mt19937 random(11);
    const double c = inSize / 2.0;
    return IsoReference::Extract(IsoReference::MakeMask(X3DRect(0, 0, 0, inSize, inSize, inSize),
                                                        [&](int x, int y, int z) {
                                                            const bool strewn = int(random() % 100) < inStrewnPercent;
                                                            return strewn || std::hypot(x + 0.5 - c, y + 0.5 - c,
                                                                                        z + 0.5 - c) <= inRadius;
                                                        }),
                                 128, std::nullopt);
}

const XSurface& GetSurface(int inWhich)
{
    static const XSurface surfaces[] = {MakeBoxes(), MakeBall(100, 48, 0), MakeBall(64, 24, 5)};
    return surfaces[inWhich];
}

// Seconds per plain pass over the surface, averaged over enough passes to time reliably.
double PassSeconds(const XSurface& inSurface)
{
    int passes = 0;
    double elapsed = 0.0;
    const double start = ThreadSeconds();
    while (elapsed < 0.3 || passes < 3) {
        XVector<XMathVectorU4> quads = inSurface.quads;
        XVector<XMathVectorU3> triangles = inSurface.triangles;
        XVector<XMathVectorD3> normals;
        normals.reserve(quads.size());
        for (const XMathVectorU4& q : quads) {
            auto at = [&](int k) {
                const XMathVectorF3& p = inSurface.positions[q[k]];
                return XMathVectorD3(p[0], p[1], p[2]);
            };
            normals.push_back((at(2) - at(0)).Cross(at(3) - at(1)).GetNormalised());
        }
        benchmark::DoNotOptimize(normals.data());
        benchmark::DoNotOptimize(triangles.data());
        benchmark::ClobberMemory();
        ++passes;
        elapsed = ThreadSeconds() - start;
    }
    return elapsed / passes;
}

void RunSimplification(benchmark::State& state)
{
    const XSurface& surface = GetSurface(int(state.range(0)));
    // Held for the whole run so that the libraries are loaded once, not per iteration.
    OpenGLInit();
    double total = 0.0;
    size_t polygonsAfter = 0;
    for (auto _ : state) {
        XVector<XMathVectorU3> triangles = surface.triangles;
        XVector<XMathVectorU4> quads = surface.quads;
        double seconds = 0.0;
        // The tool runs on a host thread, as in its jobs.
        XThread thread([&] {
            const double start = ThreadSeconds();
            XMeshSimplificationTool tool(triangles, quads, surface.positions);
            tool.SimplifyMesh();
            seconds = ThreadSeconds() - start;
        });
        thread.Start();
        thread.Join();
        state.SetIterationTime(seconds);
        total += seconds;
        polygonsAfter = triangles.size() + quads.size();
    }
    OpenGLUnInit();
    state.counters["x_pass"] = total / double(state.iterations()) / PassSeconds(surface);
    state.counters["quads_before"] = double(surface.quads.size());
    state.counters["polygons_after"] = double(polygonsAfter);
}

} // namespace

BENCHMARK(RunSimplification)
    ->Name("BM_SimplifyBoxes")
    ->Arg(0)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK(RunSimplification)
    ->Name("BM_SimplifyBall")
    ->Arg(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK(RunSimplification)
    ->Name("BM_SimplifyNoise")
    ->Arg(2)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

// Frames per second of a whole legacy frame read back into a volume (RenderContext
// plus RenderToVolume), for an empty scene and for 100,000 lit triangles, each beside
// a bare glReadPixels of the same size measured in the same run: the ratio shows what
// the frame adds to the read-back the hardware must do anyway.
#include "WGLWnd.h"
#include "XGLContextLock.h"
#include "XGLRenderable.h"
#include "XOpenGL.h"
#include "XVolume.h"

#include <benchmark/benchmark.h>
#include <cmath>
#include <memory>
#include <vector>

namespace {
// A lit, closed surface of many small triangles (a sphere of radius 0.8), drawn from
// client arrays so that the measure is the frame, not immediate-mode call overhead.
class XTriangleMesh : public XGLRenderable {
public:
    explicit XTriangleMesh(int inTriangleCount)
    {
        const int bands = std::max(2, int(std::sqrt(inTriangleCount / 2.0)));
        const int segments = std::max(3, inTriangleCount / (2 * bands));
        auto point = [&](int b, int s) {
            const double theta = M_PI * b / bands, phi = 2 * M_PI * s / segments;
            return std::array<float, 3>{float(std::sin(theta) * std::cos(phi)), float(std::cos(theta)),
                                        float(std::sin(theta) * std::sin(phi))};
        };
        for (int b = 0; b < bands; ++b)
            for (int s = 0; s < segments; ++s) {
                const auto p00 = point(b, s), p01 = point(b, s + 1), p10 = point(b + 1, s), p11 = point(b + 1, s + 1);
                for (const auto& p : {p00, p10, p11, p00, p11, p01}) {
                    itsNormals.insert(itsNormals.end(), p.begin(), p.end());
                    for (float c : p)
                        itsVertices.push_back(0.8f * c);
                }
            }
    }
    size_t GetTriangleCount() const { return itsVertices.size() / 9; }

protected:
    void RenderSelf(XGLRenderable&) override
    {
        glColor3f(0.3f, 0.7f, 0.9f);
        glEnableClientState(GL_VERTEX_ARRAY);
        glEnableClientState(GL_NORMAL_ARRAY);
        glVertexPointer(3, GL_FLOAT, 0, itsVertices.data());
        glNormalPointer(GL_FLOAT, 0, itsNormals.data());
        glDrawArrays(GL_TRIANGLES, 0, GLsizei(itsVertices.size() / 3));
        glDisableClientState(GL_NORMAL_ARRAY);
        glDisableClientState(GL_VERTEX_ARRAY);
    }

private:
    std::vector<float> itsVertices;
    std::vector<float> itsNormals;
};

void BM_FrameToVolume(benchmark::State& state)
{
    const int width = int(state.range(0)), height = int(state.range(1)), triangles = int(state.range(2));
    WGLWnd window(width, height);
    std::unique_ptr<XTriangleMesh> mesh;
    if (triangles > 0) {
        mesh = std::make_unique<XTriangleMesh>(triangles);
        window.AddChild(*mesh);
        state.counters["triangles"] = double(mesh->GetTriangleCount());
    }
    for (auto _ : state) {
        std::unique_ptr<XVolume> picture(window.RenderToVolume());
        benchmark::DoNotOptimize(picture->GetLayerPtr(0));
    }
    state.counters["fps"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
    if (mesh)
        window.RemoveChild(*mesh);
}

void BM_BareReadPixels(benchmark::State& state)
{
    const int width = int(state.range(0)), height = int(state.range(1));
    WGLWnd window(width, height);
    std::vector<uint8_t> pixels(size_t(width) * size_t(height) * 4);
    XGLContextLock lock(window);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    for (auto _ : state) {
        glReadPixels(0, 0, width, height, GL_BGRA_EXT, GL_UNSIGNED_BYTE, pixels.data());
        glFinish();
        benchmark::DoNotOptimize(pixels.data());
    }
    state.counters["fps"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}
} // namespace

BENCHMARK(BM_BareReadPixels)->Args({640, 480})->Args({1920, 1080})->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_FrameToVolume)
    ->Args({640, 480, 0})
    ->Args({640, 480, 100000})
    ->Args({1920, 1080, 0})
    ->Args({1920, 1080, 100000})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime(); // the driver draws on its own threads

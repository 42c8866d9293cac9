// Isosurface extraction on three volumes of bytes 0/255 (iso 128): a sphere of radius
// 100 in 256³, 200 seeded ellipsoids (radii 5-20) in 256 × 256 × 128, and σ = 4
// smoothed noise above its 70th percentile in 256³. Each run is the whole work of the
// tool: padded copy, extraction and normals. The baseline, measured in the same run,
// is a plain pass over the same voxels that counts those above the iso value
// ("x_plain_pass" = extraction time / pass time). Times are the thread's CPU time.
//
// Bench/iso-peer.sh uses two more modes to time us against another extractor:
//   BenchIsosurface --write-volumes DIR      writes NAME.raw for each volume and prints
//                                            "NAME WIDTH HEIGHT DEPTH" lines
//   BenchIsosurface --time FILE W H D        one fresh run on a raw volume; prints
//                                            "seconds S pass P vertices V quads Q"
#include "XMaskVolume.h"
#include "XMeshSimplificationTool.h"
#include "XThread.h"
#include "XVolumeIsosurfaceTool.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <memory>
#include <random>
#include <string>
#include <vector>
#include <time.h>

namespace {
constexpr uint8_t kIso = 128;

struct Volume {
    const char* name;
    std::unique_ptr<XMaskVolume> mask;
};

std::unique_ptr<XMaskVolume> MakeSphere()
{
    auto v = std::make_unique<XMaskVolume>(256, 256, 256);
    for (int z = 0; z < 256; ++z)
        for (int y = 0; y < 256; ++y) {
            uint8_t* row = v->GetVoxelRow(y, z);
            for (int x = 0; x < 256; ++x) {
                const double dx = x - 127.5, dy = y - 127.5, dz = z - 127.5;
                row[x] = dx * dx + dy * dy + dz * dz <= 100.0 * 100.0 ? 255 : 0;
            }
        }
    return v;
}

std::unique_ptr<XMaskVolume> MakeCells()
{
    auto v = std::make_unique<XMaskVolume>(256, 256, 128);
    std::mt19937 random(16);
    std::uniform_real_distribution<double> radius(5, 20), unit(0, 1);
    for (int i = 0; i < 200; ++i) {
        const double r[3] = {radius(random), radius(random), radius(random)};
        const double c[3] = {unit(random) * 256, unit(random) * 256, unit(random) * 128};
        for (int z = std::max(0, int(c[2] - r[2])); z <= std::min(127, int(c[2] + r[2])); ++z)
            for (int y = std::max(0, int(c[1] - r[1])); y <= std::min(255, int(c[1] + r[1])); ++y)
                for (int x = std::max(0, int(c[0] - r[0])); x <= std::min(255, int(c[0] + r[0])); ++x) {
                    const double dx = (x - c[0]) / r[0], dy = (y - c[1]) / r[1], dz = (z - c[2]) / r[2];
                    if (dx * dx + dy * dy + dz * dz <= 1.0)
                        v->SetVoxel(x, y, z, 255);
                }
    }
    return v;
}

// One axis of a separable Gaussian, edges clamped.
void Smooth(std::vector<float>& inOut, const std::vector<float>& inKernel, size_t inStride, size_t inLength,
            size_t inLines, size_t inLineStep, size_t inInnerCount, size_t inInnerStep)
{
    const int radius = int(inKernel.size() / 2);
    std::vector<float> line(inLength);
    for (size_t l = 0; l < inLines; ++l)
        for (size_t k = 0; k < inInnerCount; ++k) {
            float* start = inOut.data() + l * inLineStep + k * inInnerStep;
            for (size_t i = 0; i < inLength; ++i)
                line[i] = start[i * inStride];
            for (size_t i = 0; i < inLength; ++i) {
                float sum = 0;
                for (int j = -radius; j <= radius; ++j) {
                    const long at = std::clamp(long(i) + j, 0L, long(inLength) - 1);
                    sum += inKernel[size_t(j + radius)] * line[size_t(at)];
                }
                start[i * inStride] = sum;
            }
        }
}

std::unique_ptr<XMaskVolume> MakeNoise()
{
    constexpr size_t n = 256;
    std::vector<float> field(n * n * n);
    std::mt19937 random(4);
    std::uniform_real_distribution<float> unit(0, 1);
    for (float& f : field)
        f = unit(random);
    std::vector<float> kernel;
    for (int j = -12; j <= 12; ++j)
        kernel.push_back(std::exp(-float(j * j) / (2 * 16.0f)));
    float total = 0;
    for (float k : kernel)
        total += k;
    for (float& k : kernel)
        k /= total;
    Smooth(field, kernel, 1, n, n * n, n, 1, 0);         // x along each row
    Smooth(field, kernel, n, n, n, n * n, n, 1);         // y within each plane
    Smooth(field, kernel, n * n, n, 1, 0, n * n, 1);     // z through the planes
    std::vector<float> sorted(field);
    std::nth_element(sorted.begin(), sorted.begin() + long(sorted.size() * 7 / 10), sorted.end());
    const float cut = sorted[sorted.size() * 7 / 10];
    auto v = std::make_unique<XMaskVolume>(int32_t(n), int32_t(n), int32_t(n));
    uint8_t* p = v->GetVoxelLayer(0);
    for (size_t i = 0; i < field.size(); ++i)
        p[i] = field[i] > cut ? 255 : 0;
    return v;
}

std::vector<Volume>& GetVolumes()
{
    static std::vector<Volume> volumes = [] {
        std::vector<Volume> v;
        v.push_back({"sphere", MakeSphere()});
        v.push_back({"cells", MakeCells()});
        v.push_back({"noise", MakeNoise()});
        return v;
    }();
    return volumes;
}

// CPU time of this thread: the machine may be shared, and the work is single-threaded.
double Now()
{
    timespec t;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + 1e-9 * double(t.tv_nsec);
}

// The baseline: one pass over every voxel, counting in rows so that it vectorises.
uint64_t PlainPass(const XMaskVolume& inVolume)
{
    uint64_t above = 0;
    for (int32_t z = 0; z < inVolume.GetDepth(); ++z)
        for (int32_t y = 0; y < inVolume.GetHeight(); ++y) {
            const uint8_t* row = inVolume.GetVoxelRow(y, z);
            uint32_t count = 0;
            for (int32_t x = 0; x < inVolume.GetWidth(); ++x)
                count += row[x] > kIso;
            above += count;
        }
    return above;
}

double PlainPassSeconds(const XMaskVolume& inVolume)
{
    double best = 1e30;
    for (int i = 0; i < 5; ++i) {
        const double start = Now();
        benchmark::DoNotOptimize(PlainPass(inVolume));
        best = std::min(best, Now() - start);
    }
    return best;
}

struct Surface {
    XVector<XMathVectorF3> positions, normals;
    XVector<XMathVectorU4> quads;
};

void BM_PlainPass(benchmark::State& state, size_t inVolume)
{
    const XMaskVolume& volume = *GetVolumes()[inVolume].mask;
    for (auto _ : state)
        benchmark::DoNotOptimize(PlainPass(volume));
    state.SetBytesProcessed(int64_t(state.iterations() * volume.GetVoxelCount()));
}

void BM_Extract(benchmark::State& state, size_t inVolume, bool inReuseTool)
{
    const XMaskVolume& volume = *GetVolumes()[inVolume].mask;
    XVolumeIsosurfaceTool kept(volume, kIso);
    double total = 0;
    size_t vertices = 0, quads = 0;
    for (auto _ : state) {
        Surface s;
        const double start = Now();
        if (inReuseTool) {
            kept.SetInput(volume, kIso);
            kept.MakeIsoSurface(s.positions, s.normals, s.quads);
        } else {
            XVolumeIsosurfaceTool tool(volume, kIso);
            tool.MakeIsoSurface(s.positions, s.normals, s.quads);
        }
        total += Now() - start;
        vertices = s.positions.size();
        quads = s.quads.size();
    }
    state.counters["x_plain_pass"] = total / double(state.iterations()) / PlainPassSeconds(volume);
    state.counters["vertices"] = double(vertices);
    state.counters["quads"] = double(quads);
    state.SetBytesProcessed(int64_t(state.iterations() * volume.GetVoxelCount()));
}

int WriteVolumes(const std::string& inFolder)
{
    for (const Volume& v : GetVolumes()) {
        const std::string path = inFolder + "/" + v.name + ".raw";
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(v.mask->GetData()), std::streamsize(v.mask->GetVoxelCount()));
        if (!out) {
            std::cerr << "BenchIsosurface: cannot write " << path << "\n";
            return 1;
        }
        std::cout << v.name << " " << v.mask->GetWidth() << " " << v.mask->GetHeight() << " " << v.mask->GetDepth()
                  << "\n";
    }
    return 0;
}

bool ReadVolume(const std::string& inPath, XMaskVolume& outVolume)
{
    std::ifstream in(inPath, std::ios::binary);
    in.read(reinterpret_cast<char*>(outVolume.GetData()), std::streamsize(outVolume.GetVoxelCount()));
    if (!in)
        std::cerr << "BenchIsosurface: cannot read " << outVolume.GetWidth() << " x " << outVolume.GetHeight() << " x "
                  << outVolume.GetDepth() << " bytes from " << inPath << "\n";
    return bool(in);
}

// Extraction, then simplification of its result on a host thread (which the tool
// needs), each in CPU time of the thread that does it.
int TimeSimplification(const std::string& inPath, int inWidth, int inHeight, int inDepth)
{
    XMaskVolume volume(inWidth, inHeight, inDepth);
    if (!ReadVolume(inPath, volume))
        return 1;
    Surface s;
    double start = Now();
    XVolumeIsosurfaceTool(volume, kIso).MakeIsoSurface(s.positions, s.normals, s.quads);
    const double extraction = Now() - start;
    const size_t quadsBefore = s.quads.size();
    XVector<XMathVectorU3> triangles;
    double simplification = 0;
    bool failed = false;
    XThread worker([&] {
        try {
            const double begin = Now();
            XMeshSimplificationTool tool(triangles, s.quads, s.positions);
            tool.SimplifyMesh();
            simplification = Now() - begin;
        } catch (...) {
            failed = true;
        }
    });
    worker.Start();
    worker.Join();
    if (failed) {
        std::cerr << "BenchIsosurface: the simplification of " << inPath << " failed\n";
        return 1;
    }
    std::printf("extraction %.6f simplification %.6f quads %zu after_quads %zu after_triangles %zu\n", extraction,
                simplification, quadsBefore, s.quads.size(), triangles.size());
    return 0;
}

int TimeOnce(const std::string& inPath, int inWidth, int inHeight, int inDepth)
{
    XMaskVolume volume(inWidth, inHeight, inDepth);
    if (!ReadVolume(inPath, volume))
        return 1;
    Surface s;
    const double start = Now();
    XVolumeIsosurfaceTool tool(volume, kIso);
    tool.MakeIsoSurface(s.positions, s.normals, s.quads);
    const double seconds = Now() - start;
    std::printf("seconds %.6f pass %.6f vertices %zu quads %zu\n", seconds, PlainPassSeconds(volume), s.positions.size(),
                s.quads.size());
    return 0;
}
} // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::strcmp(argv[1], "--write-volumes") == 0)
        return WriteVolumes(argv[2]);
    if (argc == 6 && std::strcmp(argv[1], "--time") == 0)
        return TimeOnce(argv[2], std::atoi(argv[3]), std::atoi(argv[4]), std::atoi(argv[5]));
    if (argc == 6 && std::strcmp(argv[1], "--simplify") == 0)
        return TimeSimplification(argv[2], std::atoi(argv[3]), std::atoi(argv[4]), std::atoi(argv[5]));
    for (size_t i = 0; i < 3; ++i) {
        const std::string name = GetVolumes()[i].name;
        benchmark::RegisterBenchmark(("BM_PlainPass/" + name).c_str(), BM_PlainPass, i)->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("BM_Extract/" + name).c_str(), BM_Extract, i, false)->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("BM_ExtractReusedTool/" + name).c_str(), BM_Extract, i, true)
            ->Unit(benchmark::kMillisecond);
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

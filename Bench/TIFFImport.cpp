// Importing a 1024 × 1024 × 64 stack of two 16-bit channels from an ImageJ hyperstack
// the benchmark writes to a temporary file (256 MiB of voxels, in the page cache after
// writing), reported against a plain copy of the same number of bytes measured in the
// same run ("x_memcpy" = import time / memcpy time).
#include "MemcpyBaseline.h"
#include "XDataVolumeSequence.h"
#include "XGrey16Volume.h"
#include "XTIFFImporter.h"
#include "XTIFFSequenceImporter.h"
#include "XTIFFWriter.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int32_t kWidth = 1024, kHeight = 1024, kDepth = 64;
constexpr uint32_t kChannels = 2;
constexpr size_t kBytes = size_t(kWidth) * kHeight * kDepth * kChannels * sizeof(uint16_t);

// The file, written once and removed at exit.
struct StackFile {
    std::string dir;
    std::string path;
    StackFile()
    {
        std::string pattern = std::filesystem::temp_directory_path().string() + "/kestrin-bench-XXXXXX";
        if (!mkdtemp(pattern.data()))
            std::abort();
        dir = pattern;
        path = dir + "/stack.tif";
        std::vector<std::unique_ptr<XGrey16Volume>> volumes;
        std::vector<const XVolume*> pointers;
        for (uint32_t c = 0; c < kChannels; ++c) {
            volumes.push_back(std::make_unique<XGrey16Volume>(kWidth, kHeight, kDepth));
            uint16_t* p = volumes.back()->GetVoxelLayer(0);
            for (uint64_t i = 0; i < volumes.back()->GetVoxelCount(); ++i)
                p[i] = uint16_t((i + c) * 2654435761u >> 20); // 12-bit camera-like values
            pointers.push_back(volumes.back().get());
        }
        XTIFFWriter::XStack stack;
        stack.width = kWidth;
        stack.height = kHeight;
        stack.channelCount = kChannels;
        stack.sliceCount = kDepth;
        stack.voxelType = XVoxelType::kGrey16;
        stack.calibration[0] = stack.calibration[1] = 0.1;
        stack.calibration[2] = 0.5;
        XTIFFWriter::WriteVolumes(path, XTIFFWriter::XForm::kImageJ, stack, pointers);
    }
    ~StackFile()
    {
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }
};

StackFile& GetFile()
{
    static StackFile file;
    return file;
}

double GetMemcpySeconds()
{
    static double seconds = MemcpyBaseline::Seconds(kBytes);
    return seconds;
}

template <class TImport>
void RunImport(benchmark::State& state, TImport inImport)
{
    const std::string& path = GetFile().path;
    const double baseline = GetMemcpySeconds();
    double total = 0.0;
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        auto result = inImport(path);
        benchmark::DoNotOptimize(result);
        total += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kBytes));
    state.counters["x_memcpy"] = total / double(state.iterations()) / baseline;
}

// The whole import: reading, display ranges, the volume sequence.
void BM_TIFFImport(benchmark::State& state)
{
    RunImport(state, [](const std::string& inPath) { return XTIFFSequenceImporter::Import(XString(inPath)); });
}

// Reading the pages into volumes only.
void BM_TIFFReadAll(benchmark::State& state)
{
    RunImport(state, [](const std::string& inPath) {
        XTIFFImporter importer{XString(inPath)};
        return importer.ReadAll();
    });
}

void BM_Memcpy(benchmark::State& state)
{
    MemcpyBaseline::Run(state, kBytes);
}

} // namespace

BENCHMARK(BM_Memcpy)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TIFFReadAll)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_TIFFImport)->Unit(benchmark::kMillisecond)->MinTime(2.0);

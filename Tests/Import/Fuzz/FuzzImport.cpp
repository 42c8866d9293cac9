// libFuzzer target for the TIFF import: bytes that start like XML are read as the
// OME-XML of a small stack, any other bytes as a TIFF file (plain, ImageJ or OME).
// Either the input is refused with an XException, or it opens with a layout whose
// every plane lies on a page of the file and reads whole into volumes of that layout.
// Built only in the clang sanitizer build; Suite.cmake keeps it out of the test suite.
#include "XException.h"
#include "XOMEMetadata.h"
#include "XTIFFImporter.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

void Check(bool inCondition)
{
    if (!inCondition)
        std::abort();
}

// Big enough for every seed; larger declared stacks are opened but not read, so that
// a file that honestly asks for gigabytes is not taken for a leak.
constexpr uint64_t kMaxReadBytes = uint64_t(64) << 20;

void CheckLayout(const XTIFFLayout& inLayout)
{
    const uint64_t planes = uint64_t(inLayout.channelCount) * inLayout.sliceCount * inLayout.timepointCount;
    Check(inLayout.planePages.size() == planes && inLayout.planeSamples.size() == planes);
    for (size_t i = 0; i < planes; ++i)
        Check(inLayout.planePages[i] < inLayout.pageCount && inLayout.planeSamples[i] < inLayout.samplesPerPixel);
    Check(inLayout.channels.size() == inLayout.channelCount);
}

void FuzzTIFF(const uint8_t* inData, size_t inSize)
{
    // One in-memory file, rewritten for every input: libtiff reads it as it would a file on disk.
    static const int fd = memfd_create("FuzzImport.tif", 0);
    Check(fd >= 0);
    Check(ftruncate(fd, 0) == 0);
    Check(inSize == 0 || pwrite(fd, inData, inSize, 0) == ssize_t(inSize));
    const std::string path = "/proc/self/fd/" + std::to_string(fd);
    try {
        XTIFFImporter importer{XString(path)};
        const XTIFFLayout& layout = importer.GetLayout();
        CheckLayout(layout);
        Check(layout.timepointOffsets.size() == layout.timepointCount);
        if (layout.GetTotalBytes() > kMaxReadBytes)
            return;
        const auto volumes = importer.ReadAll();
        Check(volumes.size() == size_t(layout.channelCount) * layout.timepointCount);
        for (const auto& v : volumes)
            Check(v->GetWidth() == layout.width && v->GetHeight() == layout.height &&
                v->GetDepth() == int32_t(layout.sliceCount) && v->GetVoxelType() == layout.voxelType);
    } catch (const XException&) {
    }
}

// The OME-XML of a 13 x 7 stack of 16-bit pages, as the seeds describe.
void FuzzOME(const uint8_t* inData, size_t inSize)
{
    XTIFFLayout layout;
    layout.format = XTIFFLayout::XFormat::kOME;
    layout.width = 13;
    layout.height = 7;
    layout.voxelType = XVoxelType::kGrey16;
    layout.pageCount = 24;
    try {
        XOMEMetadata::Read(XString(reinterpret_cast<const char*>(inData), inSize), "x.ome.tif", 16, layout);
        CheckLayout(layout);
    } catch (const XException&) {
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* inData, size_t inSize)
{
    if (inSize > 0 && (inData[0] == '<' || inData[0] == 0xEF))
        FuzzOME(inData, inSize);
    else
        FuzzTIFF(inData, inSize);
    return 0;
}

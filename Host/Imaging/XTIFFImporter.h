#pragma once
// Reads microscopy stacks from TIFF files through libtiff:
// - ImageJ hyperstacks (an "ImageJ=" ImageDescription giving images, channels,
//   slices, frames, spacing, unit and finterval; pages in channel, slice, frame order),
// - OME-TIFF (OME-XML in the first ImageDescription: Pixels sizes, DimensionOrder,
//   Type, physical sizes, TimeIncrement, Channel names and colours, TiffData),
// - plain multi-page TIFF (one channel, or three for RGB pages; pages are z slices).
// Samples of 8 and 16 bits unsigned and 32-bit float are read.
//
// Opening reads only the directories and the metadata, and checks them: counts that
// do not match the pages, sizes beyond what can be held in memory, and sample
// layouts that cannot be read give an XException naming the file and the problem
// before anything large is allocated. Reading then checks each page again.
#include "XARGB32Colour.h"
#include "XTime.h"
#include "XVolume.h"

#include <cstdint>
#include <memory>
#include <vector>

class XProgress;
class XTIFFFile;

class XTIFFImporter {
public:
    enum class XFormat { kPlain, kImageJ, kOME };

    struct XChannelInfo {
        XString name;                            // empty when the file names none
        XARGB32Colour colour = XARGB32Colour::kWhite;
        bool hasColour = false;                  // whether the file gave the colour
        bool hasDisplayRange = false;            // whether the file gave the levels below
        double displayBlack = 0.0, displayWhite = 0.0;
    };

    struct XLayout {
        XFormat format = XFormat::kPlain;
        int32_t width = 0;
        int32_t height = 0;
        uint32_t channelCount = 1;
        uint32_t sliceCount = 1;
        uint32_t timepointCount = 1;
        XVoxelType voxelType = XVoxelType::kGrey8;
        // Micrometres per voxel along x, y and z (1 where the file says nothing).
        double calibration[3] = {1.0, 1.0, 1.0};
        bool isCalibrated = false;
        // Seconds from the start to each timepoint (0, increment, 2 × increment, ...).
        std::vector<double> timepointOffsets;
        bool hasStartTime = false;
        XTime startTime;
        std::vector<XChannelInfo> channels;
        uint32_t pageCount = 0;
        uint16_t samplesPerPixel = 1;
        // Page and sample of plane (c, z, t), all from 0, at (t × slices + z) × channels + c.
        std::vector<uint32_t> planePages;
        std::vector<uint16_t> planeSamples;

        size_t GetPlaneIndex(uint32_t inChannel, uint32_t inSlice, uint32_t inTimepoint) const
        {
            return (size_t(inTimepoint) * sliceCount + inSlice) * channelCount + inChannel;
        }
        uint64_t GetTotalBytes() const;
    };

    // Opens the file and reads its layout. XException kFileError when the file is
    // missing or unreadable, kUnsupportedFile when its layout cannot be imported.
    explicit XTIFFImporter(const XString& inPath);
    ~XTIFFImporter();
    XTIFFImporter(const XTIFFImporter&) = delete;
    XTIFFImporter& operator=(const XTIFFImporter&) = delete;

    const XString& GetPath() const { return itsPath; }
    const XLayout& GetLayout() const { return itsLayout; }

    // One channel's volume at one timepoint, both counted from 1 as in a volume
    // sequence; the volume carries the calibration and the channel's name.
    std::unique_ptr<XVolume> ReadVolume(uint32_t inChannel, uint32_t inTimepoint);
    // Every volume, at [(channel - 1) × timepoints + (timepoint - 1)]. Pages are read
    // in file order, one progress step each. On failure nothing is returned.
    std::vector<std::unique_ptr<XVolume>> ReadAll(XProgress* inProgress = nullptr);

    // The most voxel bytes an import may hold: 16 GiB, or three quarters of the
    // physical memory when that is less.
    static uint64_t GetMaxImportBytes();
    // The colour a channel gets when the file gives none: red, green, blue, grey,
    // cyan, magenta, yellow, repeating; a single channel is white.
    static XARGB32Colour GetDefaultChannelColour(uint32_t inChannel, uint32_t inChannelCount);

private:
    struct XPageTarget {
        XVolume* volume = nullptr;
        int32_t plane = 0;
    };

    void ReadLayout();
    void ParseImageJ(const XString& inDescription);
    void ParseOME(const XString& inDescription);
    void SetUpPlain();
    void CheckSizes();
    // Reads page inPage, whose samples go to the targets (one per sample, null volume to skip).
    void ReadPage(uint32_t inPage, const std::vector<XPageTarget>& inTargets);
    std::unique_ptr<XVolume> MakeVolume(uint32_t inChannel) const;
    [[noreturn]] void Fail(int32_t inCode, const XString& inProblem, const XString& inAdvice) const;

    XString itsPath;
    std::unique_ptr<XTIFFFile> itsFile;
    XLayout itsLayout;
    uint16_t itsBitsPerSample = 8;
    uint16_t itsSampleFormat = 1;
    uint16_t itsPhotometric = 1;
};

#pragma once
// Reads microscopy stacks from TIFF files through libtiff:
// - ImageJ hyperstacks (an "ImageJ=" ImageDescription giving images, channels,
//   slices, frames, spacing, unit and finterval; pages in channel, slice, frame order;
//   channel display ranges from the binary metadata tags),
// - OME-TIFF (OME-XML in the first ImageDescription: Pixels sizes, DimensionOrder,
//   Type, physical sizes, TimeIncrement, Channel names and colours, TiffData),
// - plain multi-page TIFF (one channel, or three for RGB pages; pages are z slices).
// Samples of 8 and 16 bits unsigned and 32-bit float are read.
//
// Opening reads only the directories and the metadata, and checks them: counts that
// do not match the pages, sizes beyond what can be held in memory, and sample
// layouts that cannot be read give an XException naming the file and the problem
// before anything large is allocated. Reading then checks each page again.
#include "XTIFFLayout.h"
#include "XVolume.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

class XProgress;
class XTIFFFile;

class XTIFFImporter {
public:
    using XFormat = XTIFFLayout::XFormat;
    using XChannelInfo = XTIFFLayout::XChannelInfo;
    using XLayout = XTIFFLayout;

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
    // Layout steps, in the order ReadLayout runs them; each refuses what it cannot read.
    void CheckPageChain();
    void ReadSampleLayout();
    void ReadVoxelType();
    void CheckPixelModel(uint16_t inPlanarConfig);
    void ReadDescription();
    void CompleteChannelsAndTimes();
    void ParseImageJ(const XString& inDescription);
    void ReadImageJCounts(const std::map<std::string, XString>& inValues);
    void MapImageJPages();
    void ReadImageJCalibration(const std::map<std::string, XString>& inValues);
    void ReadImageJDisplayRange(const std::map<std::string, XString>& inValues);
    void ReadImageJChannelRanges();
    void ParseOME(const XString& inDescription);
    void SetUpPlain();
    void CheckSizes();
    // Reads page inPage, whose samples go to the targets (one per sample, null volume to skip).
    void ReadPage(uint32_t inPage, const std::vector<XPageTarget>& inTargets);
    // Page steps: make inPage current, check it has the first page's layout, read its tiles
    // or strips into the targets, and turn min-is-white samples around.
    void GoToPage(uint32_t inPage);
    // The page's photometric interpretation.
    uint16_t CheckPageMatchesFirst(uint32_t inPage);
    void ReadTiles(uint32_t inPage, const std::vector<XPageTarget>& inTargets);
    void ReadStrips(uint32_t inPage, const std::vector<XPageTarget>& inTargets);
    void ScatterRows(const std::vector<XPageTarget>& inTargets, const uint8_t* inRows, uint32_t inY, uint32_t inRowCount,
        uint32_t inX, uint32_t inPixels, size_t inSrcStride) const;
    void InvertMinIsWhite(const std::vector<XPageTarget>& inTargets) const;
    [[noreturn]] void FailToRead(uint32_t inPage, const char* inWhat) const;
    std::unique_ptr<XVolume> MakeVolume(uint32_t inChannel) const;
    [[noreturn]] void Fail(int32_t inCode, const XString& inProblem, const XString& inAdvice) const;

    XString itsPath;
    std::unique_ptr<XTIFFFile> itsFile;
    XLayout itsLayout;
    uint16_t itsBitsPerSample = 8;
    uint16_t itsSampleFormat = 1;
    uint16_t itsPhotometric = 1;
};

#pragma once
// Writes multichannel, multi-timepoint stacks as TIFF through libtiff: a plain
// multi-page TIFF, an ImageJ hyperstack or an OME-TIFF, with 8-bit, 16-bit or
// 32-bit float samples. The file is written beside its final name and renamed
// into place only when complete, so a failed write leaves no partial file.
#include "XARGB32Colour.h"
#include "XTime.h"
#include "XVolume.h"

#include <cstdint>
#include <functional>
#include <vector>

class XTIFFWriter {
public:
    enum class XForm { kPlain, kImageJ, kOME };
    enum class XCompression { kNone, kLZW, kDeflate };

    // A channel's display levels: values at or below black show black, at or above white full colour.
    struct XDisplayRange {
        double black = 0.0;
        double white = 0.0;
    };

    struct XStack {
        int32_t width = 0;
        int32_t height = 0;
        uint32_t channelCount = 1;
        uint32_t sliceCount = 1;
        uint32_t timepointCount = 1;
        XVoxelType voxelType = XVoxelType::kGrey16; // kGrey8, kGrey16 or kFloat32
        double calibration[3] = {1.0, 1.0, 1.0};    // micrometres per voxel
        double timeIncrement = 0.0;                 // seconds; 0 writes none
        std::vector<XString> channelNames;          // OME only
        std::vector<XARGB32Colour> channelColours;  // OME only
        bool hasStartTime = false;
        XTime startTime;
        // ImageJ with several channels: none, or one per channel, written as given.
        std::vector<XDisplayRange> displayRanges;
        XString dimensionOrder = "XYCZT"; // OME page order; ImageJ and plain files are always channel, slice, frame
        bool tiffDataPerPlane = false;    // OME: one TiffData element per page instead of one for all
    };

    struct XOptions {
        XCompression compression = XCompression::kNone;
        uint32_t rowsPerStrip = 0; // 0: one strip per page
        uint32_t tileSize = 0;     // non-zero (a multiple of 16): square tiles instead of strips
    };

    // The plane (channel, slice, timepoint), all from 0: width × height voxels of the
    // stack's type, rows packed, native byte order.
    using XPlaneSource = std::function<const void*(uint32_t inChannel, uint32_t inSlice, uint32_t inTimepoint)>;

    // XException kBadArgument for a stack that cannot be written, kFileError when writing fails.
    static void Write(const XString& inPath, XForm inForm, const XStack& inStack, const XPlaneSource& inPlanes,
        const XOptions& inOptions);
    static void Write(const XString& inPath, XForm inForm, const XStack& inStack, const XPlaneSource& inPlanes)
    {
        Write(inPath, inForm, inStack, inPlanes, XOptions());
    }
    // Volumes at [channel × timepoints + timepoint] (from 0), each width × height × slices
    // of the stack's voxel type.
    static void WriteVolumes(const XString& inPath, XForm inForm, const XStack& inStack,
        const std::vector<const XVolume*>& inVolumes, const XOptions& inOptions);
    static void WriteVolumes(const XString& inPath, XForm inForm, const XStack& inStack,
        const std::vector<const XVolume*>& inVolumes)
    {
        WriteVolumes(inPath, inForm, inStack, inVolumes, XOptions());
    }

    // The OME-XML and ImageJ descriptions the writer puts in the first page.
    static XString MakeOMEXML(const XStack& inStack, const XString& inFileName);
    static XString MakeImageJDescription(const XStack& inStack);
    // The binary metadata an ImageJ hyperstack keeps its channels' display ranges in:
    // the bytes of its private metadata tag, and in outSizes the size of each block
    // (the header first). Multi-byte values in the given byte order.
    static std::vector<uint8_t> MakeImageJRanges(const std::vector<XDisplayRange>& inRanges, bool inBigEndian,
        std::vector<uint32_t>& outSizes);
};

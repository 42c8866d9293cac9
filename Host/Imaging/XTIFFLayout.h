#pragma once
// What a TIFF file holds, as the importer and the metadata readers work it out:
// format, plane size, sample type, counts, calibration, times, channels and the
// page and sample of every plane. Its own header so that the metadata readers and
// the importer can both use it without including each other.
#include "XARGB32Colour.h"
#include "XTime.h"
#include "XString.h"
#include "XVoxelType.h"

#include <cstddef>
#include <cstdint>
#include <vector>

struct XTIFFLayout {
    enum class XFormat { kPlain, kImageJ, kOME };

    struct XChannelInfo {
        XString name;                            // empty when the file names none
        XARGB32Colour colour = XARGB32Colour::kWhite;
        bool hasColour = false;                  // whether the file gave the colour
        bool hasDisplayRange = false;            // whether the file gave the levels below
        double displayBlack = 0.0, displayWhite = 0.0;
    };

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
    // Bytes of all voxels; the largest uint64_t when that overflows.
    uint64_t GetTotalBytes() const;
};

#pragma once
// The OME-XML that an OME-TIFF file keeps in its first ImageDescription, read into
// an import layout: sizes, dimension order and pixel type (checked against the
// pages), the page of every plane (TiffData), voxel size, timepoint times, and the
// channels' names and colours. Also the unit and date readers that ImageJ
// descriptions need as well.
#include "XTIFFLayout.h"

#include <cstddef>

class XOMEMetadata {
public:
    // The most channels, slices or timepoints a file may declare.
    static constexpr uint32_t kMaxCount = 1u << 20;
    // The largest OME-XML document read: room for a TiffData and a Plane element for
    // each of several hundred thousand planes, while the parsed tree stays in memory.
    static constexpr size_t kMaxXMLBytes = size_t(64) << 20;

    // inOutLayout arrives with the first page's size, voxel type, samples per pixel
    // and the page count, and leaves with everything the XML says. Problems throw
    // XException kUnsupportedFile whose text says what is wrong and what to do.
    static void Read(const XString& inXML, const XString& inFileName, uint16_t inBitsPerSample,
        XTIFFLayout& inOutLayout);

    // Micrometres in one of a length unit ("micron", "µm", "nm", ...); 0 for none or unknown.
    static double MicrometresPerUnit(XString inUnit);
    // Seconds in one of a time unit ("s", "ms", "min", ...; empty is seconds); 0 for unknown.
    static double SecondsPerUnit(XString inUnit);
    // A voxel size that can be used: finite, above 0 and not absurd.
    static bool IsUsableSize(double inValue);
    // A count from 1 to kMaxCount.
    static bool ParseCount(const XString& inText, uint32_t& outValue);
    // "2020-01-31T12:34:56.5+01:00" (ISO 8601) or "2020:01:31 12:34:56" (TIFF DateTime) as a moment.
    static bool ParseDateTime(XString inText, XTime& outTime);
};

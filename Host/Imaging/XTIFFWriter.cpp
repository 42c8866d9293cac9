#include "XTIFFWriter.h"

#include "XException.h"
#include "XTIFFFile.h"

#include <tiffio.h>

#include <algorithm>
#include <bit>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <limits>

namespace {

XString EscapeXML(const XString& inText)
{
    std::string out;
    for (char c : inText.GetStdString()) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        case '\'': out += "&apos;"; break;
        default: out += c;
        }
    }
    return XString(std::move(out));
}

XString Number(double inValue)
{
    return XString::FromFloat64(inValue);
}

XString Count(uint64_t inValue)
{
    return XString::FromUInt64(inValue);
}

const char* OMEType(XVoxelType inType)
{
    switch (inType) {
    case XVoxelType::kGrey8: return "uint8";
    case XVoxelType::kGrey16: return "uint16";
    case XVoxelType::kFloat32: return "float";
    default: return nullptr;
    }
}

std::string UpperOrder(const XString& inOrder)
{
    std::string o = inOrder.Stripped().GetStdString();
    std::transform(o.begin(), o.end(), o.begin(), [](char c) { return char(std::toupper(static_cast<unsigned char>(c))); });
    return o;
}

bool IsValidOrder(const std::string& o)
{
    return o.size() == 5 && o[0] == 'X' && o[1] == 'Y' && std::count(o.begin(), o.end(), 'C') == 1 &&
        std::count(o.begin(), o.end(), 'Z') == 1 && std::count(o.begin(), o.end(), 'T') == 1;
}

// Plane coordinates (c, z, t) of the page at inLinear in the dimension order.
void PlaneOfPage(const std::string& inOrder, const uint32_t inSizes[3], uint64_t inLinear, uint32_t outCoord[3])
{
    for (int k = 2; k < 5; ++k) {
        int d = inOrder[size_t(k)] == 'C' ? 0 : inOrder[size_t(k)] == 'Z' ? 1 : 2;
        outCoord[d] = uint32_t(inLinear % inSizes[d]);
        inLinear /= inSizes[d];
    }
}

void CheckStack(const XString& inPath, const XTIFFWriter::XStack& inStack, const XTIFFWriter::XOptions& inOptions)
{
    auto refuse = [&](const XString& inWhy) {
        throw XException(XException::kBadArgument,
            XString("The stack cannot be written to \"%1\": %2.").Replace(inPath).Replace(inWhy));
    };
    if (inStack.width <= 0 || inStack.height <= 0)
        refuse("its planes have no pixels");
    if (inStack.channelCount == 0 || inStack.sliceCount == 0 || inStack.timepointCount == 0)
        refuse("it has no channels, slices or timepoints");
    if (!OMEType(inStack.voxelType))
        refuse(XString("its voxel type %1 is not 8-bit, 16-bit or float").Replace(XString(GetVoxelTypeName(inStack.voxelType))));
    for (double c : inStack.calibration)
        if (!std::isfinite(c) || c <= 0)
            refuse("its voxel size is not a positive number");
    if (!std::isfinite(inStack.timeIncrement) || inStack.timeIncrement < 0)
        refuse("its time increment is not a positive number");
    if (!IsValidOrder(UpperOrder(inStack.dimensionOrder)))
        refuse(XString("the dimension order \"%1\" is not XY followed by C, Z and T").Replace(inStack.dimensionOrder));
    if (!inStack.displayRanges.empty() && inStack.displayRanges.size() != inStack.channelCount)
        refuse(XString("it has %1 display ranges for %2 channels").Replace(int64_t(inStack.displayRanges.size()))
                   .Replace(int64_t(inStack.channelCount)));
    if (inOptions.tileSize % 16 != 0)
        refuse("tiles must be a multiple of 16 pixels");
    uint64_t pages = uint64_t(inStack.channelCount) * inStack.sliceCount * inStack.timepointCount;
    if (pages > std::numeric_limits<uint32_t>::max() / 2)
        refuse("it has more planes than a TIFF file can hold");
}

} // namespace

XString XTIFFWriter::MakeImageJDescription(const XStack& inStack)
{
    const uint64_t images = uint64_t(inStack.channelCount) * inStack.sliceCount * inStack.timepointCount;
    int dimensions = (inStack.channelCount > 1) + (inStack.sliceCount > 1) + (inStack.timepointCount > 1);
    XString d = "ImageJ=1.11a\n";
    d += "images=" + Count(images) + "\n";
    if (inStack.channelCount > 1)
        d += "channels=" + Count(inStack.channelCount) + "\n";
    if (inStack.sliceCount > 1)
        d += "slices=" + Count(inStack.sliceCount) + "\n";
    if (inStack.timepointCount > 1)
        d += "frames=" + Count(inStack.timepointCount) + "\n";
    if (dimensions > 1)
        d += "hyperstack=true\n";
    if (inStack.channelCount > 1)
        d += "mode=composite\n";
    d += "unit=micron\n";
    if (inStack.sliceCount > 1)
        d += "spacing=" + Number(inStack.calibration[2]) + "\n";
    if (inStack.timeIncrement > 0)
        d += "finterval=" + Number(inStack.timeIncrement) + "\n";
    d += "loop=false\n";
    return d;
}

std::vector<uint8_t> XTIFFWriter::MakeImageJRanges(const std::vector<XDisplayRange>& inRanges, bool inBigEndian,
    std::vector<uint32_t>& outSizes)
{
    std::vector<uint8_t> bytes;
    auto put = [&](uint64_t inValue, int inBytes) {
        for (int i = 0; i < inBytes; ++i) {
            const int shift = 8 * (inBigEndian ? inBytes - 1 - i : i);
            bytes.push_back(uint8_t(inValue >> shift));
        }
    };
    // Header: the magic number, then one (type, block count) pair: "rang", 1.
    put(0x494a494a, 4);
    put(0x72616e67, 4);
    put(1, 4);
    for (const XDisplayRange& r : inRanges) {
        put(std::bit_cast<uint64_t>(r.black), 8);
        put(std::bit_cast<uint64_t>(r.white), 8);
    }
    outSizes = {12, uint32_t(16 * inRanges.size())};
    return bytes;
}

XString XTIFFWriter::MakeOMEXML(const XStack& inStack, const XString& inFileName)
{
    const std::string order = UpperOrder(inStack.dimensionOrder);
    const uint64_t planes = uint64_t(inStack.channelCount) * inStack.sliceCount * inStack.timepointCount;
    XString x = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    x += "<OME xmlns=\"http://www.openmicroscopy.org/Schemas/OME/2016-06\" Creator=\"Kestrin\">\n";
    x += "  <Image ID=\"Image:0\" Name=\"" + EscapeXML(inFileName) + "\">\n";
    if (inStack.hasStartTime) {
        time_t seconds = time_t(std::floor(inStack.startTime.GetSeconds()));
        std::tm tm{};
        gmtime_r(&seconds, &tm);
        char stamp[32];
        std::strftime(stamp, sizeof stamp, "%Y-%m-%dT%H:%M:%S", &tm);
        x += XString("    <AcquisitionDate>") + stamp + "</AcquisitionDate>\n";
    }
    x += XString("    <Pixels ID=\"Pixels:0\" DimensionOrder=\"") + order.c_str() + "\" Type=\"" + OMEType(inStack.voxelType) +
        "\" SizeX=\"" + Count(uint64_t(inStack.width)) + "\" SizeY=\"" + Count(uint64_t(inStack.height)) + "\" SizeZ=\"" +
        Count(inStack.sliceCount) + "\" SizeC=\"" + Count(inStack.channelCount) + "\" SizeT=\"" + Count(inStack.timepointCount) +
        "\" PhysicalSizeX=\"" + Number(inStack.calibration[0]) + "\" PhysicalSizeXUnit=\"µm\" PhysicalSizeY=\"" +
        Number(inStack.calibration[1]) + "\" PhysicalSizeYUnit=\"µm\" PhysicalSizeZ=\"" + Number(inStack.calibration[2]) +
        "\" PhysicalSizeZUnit=\"µm\"";
    if (inStack.timeIncrement > 0)
        x += " TimeIncrement=\"" + Number(inStack.timeIncrement) + "\" TimeIncrementUnit=\"s\"";
    x += " BigEndian=\"false\">\n";
    for (uint32_t c = 0; c < inStack.channelCount; ++c) {
        x += "      <Channel ID=\"Channel:0:" + Count(c) + "\" SamplesPerPixel=\"1\"";
        if (c < inStack.channelNames.size())
            x += " Name=\"" + EscapeXML(inStack.channelNames[c]) + "\"";
        if (c < inStack.channelColours.size()) {
            const XARGB32Colour& k = inStack.channelColours[c];
            uint32_t rgba = (uint32_t(k.red) << 24) | (uint32_t(k.green) << 16) | (uint32_t(k.blue) << 8) | k.alpha;
            x += " Color=\"" + XString::FromSInt64(int32_t(rgba)) + "\"";
        }
        x += "/>\n";
    }
    if (inStack.tiffDataPerPlane) {
        const uint32_t sizes[3] = {inStack.channelCount, inStack.sliceCount, inStack.timepointCount};
        for (uint64_t page = 0; page < planes; ++page) {
            uint32_t c[3];
            PlaneOfPage(order, sizes, page, c);
            x += "      <TiffData IFD=\"" + Count(page) + "\" FirstC=\"" + Count(c[0]) + "\" FirstZ=\"" + Count(c[1]) +
                "\" FirstT=\"" + Count(c[2]) + "\" PlaneCount=\"1\"/>\n";
        }
    } else
        x += "      <TiffData IFD=\"0\" PlaneCount=\"" + Count(planes) + "\"/>\n";
    x += "    </Pixels>\n  </Image>\n</OME>\n";
    return x;
}

namespace {

uint16_t CompressionTag(XTIFFWriter::XCompression inCompression)
{
    switch (inCompression) {
    case XTIFFWriter::XCompression::kLZW: return COMPRESSION_LZW;
    case XTIFFWriter::XCompression::kDeflate: return COMPRESSION_ADOBE_DEFLATE;
    default: return COMPRESSION_NONE;
    }
}

void SetPageTags(TIFF* inTIFF, XTIFFWriter::XForm inForm, const XTIFFWriter::XStack& inStack,
    const XTIFFWriter::XOptions& inOptions)
{
    const bool isFloat = inStack.voxelType == XVoxelType::kFloat32;
    TIFFSetField(inTIFF, TIFFTAG_IMAGEWIDTH, uint32_t(inStack.width));
    TIFFSetField(inTIFF, TIFFTAG_IMAGELENGTH, uint32_t(inStack.height));
    TIFFSetField(inTIFF, TIFFTAG_BITSPERSAMPLE, uint16_t(GetBytesPerVoxel(inStack.voxelType) * 8));
    TIFFSetField(inTIFF, TIFFTAG_SAMPLESPERPIXEL, uint16_t(1));
    TIFFSetField(inTIFF, TIFFTAG_SAMPLEFORMAT, uint16_t(isFloat ? SAMPLEFORMAT_IEEEFP : SAMPLEFORMAT_UINT));
    TIFFSetField(inTIFF, TIFFTAG_PHOTOMETRIC, uint16_t(PHOTOMETRIC_MINISBLACK));
    TIFFSetField(inTIFF, TIFFTAG_PLANARCONFIG, uint16_t(PLANARCONFIG_CONTIG));
    const uint16_t compression = CompressionTag(inOptions.compression);
    TIFFSetField(inTIFF, TIFFTAG_COMPRESSION, compression);
    if (compression != COMPRESSION_NONE)
        TIFFSetField(inTIFF, TIFFTAG_PREDICTOR, uint16_t(isFloat ? PREDICTOR_FLOATINGPOINT : PREDICTOR_HORIZONTAL));
    // ImageJ and OME readers take pixels per micrometre; plain files carry the pixel size in centimetres.
    const bool plain = inForm == XTIFFWriter::XForm::kPlain;
    const double perUnit = plain ? 1e4 : 1.0;
    TIFFSetField(inTIFF, TIFFTAG_XRESOLUTION, float(perUnit / inStack.calibration[0]));
    TIFFSetField(inTIFF, TIFFTAG_YRESOLUTION, float(perUnit / inStack.calibration[1]));
    TIFFSetField(inTIFF, TIFFTAG_RESOLUTIONUNIT, uint16_t(plain ? RESUNIT_CENTIMETER : RESUNIT_NONE));
}

// Square tiles, the ones over the right and bottom edges padded with zeros.
void WriteTiles(XTIFFFile& inFile, const uint8_t* inPlane, const XTIFFWriter::XStack& inStack, uint32_t inTileSize,
    std::vector<uint8_t>& inOutTile)
{
    TIFF* tif = inFile.Get();
    const size_t bpv = GetBytesPerVoxel(inStack.voxelType);
    const size_t rowBytes = size_t(inStack.width) * bpv;
    const uint32_t ts = inTileSize;
    TIFFSetField(tif, TIFFTAG_TILEWIDTH, ts);
    TIFFSetField(tif, TIFFTAG_TILELENGTH, ts);
    inOutTile.resize(size_t(ts) * ts * bpv);
    for (uint32_t y = 0; y < uint32_t(inStack.height); y += ts)
        for (uint32_t x = 0; x < uint32_t(inStack.width); x += ts) {
            std::fill(inOutTile.begin(), inOutTile.end(), 0);
            const uint32_t rows = std::min(ts, uint32_t(inStack.height) - y);
            const uint32_t cols = std::min(ts, uint32_t(inStack.width) - x);
            for (uint32_t r = 0; r < rows; ++r)
                std::memcpy(&inOutTile[size_t(r) * ts * bpv], inPlane + size_t(y + r) * rowBytes + size_t(x) * bpv,
                    size_t(cols) * bpv);
            if (TIFFWriteTile(tif, inOutTile.data(), x, y, 0, 0) < 0)
                throw XException(XException::kFileError, inFile.GetLastError());
        }
}

// Strips of inRowsPerStrip rows (0: the whole page in one strip).
void WriteStrips(XTIFFFile& inFile, const uint8_t* inPlane, const XTIFFWriter::XStack& inStack, uint32_t inRowsPerStrip)
{
    TIFF* tif = inFile.Get();
    const size_t rowBytes = size_t(inStack.width) * GetBytesPerVoxel(inStack.voxelType);
    const uint32_t height = uint32_t(inStack.height);
    const uint32_t rps = inRowsPerStrip ? std::min(inRowsPerStrip, height) : height;
    TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, rps);
    for (uint32_t s = 0, y = 0; y < height; ++s, y += rps) {
        const uint32_t rows = std::min(rps, height - y);
        // libtiff does not change the data of an uncompressed strip, but its API is not const.
        if (TIFFWriteEncodedStrip(tif, s, const_cast<uint8_t*>(inPlane + size_t(y) * rowBytes), tmsize_t(size_t(rows) * rowBytes)) < 0)
            throw XException(XException::kFileError, inFile.GetLastError());
    }
}

// Every page in the dimension order, into the file at inPartPath.
void WritePages(const XString& inPartPath, XTIFFWriter::XForm inForm, const XTIFFWriter::XStack& inStack,
    const XTIFFWriter::XPlaneSource& inPlanes, const XTIFFWriter::XOptions& inOptions, const XString& inDescription)
{
    const uint32_t sizes[3] = {inStack.channelCount, inStack.sliceCount, inStack.timepointCount};
    const uint64_t pages = uint64_t(sizes[0]) * sizes[1] * sizes[2];
    const uint64_t planeBytes = uint64_t(inStack.width) * uint64_t(inStack.height) * GetBytesPerVoxel(inStack.voxelType);
    // Classic TIFF offsets are 32-bit; larger files need BigTIFF.
    const bool big = planeBytes * pages > (uint64_t(3) << 30);
    const std::string order = inForm == XTIFFWriter::XForm::kOME ? UpperOrder(inStack.dimensionOrder) : std::string("XYCZT");
    XTIFFFile file(inPartPath, big ? "w8" : "w");
    TIFF* tif = file.Get();
    std::vector<uint8_t> tile;
    for (uint64_t page = 0; page < pages; ++page) {
        uint32_t c[3];
        PlaneOfPage(order, sizes, page, c);
        const auto* plane = static_cast<const uint8_t*>(inPlanes(c[0], c[1], c[2]));
        if (!plane)
            throw XException(XException::kBadArgument,
                XString("No data was given for channel %1, slice %2, timepoint %3.")
                    .Replace(int64_t(c[0] + 1)).Replace(int64_t(c[1] + 1)).Replace(int64_t(c[2] + 1)));
        SetPageTags(tif, inForm, inStack, inOptions);
        if (page == 0 && !inDescription.IsEmpty())
            TIFFSetField(tif, TIFFTAG_IMAGEDESCRIPTION, inDescription.GetCString());
        // ImageJ reads its binary metadata in the file's byte order.
        if (page == 0 && inForm == XTIFFWriter::XForm::kImageJ && inStack.channelCount > 1 && !inStack.displayRanges.empty()) {
            std::vector<uint32_t> sizes;
            const std::vector<uint8_t> bytes = XTIFFWriter::MakeImageJRanges(inStack.displayRanges, TIFFIsBigEndian(tif), sizes);
            TIFFSetField(tif, XTIFFFile::kImageJMetadataSizesTag, uint32_t(sizes.size()), sizes.data());
            TIFFSetField(tif, XTIFFFile::kImageJMetadataTag, uint32_t(bytes.size()), bytes.data());
        }
        if (inOptions.tileSize)
            WriteTiles(file, plane, inStack, inOptions.tileSize, tile);
        else
            WriteStrips(file, plane, inStack, inOptions.rowsPerStrip);
        if (!TIFFWriteDirectory(tif))
            throw XException(XException::kFileError, file.GetLastError());
    }
    file.Close();
}

} // namespace

void XTIFFWriter::Write(const XString& inPath, XForm inForm, const XStack& inStack, const XPlaneSource& inPlanes,
    const XOptions& inOptions)
{
    CheckStack(inPath, inStack, inOptions);
    XString fileName = inPath;
    const size_t slash = fileName.GetStdString().rfind('/');
    if (slash != std::string::npos)
        fileName = fileName.Mid(slash + 1);
    const XString description = inForm == XForm::kOME ? MakeOMEXML(inStack, fileName)
        : inForm == XForm::kImageJ                     ? MakeImageJDescription(inStack)
                                                       : XString();

    // Written beside its name and renamed when complete, so a failure leaves no partial file.
    const XString partPath = inPath + ".part";
    try {
        WritePages(partPath, inForm, inStack, inPlanes, inOptions, description);
    } catch (const XException& e) {
        std::remove(partPath.GetCString());
        if (e.GetErrorCode() != XException::kFileError)
            throw;
        throw XException(XException::kFileError,
            XString("The file \"%1\" could not be written (%2). Check that the folder exists and the disk has free space.")
                .Replace(inPath).Replace(e.GetRawErrorMessage()));
    }
    if (std::rename(partPath.GetCString(), inPath.GetCString()) != 0) {
        std::remove(partPath.GetCString());
        throw XException(XException::kFileError,
            XString("The file \"%1\" could not be put in place (%2). Check that you may write to the folder.")
                .Replace(inPath).Replace(XString(std::strerror(errno))));
    }
}

void XTIFFWriter::WriteVolumes(const XString& inPath, XForm inForm, const XStack& inStack,
    const std::vector<const XVolume*>& inVolumes, const XOptions& inOptions)
{
    CheckStack(inPath, inStack, inOptions);
    if (inVolumes.size() != size_t(inStack.channelCount) * inStack.timepointCount)
        throw XException(XException::kBadArgument,
            XString("The stack for \"%1\" needs %2 volumes, one per channel and timepoint, but %3 were given.")
                .Replace(inPath).Replace(int64_t(inStack.channelCount) * inStack.timepointCount).Replace(int64_t(inVolumes.size())));
    for (const XVolume* v : inVolumes)
        if (!v || v->GetVoxelType() != inStack.voxelType || v->GetWidth() != inStack.width ||
            v->GetHeight() != inStack.height || v->GetDepth() != int32_t(inStack.sliceCount))
            throw XException(XException::kBadArgument,
                XString("A volume for \"%1\" is missing or does not have the stack's size and voxel type.").Replace(inPath));
    Write(inPath, inForm, inStack,
        [&](uint32_t c, uint32_t z, uint32_t t) -> const void* {
            return inVolumes[size_t(c) * inStack.timepointCount + t]->GetLayerPtr(int32_t(z));
        },
        inOptions);
}

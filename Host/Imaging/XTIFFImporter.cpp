#include "XTIFFImporter.h"

#include "XException.h"
#include "XOMEMetadata.h"
#include "XProgress.h"
#include "XTIFFFile.h"
#include "XThread.h"

#include <tiffio.h>
#include <unistd.h>

#include <algorithm>
#include <bit>
#include <cctype>
#include <cmath>
#include <cstring>
#include <ctime>
#include <limits>
#include <map>

namespace {

constexpr uint64_t kMaxImportCeiling = uint64_t(16) << 30;
constexpr uint64_t kMaxTileBytes = uint64_t(256) << 20;

// a × b, or false when it overflows 64 bits.
bool Multiply(uint64_t a, uint64_t b, uint64_t& out)
{
    if (a != 0 && b > std::numeric_limits<uint64_t>::max() / a)
        return false;
    out = a * b;
    return true;
}

constexpr const char* kCorrupt = "Check that the file was copied completely, or save it again from the program that made it.";
constexpr const char* kConvert = "Convert it to 8-bit, 16-bit or 32-bit float greyscale (or 8-bit RGB) and import it again.";

XString FormatGiB(uint64_t inBytes)
{
    return XString::FromFloat64(double(inBytes) / double(uint64_t(1) << 30), 1) + " GB";
}

// Turns min-is-white samples into min-is-black ones.
template <class T>
void InvertPlane(uint8_t* inOutPlane, size_t inCount, T inMax)
{
    T* p = reinterpret_cast<T*>(inOutPlane);
    for (size_t i = 0; i < inCount; ++i)
        p[i] = T(inMax - p[i]);
}

// The (black, white) pairs of the "rang" block in an ImageJ hyperstack's binary metadata,
// one per channel; empty when the metadata holds none or does not hang together. The
// header block is a magic number, "IJIJ" in big-endian files and "JIJI" in little-endian
// ones, then a (type, block count) pair per kind of block; inSizes gives the size of the
// header and then of each block in turn.
std::vector<double> ParseImageJRanges(const uint32_t* inSizes, uint32_t inSizeCount, const uint8_t* inBytes,
    uint32_t inByteCount, uint32_t inChannels)
{
    constexpr uint32_t kRanges = 0x72616e67; // "rang"
    if (inSizeCount < 2 || inSizes[0] < 4 || inSizes[0] > inByteCount)
        return {};
    bool big;
    if (std::memcmp(inBytes, "IJIJ", 4) == 0)
        big = true;
    else if (std::memcmp(inBytes, "JIJI", 4) == 0)
        big = false;
    else
        return {};
    auto read = [&](uint64_t inAt, int inLength) {
        uint64_t v = 0;
        for (int i = 0; i < inLength; ++i)
            v |= uint64_t(inBytes[inAt + uint64_t(i)]) << (8 * (big ? inLength - 1 - i : i));
        return v;
    };
    std::vector<double> ranges;
    uint64_t offset = inSizes[0]; // never past inByteCount
    uint32_t block = 1;
    for (uint64_t entry = 4; entry + 8 <= inSizes[0]; entry += 8) {
        const uint64_t type = read(entry, 4), count = read(entry + 4, 4);
        if (count > inSizeCount - block)
            return {};
        for (uint64_t k = 0; k < count; ++k, ++block) {
            const uint64_t size = inSizes[block];
            if (size > inByteCount - offset)
                return {};
            if (type == kRanges && ranges.empty() && size == uint64_t(inChannels) * 16)
                for (uint64_t at = offset; at < offset + size; at += 8)
                    ranges.push_back(std::bit_cast<double>(read(at, 8)));
            offset += size;
        }
    }
    return ranges;
}

} // namespace

uint64_t XTIFFImporter::GetMaxImportBytes()
{
    long pages = sysconf(_SC_PHYS_PAGES), pageSize = sysconf(_SC_PAGESIZE);
    if (pages <= 0 || pageSize <= 0)
        return kMaxImportCeiling;
    uint64_t physical = uint64_t(pages) * uint64_t(pageSize);
    return std::min(kMaxImportCeiling, physical / 4 * 3);
}

XARGB32Colour XTIFFImporter::GetDefaultChannelColour(uint32_t inChannel, uint32_t inChannelCount)
{
    if (inChannelCount <= 1)
        return XARGB32Colour::kWhite;
    static constexpr XARGB32Colour kColours[] = {XARGB32Colour::kRed, XARGB32Colour::kGreen, XARGB32Colour::kBlue,
        XARGB32Colour(255, 128, 128, 128), XARGB32Colour(255, 0, 255, 255), XARGB32Colour(255, 255, 0, 255),
        XARGB32Colour(255, 255, 255, 0)};
    return kColours[inChannel % std::size(kColours)];
}

XTIFFImporter::XTIFFImporter(const XString& inPath) : itsPath(inPath)
{
    itsFile = std::make_unique<XTIFFFile>(inPath, "rm");
    ReadLayout();
}

XTIFFImporter::~XTIFFImporter() = default;

void XTIFFImporter::Fail(int32_t inCode, const XString& inProblem, const XString& inAdvice) const
{
    throw XException(inCode, XString("The file \"%1\" cannot be imported: %2. %3").Replace(itsPath).Replace(inProblem).Replace(inAdvice));
}

void XTIFFImporter::ReadLayout()
{
    CheckPageChain();
    ReadSampleLayout();
    ReadDescription();
    CompleteChannelsAndTimes();
    CheckSizes();
}

void XTIFFImporter::CheckPageChain()
{
    TIFF* tif = itsFile->Get();
    tdir_t pages = TIFFNumberOfDirectories(tif);
    if (pages == 0 || !TIFFSetDirectory(tif, 0))
        Fail(XException::kFileError, XString("its image directory cannot be read (%1)").Replace(itsFile->GetLastError()), kCorrupt);
    itsLayout.pageCount = uint32_t(pages);
    // A page chain that points past the pages libtiff could read means the file was cut
    // short: importing the pages before the cut would silently lose data.
    if (pages > 1 && !TIFFSetDirectory(tif, pages - 1))
        Fail(XException::kFileError, XString("page %1 cannot be read (%2)").Replace(int64_t(pages)).Replace(itsFile->GetLastError()), kCorrupt);
    if (!TIFFLastDirectory(tif))
        Fail(XException::kFileError,
            XString("the file ends after %1 pages although its last page points to another; it is probably truncated").Replace(int64_t(pages)),
            kCorrupt);
    if (pages > 1 && !TIFFSetDirectory(tif, 0))
        Fail(XException::kFileError, XString("its first page cannot be read (%1)").Replace(itsFile->GetLastError()), kCorrupt);
}

void XTIFFImporter::ReadSampleLayout()
{
    TIFF* tif = itsFile->Get();
    uint32_t width = 0, height = 0;
    uint16_t spp = 1, planar = PLANARCONFIG_CONTIG;
    if (!TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &width) || !TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &height) || width == 0 ||
        height == 0)
        Fail(XException::kFileError, "its first page has no image size", kCorrupt);
    if (width > uint32_t(std::numeric_limits<int32_t>::max()) || height > uint32_t(std::numeric_limits<int32_t>::max()))
        Fail(XException::kUnsupportedFile, XString("its pages of %1 x %2 pixels are too large").Replace(int64_t(width)).Replace(int64_t(height)),
            "Save a smaller image.");
    TIFFGetFieldDefaulted(tif, TIFFTAG_BITSPERSAMPLE, &itsBitsPerSample);
    TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLEFORMAT, &itsSampleFormat);
    TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLESPERPIXEL, &spp);
    TIFFGetFieldDefaulted(tif, TIFFTAG_PLANARCONFIG, &planar);
    if (!TIFFGetField(tif, TIFFTAG_PHOTOMETRIC, &itsPhotometric))
        itsPhotometric = spp == 3 ? PHOTOMETRIC_RGB : PHOTOMETRIC_MINISBLACK;
    itsLayout.width = int32_t(width);
    itsLayout.height = int32_t(height);
    itsLayout.samplesPerPixel = spp;
    ReadVoxelType();
    CheckPixelModel(planar);
}

void XTIFFImporter::ReadVoxelType()
{
    if (itsSampleFormat == SAMPLEFORMAT_UINT && itsBitsPerSample == 8)
        itsLayout.voxelType = XVoxelType::kGrey8;
    else if (itsSampleFormat == SAMPLEFORMAT_UINT && itsBitsPerSample == 16)
        itsLayout.voxelType = XVoxelType::kGrey16;
    else if (itsSampleFormat == SAMPLEFORMAT_IEEEFP && itsBitsPerSample == 32)
        itsLayout.voxelType = XVoxelType::kFloat32;
    else {
        const char* kind = itsSampleFormat == SAMPLEFORMAT_INT ? "signed integer"
            : itsSampleFormat == SAMPLEFORMAT_IEEEFP             ? "floating-point"
            : itsSampleFormat == SAMPLEFORMAT_UINT               ? "unsigned integer"
                                                                 : "complex or untyped";
        Fail(XException::kUnsupportedFile,
            XString("its samples are %1-bit %2 values, which cannot be read").Replace(int64_t(itsBitsPerSample)).Replace(XString(kind)),
            kConvert);
    }
}

void XTIFFImporter::CheckPixelModel(uint16_t inPlanarConfig)
{
    const uint16_t spp = itsLayout.samplesPerPixel;
    if (itsPhotometric == PHOTOMETRIC_PALETTE)
        Fail(XException::kUnsupportedFile, "it holds colour-palette images", kConvert);
    if (spp == 3 && itsPhotometric == PHOTOMETRIC_RGB && itsLayout.voxelType == XVoxelType::kGrey8) {
        if (inPlanarConfig != PLANARCONFIG_CONTIG)
            Fail(XException::kUnsupportedFile, "its RGB samples are stored in separate planes", kConvert);
    } else if (spp != 1)
        Fail(XException::kUnsupportedFile, XString("its pixels have %1 samples each").Replace(int64_t(spp)), kConvert);
    else if (itsPhotometric != PHOTOMETRIC_MINISBLACK && itsPhotometric != PHOTOMETRIC_MINISWHITE)
        Fail(XException::kUnsupportedFile, XString("its pixels use colour model %1").Replace(int64_t(itsPhotometric)), kConvert);
}

void XTIFFImporter::ReadDescription()
{
    char* description = nullptr;
    XString text;
    if (TIFFGetField(itsFile->Get(), TIFFTAG_IMAGEDESCRIPTION, &description) && description)
        text = XString(description);
    XString head = text.Stripped();
    if (head.Contains("<OME") && (head.StartsWith("<") || head.StartsWith("\xEF\xBB\xBF")))
        ParseOME(text);
    else if (head.StartsWith("ImageJ="))
        ParseImageJ(text);
    else
        SetUpPlain();
}

void XTIFFImporter::CompleteChannelsAndTimes()
{
    for (uint32_t c = uint32_t(itsLayout.channels.size()); c < itsLayout.channelCount; ++c)
        itsLayout.channels.push_back(XChannelInfo());
    for (uint32_t c = 0; c < itsLayout.channelCount; ++c)
        if (!itsLayout.channels[c].hasColour)
            itsLayout.channels[c].colour = GetDefaultChannelColour(c, itsLayout.channelCount);
    if (itsLayout.timepointOffsets.size() != itsLayout.timepointCount)
        itsLayout.timepointOffsets.assign(itsLayout.timepointCount, 0.0);

    if (!itsLayout.hasStartTime) {
        char* stamp = nullptr;
        if (TIFFGetField(itsFile->Get(), TIFFTAG_DATETIME, &stamp) && stamp)
            itsLayout.hasStartTime = XOMEMetadata::ParseDateTime(XString(stamp), itsLayout.startTime);
    }
}

void XTIFFImporter::SetUpPlain()
{
    itsLayout.format = XFormat::kPlain;
    const uint16_t spp = itsLayout.samplesPerPixel;
    itsLayout.channelCount = spp;
    itsLayout.sliceCount = itsLayout.pageCount;
    itsLayout.timepointCount = 1;
    if (spp == 3)
        itsLayout.channels = {{"Red", XARGB32Colour::kRed, true}, {"Green", XARGB32Colour::kGreen, true},
            {"Blue", XARGB32Colour::kBlue, true}};
    for (uint32_t z = 0; z < itsLayout.sliceCount; ++z)
        for (uint16_t s = 0; s < spp; ++s) {
            itsLayout.planePages.push_back(z);
            itsLayout.planeSamples.push_back(s);
        }
    // Plain files from instruments often give the pixel size in centimetres; inches are
    // print resolutions, which say nothing about the specimen.
    TIFF* tif = itsFile->Get();
    uint16_t unit = RESUNIT_INCH;
    float xres = 0, yres = 0;
    TIFFGetFieldDefaulted(tif, TIFFTAG_RESOLUTIONUNIT, &unit);
    if (unit == RESUNIT_CENTIMETER && TIFFGetField(tif, TIFFTAG_XRESOLUTION, &xres) &&
        TIFFGetField(tif, TIFFTAG_YRESOLUTION, &yres) && XOMEMetadata::IsUsableSize(1e4 / xres) && XOMEMetadata::IsUsableSize(1e4 / yres)) {
        itsLayout.calibration[0] = 1e4 / xres;
        itsLayout.calibration[1] = 1e4 / yres;
        itsLayout.isCalibrated = true;
    }
}

void XTIFFImporter::ParseImageJ(const XString& inDescription)
{
    itsLayout.format = XFormat::kImageJ;
    std::map<std::string, XString> values;
    for (const XString& line : inDescription.Split('\n')) {
        size_t eq = line.Find("=");
        if (eq == XString::npos)
            continue;
        values[line.Mid(0, eq).Stripped().GetStdString()] = line.Mid(eq + 1).Stripped();
    }
    ReadImageJCounts(values);
    ReadImageJCalibration(values);
    ReadImageJDisplayRange(values);
    ReadImageJChannelRanges();
}

// A hyperstack keeps each channel's display range in its binary metadata; entries
// that are not a usable range leave that channel to the automatic one.
void XTIFFImporter::ReadImageJChannelRanges()
{
    TIFF* tif = itsFile->Get();
    uint32_t sizeCount = 0, byteCount = 0;
    const uint32_t* sizes = nullptr;
    const uint8_t* bytes = nullptr;
    if (itsLayout.samplesPerPixel != 1 || !TIFFGetField(tif, XTIFFFile::kImageJMetadataSizesTag, &sizeCount, &sizes) ||
        !TIFFGetField(tif, XTIFFFile::kImageJMetadataTag, &byteCount, &bytes) || !sizes || !bytes)
        return;
    const std::vector<double> ranges = ParseImageJRanges(sizes, sizeCount, bytes, byteCount, itsLayout.channelCount);
    if (ranges.empty())
        return;
    itsLayout.channels.resize(itsLayout.channelCount);
    for (uint32_t c = 0; c < itsLayout.channelCount; ++c) {
        const double black = ranges[2 * size_t(c)], white = ranges[2 * size_t(c) + 1];
        if (!std::isfinite(black) || !std::isfinite(white) || white <= black)
            continue;
        XChannelInfo& info = itsLayout.channels[c];
        info.hasDisplayRange = true;
        info.displayBlack = black;
        info.displayWhite = white;
    }
}

// A single channel's display range is the stack's min and max.
void XTIFFImporter::ReadImageJDisplayRange(const std::map<std::string, XString>& inValues)
{
    auto min = inValues.find("min"), max = inValues.find("max");
    double black = 0, white = 0;
    if (itsLayout.channelCount == 1 && min != inValues.end() && max != inValues.end() &&
        min->second.TryGetSFloat64(black) && max->second.TryGetSFloat64(white) && std::isfinite(black) &&
        std::isfinite(white) && white > black) {
        itsLayout.channels.resize(1);
        itsLayout.channels[0].hasDisplayRange = true;
        itsLayout.channels[0].displayBlack = black;
        itsLayout.channels[0].displayWhite = white;
    }
}

void XTIFFImporter::ReadImageJCounts(const std::map<std::string, XString>& inValues)
{
    auto count = [&](const char* inKey, uint32_t& outValue) {
        outValue = 1;
        auto it = inValues.find(inKey);
        if (it == inValues.end())
            return false;
        if (!XOMEMetadata::ParseCount(it->second, outValue))
            Fail(XException::kUnsupportedFile,
                XString("its ImageJ description gives %1 as \"%2\"").Replace(XString(inKey)).Replace(it->second),
                "Save the stack again from ImageJ.");
        return true;
    };
    uint32_t images, channels, slices, frames;
    const bool hasImages = count("images", images);
    const bool hasChannels = count("channels", channels), hasSlices = count("slices", slices), hasFrames = count("frames", frames);
    if (!hasImages)
        images = itsLayout.pageCount;
    // A plain ImageJ stack names only its image count: the images are slices.
    if (!hasChannels && !hasSlices && !hasFrames)
        slices = images;

    const uint16_t spp = itsLayout.samplesPerPixel;
    if (spp != 1 && channels != 1)
        Fail(XException::kUnsupportedFile, "it is an RGB hyperstack with several channels",
            "Split the channels in ImageJ and save them as a greyscale hyperstack.");
    uint64_t product = uint64_t(channels) * slices;
    if (!Multiply(product, frames, product) || product != images)
        Fail(XException::kUnsupportedFile,
            XString("its ImageJ description announces %1 channels x %2 slices x %3 frames, which is not its %4 images")
                .Replace(int64_t(channels)).Replace(int64_t(slices)).Replace(int64_t(frames)).Replace(int64_t(images)),
            "Save the stack again from ImageJ.");
    if (images != itsLayout.pageCount)
        Fail(XException::kUnsupportedFile,
            XString("its ImageJ description announces %1 images but the file holds %2 pages")
                .Replace(int64_t(images)).Replace(int64_t(itsLayout.pageCount)),
            "The file may be truncated, or written by ImageJ as one raw block; save it again as a standard TIFF stack.");

    itsLayout.channelCount = channels * spp;
    itsLayout.sliceCount = slices;
    itsLayout.timepointCount = frames;
    MapImageJPages();
}

void XTIFFImporter::MapImageJPages()
{
    const uint16_t spp = itsLayout.samplesPerPixel;
    if (spp == 3)
        itsLayout.channels = {{"Red", XARGB32Colour::kRed, true}, {"Green", XARGB32Colour::kGreen, true},
            {"Blue", XARGB32Colour::kBlue, true}};
    // Hyperstack pages run channel fastest, then slice, then frame: page index = plane index.
    for (uint32_t page = 0; page < itsLayout.pageCount; ++page)
        for (uint16_t s = 0; s < spp; ++s) {
            itsLayout.planePages.push_back(page);
            itsLayout.planeSamples.push_back(s);
        }
}

void XTIFFImporter::ReadImageJCalibration(const std::map<std::string, XString>& inValues)
{
    auto value = [&](const char* inKey) {
        auto it = inValues.find(inKey);
        return it == inValues.end() ? XString() : it->second;
    };
    // Pixel size: the resolution tags hold pixels per unit; spacing is the slice step.
    TIFF* tif = itsFile->Get();
    const double perUnit = XOMEMetadata::MicrometresPerUnit(value("unit"));
    float xres = 0, yres = 0;
    if (perUnit > 0 && TIFFGetField(tif, TIFFTAG_XRESOLUTION, &xres) && XOMEMetadata::IsUsableSize(perUnit / xres)) {
        itsLayout.calibration[0] = perUnit / xres;
        itsLayout.calibration[1] = TIFFGetField(tif, TIFFTAG_YRESOLUTION, &yres) && XOMEMetadata::IsUsableSize(perUnit / yres)
            ? perUnit / yres : itsLayout.calibration[0];
        itsLayout.isCalibrated = true;
    }
    double spacing = 0;
    if (perUnit > 0 && value("spacing").TryGetSFloat64(spacing) && XOMEMetadata::IsUsableSize(std::fabs(spacing) * perUnit)) {
        itsLayout.calibration[2] = std::fabs(spacing) * perUnit;
        itsLayout.isCalibrated = true;
    }
    double interval = 0;
    const double perTimeUnit = XOMEMetadata::SecondsPerUnit(value("tunit"));
    if (value("finterval").TryGetSFloat64(interval) && std::isfinite(interval) && interval > 0 && perTimeUnit > 0)
        for (uint32_t t = 0; t < itsLayout.timepointCount; ++t)
            itsLayout.timepointOffsets.push_back(t * interval * perTimeUnit);
}

void XTIFFImporter::ParseOME(const XString& inDescription)
{
    itsLayout.format = XFormat::kOME;
    XString fileName = itsPath;
    size_t slash = fileName.GetStdString().rfind('/');
    if (slash != std::string::npos)
        fileName = fileName.Mid(slash + 1);
    try {
        XOMEMetadata::Read(inDescription, fileName, itsBitsPerSample, itsLayout);
    } catch (const XException& e) {
        throw XException(e.GetErrorCode(),
            XString("The file \"%1\" cannot be imported: %2").Replace(itsPath).Replace(e.GetRawErrorMessage()));
    }
}

void XTIFFImporter::CheckSizes()
{
    if (itsLayout.channelCount > 1024)
        Fail(XException::kUnsupportedFile, XString("it has %1 channels, more than 1024").Replace(int64_t(itsLayout.channelCount)),
            "Split it into files of fewer channels.");
    uint64_t volumes = uint64_t(itsLayout.channelCount) * itsLayout.timepointCount;
    if (volumes > (uint64_t(1) << 22))
        Fail(XException::kUnsupportedFile, XString("it holds %1 volumes, too many to import").Replace(int64_t(volumes)),
            "Split it into files of fewer timepoints.");
    if (itsLayout.sliceCount > uint32_t(std::numeric_limits<int32_t>::max()))
        Fail(XException::kUnsupportedFile, "it has too many slices", "Split it into files of fewer slices.");
    const uint64_t total = itsLayout.GetTotalBytes();
    const uint64_t limit = GetMaxImportBytes();
    if (total > limit)
        Fail(XException::kUnsupportedFile,
            XString("it holds %1 of voxels (%2 x %3 pixels, %4 channels, %5 slices, %6 timepoints), more than the %7 an import may use")
                .Replace(total == std::numeric_limits<uint64_t>::max() ? XString("more than 16 EB") : FormatGiB(total))
                .Replace(int64_t(itsLayout.width)).Replace(int64_t(itsLayout.height)).Replace(int64_t(itsLayout.channelCount))
                .Replace(int64_t(itsLayout.sliceCount)).Replace(int64_t(itsLayout.timepointCount)).Replace(FormatGiB(limit)),
            "Open a cropped or reduced copy of the data.");
}

std::unique_ptr<XVolume> XTIFFImporter::MakeVolume(uint32_t inChannel) const
{
    std::unique_ptr<XVolume> volume =
        XVolume::Make(itsLayout.voxelType, X3DRect(0, 0, 0, itsLayout.width, itsLayout.height, int32_t(itsLayout.sliceCount)));
    volume->SetCalibration(itsLayout.calibration[0], itsLayout.calibration[1], itsLayout.calibration[2]);
    if (inChannel < itsLayout.channels.size())
        volume->SetChannelName(0, itsLayout.channels[inChannel].name);
    return volume;
}

void XTIFFImporter::ReadPage(uint32_t inPage, const std::vector<XPageTarget>& inTargets)
{
    itsFile->ClearError();
    GoToPage(inPage);
    const uint16_t photometric = CheckPageMatchesFirst(inPage);
    if (TIFFIsTiled(itsFile->Get()))
        ReadTiles(inPage, inTargets);
    else
        ReadStrips(inPage, inTargets);
    if (!itsFile->GetLastError().IsEmpty())
        FailToRead(inPage, "the data");
    if (photometric == PHOTOMETRIC_MINISWHITE)
        InvertMinIsWhite(inTargets);
}

void XTIFFImporter::GoToPage(uint32_t inPage)
{
    TIFF* tif = itsFile->Get();
    const tdir_t current = TIFFCurrentDirectory(tif);
    if (current == inPage)
        return;
    // The next page is one step on; any other is found from the directory list.
    bool moved = inPage == current + 1 ? TIFFReadDirectory(tif) != 0 : TIFFSetDirectory(tif, tdir_t(inPage)) != 0;
    if (!moved || TIFFCurrentDirectory(tif) != inPage)
        Fail(XException::kFileError,
            XString("page %1 cannot be read (%2)").Replace(int64_t(inPage + 1)).Replace(itsFile->GetLastError()), kCorrupt);
}

uint16_t XTIFFImporter::CheckPageMatchesFirst(uint32_t inPage)
{
    TIFF* tif = itsFile->Get();
    uint32_t width = 0, height = 0;
    uint16_t bits = 0, format = SAMPLEFORMAT_UINT, spp = 1, photometric = itsPhotometric;
    TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &width);
    TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &height);
    TIFFGetFieldDefaulted(tif, TIFFTAG_BITSPERSAMPLE, &bits);
    TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLEFORMAT, &format);
    TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLESPERPIXEL, &spp);
    TIFFGetField(tif, TIFFTAG_PHOTOMETRIC, &photometric);
    if (width != uint32_t(itsLayout.width) || height != uint32_t(itsLayout.height) || bits != itsBitsPerSample ||
        format != itsSampleFormat || spp != itsLayout.samplesPerPixel)
        Fail(XException::kUnsupportedFile,
            XString("page %1 (%2 x %3 pixels, %4-bit) differs from the first page (%5 x %6 pixels, %7-bit)")
                .Replace(int64_t(inPage + 1)).Replace(int64_t(width)).Replace(int64_t(height)).Replace(int64_t(bits))
                .Replace(int64_t(itsLayout.width)).Replace(int64_t(itsLayout.height)).Replace(int64_t(itsBitsPerSample)),
            "Only stacks whose pages all have one size and sample type can be imported.");
    return photometric;
}

void XTIFFImporter::FailToRead(uint32_t inPage, const char* inWhat) const
{
    Fail(XException::kFileError,
        XString("%1 of page %2 cannot be read (%3)").Replace(XString(inWhat)).Replace(int64_t(inPage + 1))
            .Replace(itsFile->GetLastError().IsEmpty() ? XString("the data ends early") : itsFile->GetLastError()),
        kCorrupt);
}

void XTIFFImporter::ScatterRows(const std::vector<XPageTarget>& inTargets, const uint8_t* inRows, uint32_t inY,
    uint32_t inRowCount, uint32_t inX, uint32_t inPixels, size_t inSrcStride) const
{
    const size_t bpv = GetBytesPerVoxel(itsLayout.voxelType);
    const size_t pixelBytes = bpv * itsLayout.samplesPerPixel;
    for (uint32_t r = 0; r < inRowCount; ++r) {
        const uint8_t* src = inRows + size_t(r) * inSrcStride;
        for (size_t s = 0; s < inTargets.size(); ++s) {
            const XPageTarget& target = inTargets[s];
            if (!target.volume)
                continue;
            uint8_t* dst = target.volume->GetVoxelPtr(int32_t(inX), int32_t(inY + r), target.plane);
            if (itsLayout.samplesPerPixel == 1)
                std::memcpy(dst, src, size_t(inPixels) * bpv);
            else
                for (uint32_t x = 0; x < inPixels; ++x)
                    std::memcpy(dst + x * bpv, src + x * pixelBytes + s * bpv, bpv);
        }
    }
}

void XTIFFImporter::ReadTiles(uint32_t inPage, const std::vector<XPageTarget>& inTargets)
{
    TIFF* tif = itsFile->Get();
    const uint32_t width = uint32_t(itsLayout.width), height = uint32_t(itsLayout.height);
    const size_t pixelBytes = GetBytesPerVoxel(itsLayout.voxelType) * itsLayout.samplesPerPixel;
    uint32_t tw = 0, th = 0;
    TIFFGetField(tif, TIFFTAG_TILEWIDTH, &tw);
    TIFFGetField(tif, TIFFTAG_TILELENGTH, &th);
    const uint64_t tileBytes = uint64_t(tw) * th * pixelBytes;
    const tmsize_t tileSize = TIFFTileSize(tif);
    if (tw == 0 || th == 0 || tileBytes > kMaxTileBytes || tileSize <= 0 || uint64_t(tileSize) < tileBytes)
        Fail(XException::kUnsupportedFile,
            XString("page %1 has tiles of %2 x %3 pixels").Replace(int64_t(inPage + 1)).Replace(int64_t(tw)).Replace(int64_t(th)),
            "Save the image with strips or smaller tiles.");
    std::vector<uint8_t> tile(static_cast<size_t>(tileSize));
    for (uint32_t y = 0; y < height; y += th)
        for (uint32_t x = 0; x < width; x += tw) {
            tmsize_t got = TIFFReadTile(tif, tile.data(), x, y, 0, 0);
            if (got < tmsize_t(tileBytes))
                FailToRead(inPage, "a tile");
            ScatterRows(inTargets, tile.data(), y, std::min(th, height - y), x, std::min(tw, width - x), size_t(tw) * pixelBytes);
        }
}

void XTIFFImporter::ReadStrips(uint32_t inPage, const std::vector<XPageTarget>& inTargets)
{
    TIFF* tif = itsFile->Get();
    const uint32_t width = uint32_t(itsLayout.width), height = uint32_t(itsLayout.height);
    const size_t pageRowBytes = size_t(width) * GetBytesPerVoxel(itsLayout.voxelType) * itsLayout.samplesPerPixel;
    // Single-sample pages are read straight into the volume; RGB pages through a row buffer.
    const bool direct = itsLayout.samplesPerPixel == 1 && inTargets.size() == 1 && inTargets[0].volume;
    uint32_t rowsPerStrip = height;
    TIFFGetFieldDefaulted(tif, TIFFTAG_ROWSPERSTRIP, &rowsPerStrip);
    rowsPerStrip = std::clamp<uint32_t>(rowsPerStrip, 1, height);
    const uint32_t strips = TIFFNumberOfStrips(tif);
    if (strips < (height + rowsPerStrip - 1) / rowsPerStrip)
        FailToRead(inPage, "the strip table");
    std::vector<uint8_t> buffer;
    if (!direct) {
        if (uint64_t(rowsPerStrip) * pageRowBytes > kMaxTileBytes)
            Fail(XException::kUnsupportedFile, XString("page %1 has strips that are too large").Replace(int64_t(inPage + 1)),
                "Save the image with smaller strips.");
        buffer.resize(size_t(rowsPerStrip) * pageRowBytes);
    }
    for (uint32_t s = 0, y = 0; y < height; ++s, y += rowsPerStrip) {
        const uint32_t rows = std::min(rowsPerStrip, height - y);
        const tmsize_t want = tmsize_t(size_t(rows) * pageRowBytes);
        uint8_t* into = direct ? inTargets[0].volume->GetVoxelPtr(0, int32_t(y), inTargets[0].plane) : buffer.data();
        tmsize_t got = TIFFReadEncodedStrip(tif, s, into, want);
        if (got != want)
            FailToRead(inPage, "a strip");
        if (!direct)
            ScatterRows(inTargets, buffer.data(), y, rows, 0, width, pageRowBytes);
    }
}

void XTIFFImporter::InvertMinIsWhite(const std::vector<XPageTarget>& inTargets) const
{
    const size_t count = size_t(itsLayout.width) * size_t(itsLayout.height);
    for (const XPageTarget& target : inTargets) {
        if (!target.volume)
            continue;
        uint8_t* plane = target.volume->GetLayerPtr(target.plane);
        if (itsLayout.voxelType == XVoxelType::kGrey8)
            InvertPlane<uint8_t>(plane, count, 255);
        else if (itsLayout.voxelType == XVoxelType::kGrey16)
            InvertPlane<uint16_t>(plane, count, 65535);
    }
}

std::unique_ptr<XVolume> XTIFFImporter::ReadVolume(uint32_t inChannel, uint32_t inTimepoint)
{
    if (inChannel < 1 || inChannel > itsLayout.channelCount || inTimepoint < 1 || inTimepoint > itsLayout.timepointCount)
        throw XException(XException::kBadArgument,
            XString("Channel %1 at timepoint %2 does not exist in \"%3\", which has %4 channels and %5 timepoints.")
                .Replace(int64_t(inChannel)).Replace(int64_t(inTimepoint)).Replace(itsPath)
                .Replace(int64_t(itsLayout.channelCount)).Replace(int64_t(itsLayout.timepointCount)));
    std::unique_ptr<XVolume> volume = MakeVolume(inChannel - 1);
    for (uint32_t z = 0; z < itsLayout.sliceCount; ++z) {
        size_t index = itsLayout.GetPlaneIndex(inChannel - 1, z, inTimepoint - 1);
        std::vector<XPageTarget> targets(itsLayout.samplesPerPixel);
        targets[itsLayout.planeSamples[index]] = {volume.get(), int32_t(z)};
        ReadPage(itsLayout.planePages[index], targets);
    }
    return volume;
}

std::vector<std::unique_ptr<XVolume>> XTIFFImporter::ReadAll(XProgress* inProgress)
{
    const XLayout& L = itsLayout;
    std::vector<std::unique_ptr<XVolume>> volumes;
    volumes.reserve(size_t(L.channelCount) * L.timepointCount);
    for (uint32_t c = 0; c < L.channelCount; ++c)
        for (uint32_t t = 0; t < L.timepointCount; ++t)
            volumes.push_back(MakeVolume(c));

    // Which planes each page feeds, so pages are read once and in file order.
    std::vector<std::vector<XPageTarget>> pages(L.pageCount);
    for (uint32_t t = 0; t < L.timepointCount; ++t)
        for (uint32_t z = 0; z < L.sliceCount; ++z)
            for (uint32_t c = 0; c < L.channelCount; ++c) {
                size_t index = L.GetPlaneIndex(c, z, t);
                std::vector<XPageTarget>& targets = pages[L.planePages[index]];
                if (targets.empty())
                    targets.resize(L.samplesPerPixel);
                targets[L.planeSamples[index]] = {volumes[size_t(c) * L.timepointCount + t].get(), int32_t(z)};
            }
    if (inProgress) {
        XString name = itsPath;
        size_t slash = name.GetStdString().rfind('/');
        if (slash != std::string::npos)
            name = name.Mid(slash + 1);
        inProgress->SetMessage(XString("Importing \"%1\"").Replace(name));
        inProgress->SetTotal(std::count_if(pages.begin(), pages.end(), [](const auto& p) { return !p.empty(); }));
    }
    for (uint32_t page = 0; page < L.pageCount; ++page)
        if (!pages[page].empty()) {
            // An import on a job thread stops here when the job is cancelled.
            XThread::TestCancelCurrentThread();
            ReadPage(page, pages[page]);
            if (inProgress)
                inProgress->Increment();
        }
    return volumes;
}

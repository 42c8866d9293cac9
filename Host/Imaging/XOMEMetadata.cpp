#include "XOMEMetadata.h"

#include "XException.h"
#include "XMiniXML.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <limits>
#include <vector>

namespace {

[[noreturn]] void Fail(int32_t inCode, const XString& inProblem, const XString& inAdvice)
{
    throw XException(inCode, inProblem + ". " + inAdvice);
}

// a × b, or false when it overflows 64 bits.
bool Multiply(uint64_t a, uint64_t b, uint64_t& out)
{
    if (a != 0 && b > std::numeric_limits<uint64_t>::max() / a)
        return false;
    out = a * b;
    return true;
}

} // namespace

double XOMEMetadata::MicrometresPerUnit(XString inUnit)
{
    inUnit.Strip();
    const XString u = inUnit.ToLower();
    if (u == "micron" || u == "microns" || u == "um" || u == "µm" || u == "\\u00b5m" || u == "μm" || u == "micrometer" ||
        u == "micrometre")
        return 1.0;
    if (u == "nm" || u == "nanometer" || u == "nanometre")
        return 1e-3;
    if (u == "mm" || u == "millimeter" || u == "millimetre")
        return 1e3;
    if (u == "cm" || u == "centimeter" || u == "centimetre")
        return 1e4;
    if (u == "m" || u == "meter" || u == "metre")
        return 1e6;
    if (u == "inch" || u == "in")
        return 25400.0;
    if (u == "å" || u == "angstrom" || inUnit == "Å")
        return 1e-4;
    if (u == "pm")
        return 1e-6;
    return 0.0;
}

double XOMEMetadata::SecondsPerUnit(XString inUnit)
{
    inUnit.Strip();
    const XString u = inUnit.ToLower();
    if (u.IsEmpty() || u == "s" || u == "sec" || u == "second" || u == "seconds")
        return 1.0;
    if (u == "ms" || u == "msec")
        return 1e-3;
    if (u == "µs" || u == "us" || u == "\\u00b5s")
        return 1e-6;
    if (u == "ns")
        return 1e-9;
    if (u == "min" || u == "minute" || u == "minutes")
        return 60.0;
    if (u == "h" || u == "hr" || u == "hour" || u == "hours")
        return 3600.0;
    return 0.0;
}

bool XOMEMetadata::IsUsableSize(double inValue)
{
    return std::isfinite(inValue) && inValue > 0.0 && inValue < 1e9;
}

bool XOMEMetadata::ParseCount(const XString& inText, uint32_t& outValue)
{
    uint64_t v = 0;
    if (!inText.Stripped().TryGetUInt64(v) || v == 0 || v > kMaxCount)
        return false;
    outValue = uint32_t(v);
    return true;
}

bool XOMEMetadata::ParseDateTime(XString inText, XTime& outTime)
{
    inText.Strip();
    const std::string& s = inText.GetStdString();
    int year, month, day, hour = 0, minute = 0;
    double second = 0;
    char dateSep1 = 0, dateSep2 = 0;
    int consumed = 0;
    if (std::sscanf(s.c_str(), "%4d%c%2d%c%2d%n", &year, &dateSep1, &month, &dateSep2, &day, &consumed) != 5)
        return false;
    if (!((dateSep1 == '-' && dateSep2 == '-') || (dateSep1 == ':' && dateSep2 == ':')))
        return false;
    size_t pos = size_t(consumed);
    double offsetSeconds = 0;
    if (pos < s.size() && (s[pos] == 'T' || s[pos] == ' ')) {
        int used = 0;
        if (std::sscanf(s.c_str() + pos + 1, "%2d:%2d:%lf%n", &hour, &minute, &second, &used) != 3)
            return false;
        pos += 1 + size_t(used);
        if (pos < s.size() && (s[pos] == '+' || s[pos] == '-')) {
            int oh = 0, om = 0;
            if (std::sscanf(s.c_str() + pos + 1, "%2d:%2d", &oh, &om) >= 1)
                offsetSeconds = (s[pos] == '-' ? -1 : 1) * (oh * 3600.0 + om * 60.0);
        }
    }
    if (month < 1 || month > 12 || day < 1 || day > 31 || hour < 0 || hour > 23 || minute < 0 || minute > 59 ||
        !(second >= 0 && second < 61) || year < 1900 || year > 9999)
        return false;
    std::tm tm{};
    tm.tm_year = year - 1900;
    tm.tm_mon = month - 1;
    tm.tm_mday = day;
    tm.tm_hour = hour;
    tm.tm_min = minute;
    tm.tm_sec = 0;
    time_t t = timegm(&tm);
    outTime = XTime(double(t) + second - offsetSeconds);
    return true;
}

void XOMEMetadata::Read(const XString& inXML, const XString& inFileName, uint16_t inBitsPerSample,
    XTIFFImporter::XLayout& inOutLayout)
{
    const XString resave("Save the data again as OME-TIFF or as an ImageJ hyperstack.");
    std::unique_ptr<XMiniXML::XElement> root;
    try {
        root = XMiniXML::Parse(inXML);
    } catch (const XException& e) {
        Fail(XException::kUnsupportedFile, XString("its OME-XML metadata is malformed (%1)").Replace(e.GetRawErrorMessage()), resave);
    }
    const XMiniXML::XElement* image = root->FindDescendant("Image");
    const XMiniXML::XElement* pixels = image ? image->FindChild("Pixels") : nullptr;
    if (!pixels)
        Fail(XException::kUnsupportedFile, "its OME-XML metadata describes no image", resave);

    auto size = [&](const char* inName) {
        uint32_t value = 0;
        if (!ParseCount(pixels->GetAttribute(inName), value))
            Fail(XException::kUnsupportedFile,
                XString("its OME-XML gives %1 as \"%2\"").Replace(XString(inName)).Replace(pixels->GetAttribute(inName)), resave);
        return value;
    };
    const uint32_t sizeX = size("SizeX"), sizeY = size("SizeY"), sizeZ = size("SizeZ"), sizeC = size("SizeC"),
                   sizeT = size("SizeT");
    if (sizeX != uint32_t(inOutLayout.width) || sizeY != uint32_t(inOutLayout.height))
        Fail(XException::kUnsupportedFile,
            XString("its OME-XML describes planes of %1 x %2 pixels but its pages have %3 x %4")
                .Replace(int64_t(sizeX)).Replace(int64_t(sizeY)).Replace(int64_t(inOutLayout.width)).Replace(int64_t(inOutLayout.height)),
            resave);
    if (inOutLayout.samplesPerPixel != 1)
        Fail(XException::kUnsupportedFile, "its OME-TIFF pages hold several samples per pixel",
            "Save the data again with one sample per pixel.");

    XString type = pixels->GetAttribute("Type").ToLower();
    XVoxelType declared = type == "uint8" ? XVoxelType::kGrey8 : type == "uint16" ? XVoxelType::kGrey16
        : type == "float" ? XVoxelType::kFloat32 : XVoxelType::kMask;
    if (declared == XVoxelType::kMask)
        Fail(XException::kUnsupportedFile, XString("its OME pixel type \"%1\" cannot be read").Replace(pixels->GetAttribute("Type")),
            "Convert it to uint8, uint16 or float and import it again.");
    if (declared != inOutLayout.voxelType)
        Fail(XException::kUnsupportedFile,
            XString("its OME-XML declares %1 pixels but its pages hold %2-bit samples").Replace(type).Replace(int64_t(inBitsPerSample)),
            resave);

    // The order after XY lists the fastest-varying dimension first.
    std::string o = pixels->GetAttribute("DimensionOrder", "XYCZT").Stripped().GetStdString();
    std::transform(o.begin(), o.end(), o.begin(), [](char c) { return char(std::toupper(static_cast<unsigned char>(c))); });
    const XString order(o);
    if (o.size() != 5 || o[0] != 'X' || o[1] != 'Y' || std::count(o.begin() + 2, o.end(), 'C') != 1 ||
        std::count(o.begin() + 2, o.end(), 'Z') != 1 || std::count(o.begin() + 2, o.end(), 'T') != 1)
        Fail(XException::kUnsupportedFile, XString("its OME dimension order \"%1\" is not valid").Replace(order), resave);

    inOutLayout.channelCount = sizeC;
    inOutLayout.sliceCount = sizeZ;
    inOutLayout.timepointCount = sizeT;
    uint64_t total = uint64_t(sizeC) * sizeZ;
    if (!Multiply(total, sizeT, total) || total > (uint64_t(1) << 32))
        Fail(XException::kUnsupportedFile, "its OME-XML announces more planes than a TIFF file can hold", resave);

    const uint32_t sizes[3] = {sizeC, sizeZ, sizeT};
    auto dimIndex = [](char d) { return d == 'C' ? 0 : d == 'Z' ? 1 : 2; };
    // Linear index of plane (c, z, t) in the dimension order.
    auto linear = [&](const uint32_t inCoord[3]) {
        uint64_t index = 0, stride = 1;
        for (int k = 2; k < 5; ++k) {
            int d = dimIndex(o[size_t(k)]);
            index += inCoord[d] * stride;
            stride *= sizes[d];
        }
        return index;
    };
    auto coordinates = [&](uint64_t inLinear, uint32_t outCoord[3]) {
        for (int k = 2; k < 5; ++k) {
            int d = dimIndex(o[size_t(k)]);
            outCoord[d] = uint32_t(inLinear % sizes[d]);
            inLinear /= sizes[d];
        }
    };

    const size_t planeCount = size_t(total);
    constexpr uint32_t kUnmapped = std::numeric_limits<uint32_t>::max();
    inOutLayout.planePages.assign(planeCount, kUnmapped);
    inOutLayout.planeSamples.assign(planeCount, 0);
    std::vector<bool> pageUsed(inOutLayout.pageCount, false);
    auto setPage = [&](uint64_t inLinear, uint64_t inPage) {
        if (inLinear >= total || inPage >= inOutLayout.pageCount)
            Fail(XException::kUnsupportedFile,
                XString("its OME-XML places plane %1 on page %2, but the file holds %3 planes on %4 pages")
                    .Replace(int64_t(inLinear + 1)).Replace(int64_t(inPage + 1)).Replace(int64_t(total)).Replace(int64_t(inOutLayout.pageCount)),
                "The file may be truncated or belong to a set of files; import the complete data set.");
        // A page holds one plane; a second claim on it means the metadata is wrong.
        if (pageUsed[size_t(inPage)])
            Fail(XException::kUnsupportedFile, XString("its OME-XML places two planes on page %1").Replace(int64_t(inPage + 1)),
                "Save the data again as OME-TIFF or as an ImageJ hyperstack.");
        pageUsed[size_t(inPage)] = true;
        uint32_t c[3];
        coordinates(inLinear, c);
        inOutLayout.planePages[inOutLayout.GetPlaneIndex(c[0], c[1], c[2])] = uint32_t(inPage);
    };

    std::vector<const XMiniXML::XElement*> tiffData = pixels->FindChildren("TiffData");
    if (tiffData.empty()) {
        for (uint64_t i = 0; i < total; ++i)
            setPage(i, i);
    } else {
        const XString& ownName = inFileName;
        for (const XMiniXML::XElement* td : tiffData) {
            if (const XMiniXML::XElement* uuid = td->FindChild("UUID")) {
                XString file = uuid->GetAttribute("FileName");
                if (!file.IsEmpty() && !(file == ownName))
                    Fail(XException::kUnsupportedFile,
                        XString("its planes are spread over several files (it refers to \"%1\")").Replace(file),
                        "Combine the files into one OME-TIFF or ImageJ hyperstack.");
            }
            auto number = [&](const char* inName, uint64_t inDefault) {
                const XString* text = td->FindAttribute(inName);
                uint64_t value = inDefault;
                if (text && !text->Stripped().TryGetUInt64(value))
                    Fail(XException::kUnsupportedFile,
                        XString("its OME TiffData gives %1 as \"%2\"").Replace(XString(inName)).Replace(*text), resave);
                return value;
            };
            const bool hasIFD = td->FindAttribute("IFD") != nullptr;
            uint64_t ifd = number("IFD", 0);
            uint32_t first[3] = {0, 0, 0};
            uint64_t fc = number("FirstC", 0), fz = number("FirstZ", 0), ft = number("FirstT", 0);
            if (fc >= sizeC || fz >= sizeZ || ft >= sizeT)
                Fail(XException::kUnsupportedFile, "its OME TiffData starts outside the image", resave);
            first[0] = uint32_t(fc), first[1] = uint32_t(fz), first[2] = uint32_t(ft);
            // Without IFD or PlaneCount, one TiffData covers every plane from its start.
            uint64_t start = linear(first);
            uint64_t planes = number("PlaneCount", hasIFD ? 1 : total - start);
            if (planes > total)
                Fail(XException::kUnsupportedFile, "its OME TiffData maps more planes than the image has", resave);
            for (uint64_t k = 0; k < planes; ++k)
                setPage(start + k, ifd + k);
        }
    }
    for (size_t i = 0; i < planeCount; ++i)
        if (inOutLayout.planePages[i] == kUnmapped)
            Fail(XException::kUnsupportedFile,
                XString("its OME-XML places no page for channel %1, slice %2, timepoint %3")
                    .Replace(int64_t(i % sizeC + 1)).Replace(int64_t(i / sizeC % sizeZ + 1)).Replace(int64_t(i / sizeC / sizeZ + 1)),
                "The file may be incomplete; import the complete data set.");

    // Calibration.
    const char* axes[3] = {"PhysicalSizeX", "PhysicalSizeY", "PhysicalSizeZ"};
    for (int a = 0; a < 3; ++a) {
        double value = 0;
        if (!pixels->GetAttribute(axes[a]).TryGetSFloat64(value))
            continue;
        double perUnit = MicrometresPerUnit(pixels->GetAttribute(XString(axes[a]) + "Unit", "µm"));
        if (perUnit > 0 && IsUsableSize(value * perUnit)) {
            inOutLayout.calibration[a] = value * perUnit;
            inOutLayout.isCalibrated = true;
        }
    }

    // Times: per-plane DeltaT when given, else the increment.
    double increment = 0;
    double perTime = SecondsPerUnit(pixels->GetAttribute("TimeIncrementUnit", "s"));
    if (pixels->GetAttribute("TimeIncrement").TryGetSFloat64(increment) && std::isfinite(increment) && increment > 0 &&
        perTime > 0)
        for (uint32_t t = 0; t < sizeT; ++t)
            inOutLayout.timepointOffsets.push_back(t * increment * perTime);
    std::vector<double> deltas(sizeT, std::numeric_limits<double>::quiet_NaN());
    bool anyDelta = false;
    for (const XMiniXML::XElement* plane : pixels->FindChildren("Plane")) {
        uint64_t theT = 0;
        double delta = 0;
        double perDelta = SecondsPerUnit(plane->GetAttribute("DeltaTUnit", "s"));
        if (!plane->GetAttribute("TheT", "0").TryGetUInt64(theT) || theT >= sizeT ||
            !plane->GetAttribute("DeltaT").TryGetSFloat64(delta) || !std::isfinite(delta) || perDelta <= 0)
            continue;
        delta *= perDelta;
        if (std::isnan(deltas[theT]) || delta < deltas[theT])
            deltas[theT] = delta;
        anyDelta = true;
    }
    if (anyDelta) {
        bool complete = std::none_of(deltas.begin(), deltas.end(), [](double d) { return std::isnan(d); });
        if (complete)
            inOutLayout.timepointOffsets = deltas;
    }
    if (const XMiniXML::XElement* date = image->FindChild("AcquisitionDate"))
        inOutLayout.hasStartTime = ParseDateTime(date->text, inOutLayout.startTime);

    // Channels: names and colours (a signed 32-bit RGBA number).
    std::vector<const XMiniXML::XElement*> channels = pixels->FindChildren("Channel");
    for (uint32_t c = 0; c < sizeC; ++c) {
        XTIFFImporter::XChannelInfo info;
        if (c < channels.size()) {
            const XMiniXML::XElement* ch = channels[c];
            uint64_t spp = 1;
            if (ch->GetAttribute("SamplesPerPixel", "1").TryGetUInt64(spp) && spp != 1)
                Fail(XException::kUnsupportedFile, "its OME channels hold several samples per pixel",
                    "Save the data again with one sample per pixel.");
            info.name = ch->GetAttribute("Name");
            int64_t colour = 0;
            if (ch->GetAttribute("Color").Stripped().TryGetSInt64(colour) && colour >= std::numeric_limits<int32_t>::min() &&
                colour <= std::numeric_limits<uint32_t>::max()) {
                uint32_t rgba = uint32_t(colour);
                info.colour = XARGB32Colour(uint8_t(rgba), uint8_t(rgba >> 24), uint8_t(rgba >> 16), uint8_t(rgba >> 8));
                info.hasColour = true;
            }
        }
        inOutLayout.channels.push_back(info);
    }
}

#include "XOMEMetadata.h"

#include "XException.h"

#include <libxml/parser.h>
#include <libxml/tree.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <limits>
#include <memory>
#include <mutex>
#include <new>
#include <string>
#include <vector>

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

namespace {

constexpr const char* kResave = "Save the data again as OME-TIFF or as an ImageJ hyperstack.";
constexpr const char* kIncomplete = "The file may be truncated or belong to a set of files; import the complete data set.";

[[noreturn]] void Fail(const XString& inProblem, const XString& inAdvice = kResave)
{
    throw XException(XException::kUnsupportedFile, inProblem + ". " + inAdvice);
}

// ---- Reading the document

struct XDocumentFree {
    void operator()(xmlDoc* inDoc) const { xmlFreeDoc(inDoc); }
};
using XDocument = std::unique_ptr<xmlDoc, XDocumentFree>;

struct XParserFree {
    void operator()(xmlParserCtxt* inContext) const { xmlFreeParserCtxt(inContext); }
};

// A document that declares entities is refused as soon as the first declaration is
// seen, so nothing can be expanded, however the declarations nest.
void RefuseEntityDeclaration(void* inContext, const xmlChar*, int, const xmlChar*, const xmlChar*, xmlChar*)
{
    auto* context = static_cast<xmlParserCtxt*>(inContext);
    *static_cast<bool*>(context->_private) = true;
    xmlStopParser(context);
}

void IgnoreStructuredError(void*, xmlError*) {}

// Never touches the network, never loads a DTD, never substitutes entities; the parser's
// own limits (nesting depth, text node sizes) stay in force.
XDocument ParseDocument(const XString& inXML)
{
    static std::once_flag initialised;
    std::call_once(initialised, [] { xmlInitParser(); });
    const std::string& text = inXML.GetStdString();
    if (text.size() > XOMEMetadata::kMaxXMLBytes)
        Fail(XString("its OME-XML metadata is larger than %1 MB").Replace(int64_t(XOMEMetadata::kMaxXMLBytes >> 20)));
    std::unique_ptr<xmlParserCtxt, XParserFree> context(xmlNewParserCtxt());
    if (!context)
        throw std::bad_alloc();
    bool declaresEntities = false;
    context->_private = &declaresEntities;
    context->sax->entityDecl = &RefuseEntityDeclaration;
    context->sax->serror = &IgnoreStructuredError;
    // The text is UTF-8 whatever the declaration claims: converting from a declared encoding
    // would misread it, and libxml2 prints conversion failures instead of returning them.
    XDocument doc(xmlCtxtReadMemory(context.get(), text.data(), int(text.size()), nullptr, "UTF-8",
        XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING | XML_PARSE_IGNORE_ENC));
    if (declaresEntities)
        Fail("its OME-XML metadata declares entities, which are not read");
    if (!doc || !xmlDocGetRootElement(doc.get())) {
        const xmlError* error = xmlCtxtGetLastError(context.get());
        XString why = error && error->message ? XString(error->message).Stripped() : XString("it is not XML");
        if (error && error->line > 0)
            why = XString("line %1: %2").Replace(int64_t(error->line)).Replace(why);
        Fail(XString("its OME-XML metadata is malformed (%1)").Replace(why));
    }
    return doc;
}

// ---- Finding elements and attributes by local name (namespace prefixes are ignored)

bool IsElement(const xmlNode* inNode, const char* inLocalName)
{
    return inNode->type == XML_ELEMENT_NODE && xmlStrEqual(inNode->name, BAD_CAST inLocalName);
}

const xmlNode* FindChild(const xmlNode* inParent, const char* inLocalName)
{
    for (const xmlNode* n = inParent->children; n; n = n->next)
        if (IsElement(n, inLocalName))
            return n;
    return nullptr;
}

std::vector<const xmlNode*> FindChildren(const xmlNode* inParent, const char* inLocalName)
{
    std::vector<const xmlNode*> found;
    for (const xmlNode* n = inParent->children; n; n = n->next)
        if (IsElement(n, inLocalName))
            found.push_back(n);
    return found;
}

// First element of this name in document order, without recursion.
const xmlNode* FindDescendant(const xmlNode* inRoot, const char* inLocalName)
{
    const xmlNode* n = inRoot;
    while (n) {
        if (IsElement(n, inLocalName))
            return n;
        if (n->children && n->type == XML_ELEMENT_NODE) {
            n = n->children;
            continue;
        }
        while (n && n != inRoot && !n->next)
            n = n->parent;
        n = n && n != inRoot ? n->next : nullptr;
    }
    return nullptr;
}

XString ContentOf(const xmlNode* inNode)
{
    xmlChar* content = xmlNodeGetContent(inNode);
    XString text(reinterpret_cast<const char*>(content));
    xmlFree(content);
    return text;
}

const xmlAttr* FindAttribute(const xmlNode* inElement, const char* inLocalName)
{
    for (const xmlAttr* a = inElement->properties; a; a = a->next)
        if (xmlStrEqual(a->name, BAD_CAST inLocalName))
            return a;
    return nullptr;
}

XString Attribute(const xmlNode* inElement, const char* inLocalName, const XString& inDefault = XString())
{
    const xmlAttr* a = FindAttribute(inElement, inLocalName);
    return a ? ContentOf(reinterpret_cast<const xmlNode*>(a)) : inDefault;
}

// ---- Pixels: sizes, sample type and dimension order

uint32_t ReadSize(const xmlNode* inPixels, const char* inName)
{
    uint32_t value = 0;
    const XString text = Attribute(inPixels, inName);
    if (!XOMEMetadata::ParseCount(text, value))
        Fail(XString("its OME-XML gives %1 as \"%2\"").Replace(XString(inName)).Replace(text));
    return value;
}

void ReadSizes(const xmlNode* inPixels, XTIFFLayout& inOutLayout)
{
    const uint32_t sizeX = ReadSize(inPixels, "SizeX"), sizeY = ReadSize(inPixels, "SizeY");
    const uint32_t sizeZ = ReadSize(inPixels, "SizeZ"), sizeC = ReadSize(inPixels, "SizeC"), sizeT = ReadSize(inPixels, "SizeT");
    if (sizeX != uint32_t(inOutLayout.width) || sizeY != uint32_t(inOutLayout.height))
        Fail(XString("its OME-XML describes planes of %1 x %2 pixels but its pages have %3 x %4")
                .Replace(int64_t(sizeX)).Replace(int64_t(sizeY)).Replace(int64_t(inOutLayout.width)).Replace(int64_t(inOutLayout.height)));
    if (inOutLayout.samplesPerPixel != 1)
        Fail("its OME-TIFF pages hold several samples per pixel", "Save the data again with one sample per pixel.");
    inOutLayout.channelCount = sizeC;
    inOutLayout.sliceCount = sizeZ;
    inOutLayout.timepointCount = sizeT;
}

void CheckPixelType(const xmlNode* inPixels, uint16_t inBitsPerSample, const XTIFFLayout& inLayout)
{
    const XString written = Attribute(inPixels, "Type");
    const XString type = written.ToLower();
    const XVoxelType declared = type == "uint8" ? XVoxelType::kGrey8 : type == "uint16" ? XVoxelType::kGrey16
        : type == "float" ? XVoxelType::kFloat32 : XVoxelType::kMask;
    if (declared == XVoxelType::kMask)
        Fail(XString("its OME pixel type \"%1\" cannot be read").Replace(written), "Convert it to uint8, uint16 or float and import it again.");
    if (declared != inLayout.voxelType)
        Fail(XString("its OME-XML declares %1 pixels but its pages hold %2-bit samples").Replace(type).Replace(int64_t(inBitsPerSample)));
}

// The order after XY lists the fastest-varying dimension first.
std::string ReadDimensionOrder(const xmlNode* inPixels)
{
    std::string o = Attribute(inPixels, "DimensionOrder", "XYCZT").Stripped().GetStdString();
    std::transform(o.begin(), o.end(), o.begin(), [](char c) { return char(std::toupper(static_cast<unsigned char>(c))); });
    if (o.size() != 5 || o[0] != 'X' || o[1] != 'Y' || std::count(o.begin() + 2, o.end(), 'C') != 1 ||
        std::count(o.begin() + 2, o.end(), 'Z') != 1 || std::count(o.begin() + 2, o.end(), 'T') != 1)
        Fail(XString("its OME dimension order \"%1\" is not valid").Replace(XString(o)));
    return o;
}

// ---- Planes to pages

// The page of every plane, filled from TiffData elements and checked as it goes.
class XPlaneMap {
public:
    XPlaneMap(const std::string& inOrder, XTIFFLayout& inOutLayout) : itsOrder(inOrder), itsLayout(inOutLayout)
    {
        itsSizes[0] = inOutLayout.channelCount, itsSizes[1] = inOutLayout.sliceCount, itsSizes[2] = inOutLayout.timepointCount;
        itsTotal = uint64_t(itsSizes[0]) * itsSizes[1] * itsSizes[2];
        // A page holds one plane, so the pages bound the planes; checked before anything is allocated.
        if (itsTotal > inOutLayout.pageCount)
            Fail(XString("its OME-XML announces %1 planes but the file holds %2 pages")
                    .Replace(int64_t(itsTotal)).Replace(int64_t(inOutLayout.pageCount)), kIncomplete);
        inOutLayout.planePages.assign(size_t(itsTotal), kUnmapped);
        inOutLayout.planeSamples.assign(size_t(itsTotal), 0);
        itsPageUsed.assign(inOutLayout.pageCount, false);
    }

    uint64_t GetTotal() const { return itsTotal; }
    uint32_t GetSize(int inDimension) const { return itsSizes[inDimension]; }

    // Linear index of plane (c, z, t) in the dimension order.
    uint64_t GetLinear(const uint32_t inCoord[3]) const
    {
        uint64_t index = 0, stride = 1;
        for (int k = 2; k < 5; ++k) {
            const int d = DimensionAt(k);
            index += inCoord[d] * stride;
            stride *= itsSizes[d];
        }
        return index;
    }

    void Place(uint64_t inLinear, uint64_t inPage)
    {
        if (inLinear >= itsTotal || inPage >= itsLayout.pageCount)
            Fail(XString("its OME-XML places plane %1 on page %2, but the file holds %3 planes on %4 pages")
                    .Replace(int64_t(inLinear + 1)).Replace(XString::FromUInt64(inPage + 1)).Replace(int64_t(itsTotal))
                    .Replace(int64_t(itsLayout.pageCount)),
                kIncomplete);
        // A second claim on a page means the metadata is wrong.
        if (itsPageUsed[size_t(inPage)])
            Fail(XString("its OME-XML places two planes on page %1").Replace(int64_t(inPage + 1)));
        itsPageUsed[size_t(inPage)] = true;
        uint32_t c[3];
        for (int k = 2; k < 5; ++k) {
            const int d = DimensionAt(k);
            c[d] = uint32_t(inLinear % itsSizes[d]);
            inLinear /= itsSizes[d];
        }
        itsLayout.planePages[itsLayout.GetPlaneIndex(c[0], c[1], c[2])] = uint32_t(inPage);
    }

    void CheckComplete() const
    {
        const uint32_t sizeC = itsSizes[0], sizeZ = itsSizes[1];
        for (size_t i = 0; i < itsLayout.planePages.size(); ++i)
            if (itsLayout.planePages[i] == kUnmapped)
                Fail(XString("its OME-XML places no page for channel %1, slice %2, timepoint %3")
                        .Replace(int64_t(i % sizeC + 1)).Replace(int64_t(i / sizeC % sizeZ + 1)).Replace(int64_t(i / sizeC / sizeZ + 1)),
                    "The file may be incomplete; import the complete data set.");
    }

private:
    static constexpr uint32_t kUnmapped = std::numeric_limits<uint32_t>::max();
    int DimensionAt(int k) const
    {
        const char d = itsOrder[size_t(k)];
        return d == 'C' ? 0 : d == 'Z' ? 1 : 2;
    }

    std::string itsOrder;
    XTIFFLayout& itsLayout;
    uint32_t itsSizes[3];
    uint64_t itsTotal = 0;
    std::vector<bool> itsPageUsed;
};

void CheckOwnFile(const xmlNode* inTiffData, const XString& inFileName)
{
    const xmlNode* uuid = FindChild(inTiffData, "UUID");
    if (!uuid)
        return;
    const XString file = Attribute(uuid, "FileName");
    if (!file.IsEmpty() && !(file == inFileName))
        Fail(XString("its planes are spread over several files (it refers to \"%1\")").Replace(file),
            "Combine the files into one OME-TIFF or ImageJ hyperstack.");
}

uint64_t ReadTiffDataNumber(const xmlNode* inTiffData, const char* inName, uint64_t inDefault)
{
    const xmlAttr* attribute = FindAttribute(inTiffData, inName);
    if (!attribute)
        return inDefault;
    const XString text = ContentOf(reinterpret_cast<const xmlNode*>(attribute));
    uint64_t value = 0;
    if (!text.Stripped().TryGetUInt64(value))
        Fail(XString("its OME TiffData gives %1 as \"%2\"").Replace(XString(inName)).Replace(text));
    return value;
}

void MapTiffData(const xmlNode* inTiffData, const XString& inFileName, XPlaneMap& inOutMap)
{
    CheckOwnFile(inTiffData, inFileName);
    const bool hasIFD = FindAttribute(inTiffData, "IFD") != nullptr;
    const uint64_t ifd = ReadTiffDataNumber(inTiffData, "IFD", 0);
    const uint64_t first[3] = {ReadTiffDataNumber(inTiffData, "FirstC", 0), ReadTiffDataNumber(inTiffData, "FirstZ", 0),
        ReadTiffDataNumber(inTiffData, "FirstT", 0)};
    for (int d = 0; d < 3; ++d)
        if (first[d] >= inOutMap.GetSize(d))
            Fail("its OME TiffData starts outside the image");
    const uint32_t start32[3] = {uint32_t(first[0]), uint32_t(first[1]), uint32_t(first[2])};
    // Without IFD or PlaneCount, one TiffData covers every plane from its start.
    const uint64_t start = inOutMap.GetLinear(start32);
    const uint64_t planes = ReadTiffDataNumber(inTiffData, "PlaneCount", hasIFD ? 1 : inOutMap.GetTotal() - start);
    if (planes > inOutMap.GetTotal())
        Fail("its OME TiffData maps more planes than the image has");
    for (uint64_t k = 0; k < planes; ++k)
        inOutMap.Place(start + k, ifd + k);
}

void MapPlanes(const xmlNode* inPixels, const XString& inFileName, const std::string& inOrder, XTIFFLayout& inOutLayout)
{
    XPlaneMap map(inOrder, inOutLayout);
    const std::vector<const xmlNode*> tiffData = FindChildren(inPixels, "TiffData");
    if (tiffData.empty())
        for (uint64_t i = 0; i < map.GetTotal(); ++i)
            map.Place(i, i);
    for (const xmlNode* td : tiffData)
        MapTiffData(td, inFileName, map);
    map.CheckComplete();
}

// ---- Calibration, times and channels

void ReadCalibration(const xmlNode* inPixels, XTIFFLayout& inOutLayout)
{
    const char* axes[3] = {"PhysicalSizeX", "PhysicalSizeY", "PhysicalSizeZ"};
    const char* units[3] = {"PhysicalSizeXUnit", "PhysicalSizeYUnit", "PhysicalSizeZUnit"};
    for (int a = 0; a < 3; ++a) {
        double value = 0;
        if (!Attribute(inPixels, axes[a]).TryGetSFloat64(value))
            continue;
        const double perUnit = XOMEMetadata::MicrometresPerUnit(Attribute(inPixels, units[a], "µm"));
        if (perUnit > 0 && XOMEMetadata::IsUsableSize(value * perUnit)) {
            inOutLayout.calibration[a] = value * perUnit;
            inOutLayout.isCalibrated = true;
        }
    }
}

// Per-plane DeltaT, the earliest of each timepoint; empty unless every timepoint has one.
std::vector<double> ReadPlaneDeltas(const xmlNode* inPixels, uint32_t inTimepoints)
{
    std::vector<double> deltas(inTimepoints, std::numeric_limits<double>::quiet_NaN());
    bool any = false;
    for (const xmlNode* plane : FindChildren(inPixels, "Plane")) {
        uint64_t theT = 0;
        double delta = 0;
        const double perDelta = XOMEMetadata::SecondsPerUnit(Attribute(plane, "DeltaTUnit", "s"));
        if (!Attribute(plane, "TheT", "0").TryGetUInt64(theT) || theT >= inTimepoints ||
            !Attribute(plane, "DeltaT").TryGetSFloat64(delta) || !std::isfinite(delta) || perDelta <= 0)
            continue;
        delta *= perDelta;
        if (std::isnan(deltas[theT]) || delta < deltas[theT])
            deltas[theT] = delta;
        any = true;
    }
    if (!any || std::any_of(deltas.begin(), deltas.end(), [](double d) { return std::isnan(d); }))
        deltas.clear();
    return deltas;
}

// Times: per-plane DeltaT when given for every timepoint, else the increment.
void ReadTimes(const xmlNode* inImage, const xmlNode* inPixels, XTIFFLayout& inOutLayout)
{
    double increment = 0;
    const double perTime = XOMEMetadata::SecondsPerUnit(Attribute(inPixels, "TimeIncrementUnit", "s"));
    if (Attribute(inPixels, "TimeIncrement").TryGetSFloat64(increment) && std::isfinite(increment) && increment > 0 && perTime > 0)
        for (uint32_t t = 0; t < inOutLayout.timepointCount; ++t)
            inOutLayout.timepointOffsets.push_back(t * increment * perTime);
    std::vector<double> deltas = ReadPlaneDeltas(inPixels, inOutLayout.timepointCount);
    if (!deltas.empty())
        inOutLayout.timepointOffsets = std::move(deltas);
    if (const xmlNode* date = FindChild(inImage, "AcquisitionDate"))
        inOutLayout.hasStartTime = XOMEMetadata::ParseDateTime(ContentOf(date), inOutLayout.startTime);
}

// A channel's name and colour (a signed 32-bit RGBA number).
XTIFFLayout::XChannelInfo ReadChannel(const xmlNode* inChannel)
{
    XTIFFLayout::XChannelInfo info;
    uint64_t spp = 1;
    if (Attribute(inChannel, "SamplesPerPixel", "1").TryGetUInt64(spp) && spp != 1)
        Fail("its OME channels hold several samples per pixel", "Save the data again with one sample per pixel.");
    info.name = Attribute(inChannel, "Name");
    int64_t colour = 0;
    if (Attribute(inChannel, "Color").Stripped().TryGetSInt64(colour) && colour >= std::numeric_limits<int32_t>::min() &&
        colour <= std::numeric_limits<uint32_t>::max()) {
        const uint32_t rgba = uint32_t(colour);
        info.colour = XARGB32Colour(uint8_t(rgba), uint8_t(rgba >> 24), uint8_t(rgba >> 16), uint8_t(rgba >> 8));
        info.hasColour = true;
    }
    return info;
}

void ReadChannels(const xmlNode* inPixels, XTIFFLayout& inOutLayout)
{
    const std::vector<const xmlNode*> channels = FindChildren(inPixels, "Channel");
    for (uint32_t c = 0; c < inOutLayout.channelCount; ++c)
        inOutLayout.channels.push_back(c < channels.size() ? ReadChannel(channels[c]) : XTIFFLayout::XChannelInfo());
}

} // namespace

void XOMEMetadata::Read(const XString& inXML, const XString& inFileName, uint16_t inBitsPerSample, XTIFFLayout& inOutLayout)
{
    const XDocument doc = ParseDocument(inXML);
    const xmlNode* image = FindDescendant(xmlDocGetRootElement(doc.get()), "Image");
    const xmlNode* pixels = image ? FindChild(image, "Pixels") : nullptr;
    if (!pixels)
        Fail("its OME-XML metadata describes no image");
    ReadSizes(pixels, inOutLayout);
    CheckPixelType(pixels, inBitsPerSample, inOutLayout);
    MapPlanes(pixels, inFileName, ReadDimensionOrder(pixels), inOutLayout);
    ReadCalibration(pixels, inOutLayout);
    ReadTimes(image, pixels, inOutLayout);
    ReadChannels(pixels, inOutLayout);
}

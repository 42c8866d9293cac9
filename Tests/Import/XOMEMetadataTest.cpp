#include "XException.h"
#include "XOMEMetadata.h"

#include <gtest/gtest.h>
#include <string>
#include <utility>

TEST(XOMEMetadata, UnitsDatesAndCounts)
{
    // "\\u00B5m" is how ImageJ escapes µm; 0 stands for a unit that is not a length or a time.
    for (auto [unit, micrometres] : {std::pair{"micron", 1.0}, {" µm ", 1.0}, {"\\u00B5m", 1.0}, {"nm", 1e-3},
                                     {"mm", 1e3}, {"pixel", 0.0}, {"", 0.0}})
        EXPECT_DOUBLE_EQ(XOMEMetadata::MicrometresPerUnit(unit), micrometres) << unit;
    for (auto [unit, seconds] : {std::pair{"", 1.0}, {"ms", 1e-3}, {"min", 60.0}, {"fortnight", 0.0}})
        EXPECT_DOUBLE_EQ(XOMEMetadata::SecondsPerUnit(unit), seconds) << unit;

    XTime t;
    ASSERT_TRUE(XOMEMetadata::ParseDateTime("1970-01-02T00:00:01", t));
    EXPECT_DOUBLE_EQ(t.GetSeconds(), 86401.0);
    ASSERT_TRUE(XOMEMetadata::ParseDateTime("1970-01-02T01:00:01.25+01:00", t));
    EXPECT_DOUBLE_EQ(t.GetSeconds(), 86401.25);
    ASSERT_TRUE(XOMEMetadata::ParseDateTime("1970:01:02 00:00:00", t)); // TIFF DateTime
    EXPECT_DOUBLE_EQ(t.GetSeconds(), 86400.0);
    EXPECT_FALSE(XOMEMetadata::ParseDateTime("yesterday", t));
    EXPECT_FALSE(XOMEMetadata::ParseDateTime("2020-13-01T00:00:00", t));
    EXPECT_FALSE(XOMEMetadata::ParseDateTime("2020-01-01T00:00:nan", t));

    uint32_t n = 0;
    EXPECT_TRUE(XOMEMetadata::ParseCount(" 12 ", n));
    EXPECT_EQ(n, 12u);
    EXPECT_FALSE(XOMEMetadata::ParseCount("0", n));
    EXPECT_FALSE(XOMEMetadata::ParseCount("-3", n));
    EXPECT_FALSE(XOMEMetadata::ParseCount("99999999999", n));
}

namespace {

const char* const kSizes = "SizeZ='2' SizeC='3' SizeT='4'";

// An OME document of one 13 x 7 uint16 image; the sizes and what the Pixels hold vary.
std::string Document(const std::string& inSizes, const std::string& inInside = "", const std::string& inType = "uint16")
{
    return "<OME xmlns='urn:x'><Image><Pixels Type='" + inType + "' SizeX='13' SizeY='7' " + inSizes +
        ">" + inInside + "</Pixels></Image></OME>";
}

// Reads inXML for a file of 24 pages of 13 x 7 16-bit samples; the error text, or "" when read.
std::string ReadError(const std::string& inXML, XTIFFLayout& outLayout)
{
    outLayout = XTIFFLayout();
    outLayout.width = 13;
    outLayout.height = 7;
    outLayout.voxelType = XVoxelType::kGrey16;
    outLayout.pageCount = 24;
    try {
        XOMEMetadata::Read(XString(inXML), "x.ome.tif", 16, outLayout);
    } catch (const XException& e) {
        EXPECT_EQ(e.GetErrorCode(), XException::kUnsupportedFile);
        return e.GetRawErrorMessage().GetStdString();
    }
    return "";
}

} // namespace

TEST(XOMEMetadata, RefusesMalformedHostileAndInconsistentDocuments)
{
    std::string deep, laughs = "<!DOCTYPE OME [<!ENTITY a 'ha'>";
    for (int i = 0; i < 100000; ++i)
        deep += "<a>";
    for (char c = 'b'; c <= 'j'; ++c)
        laughs += std::string("<!ENTITY ") + c + " '&" + char(c - 1) + ";&" + char(c - 1) + ";'>";
    laughs += "]><OME>&j;</OME>";
    const std::pair<std::string, const char*> cases[] = {
        // Well-formedness is the XML library's; these reach its refusals, its depth limit included.
        {"", "malformed"},
        {"<OME><Image></OME></Image>", "malformed"},
        {"<OME>&unknown;</OME>", "malformed"},
        {deep, "malformed"},
        {std::string(XOMEMetadata::kMaxXMLBytes + 1, ' '), "larger than 64 MB"},
        {"<!DOCTYPE OME [<!ENTITY x SYSTEM 'file:///etc/passwd'>]><OME>&x;</OME>", "declares entities"},
        {laughs, "declares entities"},
        {"<OME><Image/></OME>", "describes no image"},
        {Document("SizeZ='0' SizeC='3' SizeT='4'"), "gives SizeZ as \"0\""},
        {Document("SizeZ='2' SizeC='3' SizeT='99999999999'"), "gives SizeT as"},
        {Document(kSizes, "", "int8"), "pixel type \"int8\" cannot be read"},
        {Document(kSizes, "", "uint8"), "declares uint8 pixels but its pages hold 16-bit samples"},
        {Document(std::string(kSizes) + " DimensionOrder='XYCZZ'"), "dimension order \"XYCZZ\""},
        {Document("SizeZ='2' SizeC='3' SizeT='5'"), "announces 30 planes but the file holds 24 pages"},
        {Document("SizeZ='1048576' SizeC='1048576' SizeT='1048576'"), "but the file holds 24 pages"},
        {Document(kSizes, "<TiffData IFD='24'/>"), "places plane 1 on page 25"},
        {Document(kSizes, "<TiffData IFD='3'/><TiffData IFD='3' FirstC='1'/>"), "two planes on page 4"},
        {Document(kSizes, "<TiffData FirstZ='2'/>"), "starts outside the image"},
        {Document(kSizes, "<TiffData IFD='-1'/>"), "gives IFD as \"-1\""},
        {Document(kSizes, "<TiffData PlaneCount='25'/>"), "maps more planes than the image has"},
        {Document(kSizes, "<TiffData IFD='0' PlaneCount='23'/>"), "no page for channel 3, slice 2, timepoint 4"},
        {Document(kSizes, "<TiffData><UUID FileName='y.ome.tif'/></TiffData>"), "spread over several files"},
        {Document(kSizes, "<Channel SamplesPerPixel='3'/>"), "several samples per pixel"},
    };
    XTIFFLayout layout;
    for (const auto& [xml, expected] : cases)
        EXPECT_NE(ReadError(xml, layout).find(expected), std::string::npos)
            << xml.substr(0, 200) << "\n gave: " << ReadError(xml, layout);
}

TEST(XOMEMetadata, IgnoresPrefixesAndDecodesReferencesAndCharacterData)
{
    const std::string xml = "\xEF\xBB\xBF<?xml version='1.0'?>\n<!DOCTYPE OME>\n<!-- by hand -->"
        "<ome:OME xmlns:ome='urn:x'><ome:Image><AcquisitionDate><![CDATA[1970-01-02T00:00:01]]></AcquisitionDate>"
        "<ome:Pixels ome:Type='uint16' SizeX='13' SizeY='7' SizeZ='2' SizeC='3' SizeT='4' DimensionOrder='xyzct'"
        " PhysicalSizeX='65' PhysicalSizeXUnit='nm'>"
        "<Channel Name='A &amp; B &lt;1&gt; &#181;m &#x3bc;' Color='-16776961'/><ome:Channel Name='second'/>"
        "<TiffData IFD='0' PlaneCount='24'/></ome:Pixels></ome:Image></ome:OME>";
    XTIFFLayout layout;
    ASSERT_EQ(ReadError(xml, layout), "");
    EXPECT_EQ(layout.channelCount, 3u);
    EXPECT_EQ(layout.sliceCount, 2u);
    EXPECT_EQ(layout.timepointCount, 4u);
    ASSERT_EQ(layout.channels.size(), 3u);
    EXPECT_EQ(layout.channels[0].name, "A & B <1> µm μ");
    EXPECT_TRUE(layout.channels[0].hasColour);
    EXPECT_EQ(layout.channels[0].colour, XARGB32Colour::kRed);
    EXPECT_EQ(layout.channels[1].name, "second");
    EXPECT_FALSE(layout.channels[2].hasColour);
    EXPECT_DOUBLE_EQ(layout.calibration[0], 0.065);
    ASSERT_TRUE(layout.hasStartTime);
    EXPECT_DOUBLE_EQ(layout.startTime.GetSeconds(), 86401.0);
    // Z varies fastest: page 1 holds channel 1, slice 2; page 2 holds channel 2, slice 1.
    EXPECT_EQ(layout.planePages[layout.GetPlaneIndex(0, 1, 0)], 1u);
    EXPECT_EQ(layout.planePages[layout.GetPlaneIndex(1, 0, 0)], 2u);
}

TEST(XOMEMetadata, ReadsTheTextAsUTF8WhateverEncodingItDeclares)
{
    for (const char* encoding : {"UTF-8", "ISO-8859-1", "UCS-4", "no-such-encoding"}) {
        const std::string xml = std::string("<?xml version='1.0' encoding='") + encoding + "'?>" +
            Document(kSizes, "<Channel Name='\xC2\xB5m'/>");
        XTIFFLayout layout;
        ASSERT_EQ(ReadError(xml, layout), "") << encoding;
        EXPECT_EQ(layout.channels[0].name, "µm") << encoding;
    }
    XTIFFLayout layout;
    EXPECT_NE(ReadError(Document(kSizes, "<Channel Name='\xB5m'/>"), layout).find("malformed"), std::string::npos);
}

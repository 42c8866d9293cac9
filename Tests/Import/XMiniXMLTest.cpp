#include "XException.h"
#include "XMiniXML.h"

#include <gtest/gtest.h>

TEST(XMiniXML, ReadsElementsAttributesTextAndEntities)
{
    auto root = XMiniXML::Parse(
        "\xEF\xBB\xBF<?xml version=\"1.0\"?>\n<!-- made by hand -->\n"
        "<ome:OME xmlns:ome=\"urn:x\"><ome:Image ID='Image:0'>"
        "<AcquisitionDate>2024-05-06T07:08:09</AcquisitionDate>"
        "<Pixels SizeX=\"4\" ome:Type=\"uint16\"><Channel Name=\"A &amp; B &lt;1&gt; &#181;m &#x3bc;\"/>"
        "<Channel Name=\"second\"/><![CDATA[<raw & text>]]></Pixels></ome:Image></ome:OME>");
    ASSERT_TRUE(root);
    EXPECT_EQ(root->GetLocalName(), "OME");
    EXPECT_EQ(root->name, "ome:OME");
    const XMiniXML::XElement* pixels = root->FindDescendant("Pixels");
    ASSERT_TRUE(pixels);
    EXPECT_EQ(pixels->GetAttribute("SizeX"), "4");
    EXPECT_EQ(pixels->GetAttribute("Type"), "uint16"); // prefix ignored
    EXPECT_EQ(pixels->GetAttribute("SizeY", "none"), "none");
    EXPECT_EQ(pixels->text, "<raw & text>");
    auto channels = pixels->FindChildren("Channel");
    ASSERT_EQ(channels.size(), 2u);
    EXPECT_EQ(channels[0]->GetAttribute("Name"), "A & B <1> µm μ");
    EXPECT_EQ(channels[1]->GetAttribute("Name"), "second");
    EXPECT_EQ(root->FindDescendant("Image")->FindChild("AcquisitionDate")->text, "2024-05-06T07:08:09");
    EXPECT_EQ(root->FindDescendant("Image")->GetAttribute("ID"), "Image:0");
    EXPECT_EQ(root->FindDescendant("Plane"), nullptr);
}

TEST(XMiniXML, RefusesMalformedAndHostileDocuments)
{
    auto refused = [](const std::string& inText) {
        try {
            XMiniXML::Parse(XString(inText));
        } catch (const XException& e) {
            return e.GetErrorCode() == XException::kStreamCorrupt;
        }
        return false;
    };
    for (const char* text : {"", "just text", "<a><b></a></b>", "<a>", "<a x=1/>", "<a x=\"1/>", "<a>&unknown;</a>",
                             "<a>&#0;</a>", "<a>&#xD800;</a>", "<a>&#99999999999;</a>", "<a/><b/>",
                             "<!DOCTYPE a [<!ENTITY x \"boom\">]><a>&x;</a>"})
        EXPECT_TRUE(refused(text)) << text;
    // Deep nesting is stopped before it can exhaust the stack.
    std::string deep;
    for (int i = 0; i < 100000; ++i)
        deep += "<a>";
    EXPECT_TRUE(refused(deep));
    EXPECT_FALSE(refused("<!DOCTYPE a><a/>"));
}

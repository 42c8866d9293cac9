#include "XChannelShadeSpecification.h"
#include "XDataPlaceholder.h"
#include "XDataVolumeSequence.h"
#include "XDBGetSample.h"
#include "XException.h"
#include "XSampleDB.h"
#include "XSamplePrefsSaver.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {
XChannelShadeSpecification MakeSpec()
{
    XChannelShadeSpecification shading;
    shading.SetChannel(3);
    shading.SetVisible(false);
    shading.SetChannelType(XChannelShadeSpecification::kTransmittedChannel);
    shading.SetShaderModel(XChannelShadeSpecification::kGlass);
    shading.SetColour(XARGB32Colour(200, 10, 20, 30));
    shading.SetProperty(XChannelShadeSpecification::kOpacity, 0.25f);
    shading.SetProperty(XChannelShadeSpecification::kThreshold, -1234.5f);
    shading.SetProperty(XChannelShadeSpecification::kGamma, 1e-30f);
    return shading;
}

class ShadeSpecPrefs : public ::testing::Test {
protected:
    void SetUp() override
    {
        XSampleDB::GetDB().Clear();
        itsPlaceholder = XSampleDB::GetDB().AddSample(std::make_unique<XDataPlaceholder>());
    }
    void TearDown() override { XSampleDB::GetDB().Clear(); }
    uint32_t itsPlaceholder = 0;
};
} // namespace

// Every field round trips under the entry of its index, in the preferences of each
// channel's placeholder, which go with the sequence.
TEST_F(ShadeSpecPrefs, RoundTripsEveryFieldUnderItsIndexedKeyAndChannel)
{
    const uint32_t id = XSampleDB::GetDB().AddSample(std::make_unique<XDataVolumeSequence>(2, 1));
    XDBGetSample<XDataVolumeSequence> s(id);
    const uint32_t p1 = s.Get().GetChannelPlaceholder(1), p2 = s.Get().GetChannelPlaceholder(2);
    XChannelShadeSpecification one = MakeSpec();
    one.SetChannel(1);
    XChannelShadeSpecification two = MakeSpec();
    two.SetShaderModel(XChannelShadeSpecification::kMetal);
    one.WriteToSamplePrefs(7, p1);
    two.WriteToSamplePrefs(7, p2);
    EXPECT_TRUE(XSamplePrefsSaver(p1).EntryExists("VRShadeSpecs", "ChannelShadeSpec7"));
    EXPECT_FALSE(XSamplePrefsSaver(p1).EntryExists("VRShadeSpecs", "ChannelShadeSpec0"));

    XChannelShadeSpecification read;
    ASSERT_TRUE(read.ReadFromSamplePrefs(7, p1));
    EXPECT_EQ(read, one);
    ASSERT_TRUE(read.ReadFromSamplePrefs(7, p2));
    EXPECT_EQ(read, two);
    // Another index is another entry; a missing one leaves the object alone.
    XChannelShadeSpecification untouched = MakeSpec();
    untouched.SetChannel(9);
    EXPECT_FALSE(untouched.ReadFromSamplePrefs(0, p1));
    EXPECT_EQ(untouched.GetChannel(), 9u);

    XSampleDB::GetDB().RemoveSample(id);
    EXPECT_FALSE(XSamplePrefsSaver(p1).EntryExists("VRShadeSpecs", "ChannelShadeSpec7"));
    EXPECT_THROW(one.WriteToSamplePrefs(7, p1), XException);
}

TEST_F(ShadeSpecPrefs, DamagedEntriesThrowAndLeaveTheObjectUnchanged)
{
    const XString good = MakeSpec().Encode();
    XString withExtraByte = good + "00";
    const std::vector<XString> damaged = {
        XString(),                          // empty
        good.Mid(0, good.GetLength() - 2),  // truncated
        withExtraByte,                      // trailing bytes
        XString("zz") + good.Mid(2),        // not hexadecimal
        good.Mid(1),                        // odd digit count
        XString("02000000") + good.Mid(8),  // a newer version
        good.Mid(0, 8 + 8) + "07" + good.Mid(18), // visible flag neither 0 nor 1
        good.Mid(0, 42) + "FFFFFFFF",       // a property count far beyond the data
    };
    XSamplePrefsSaver prefs(itsPlaceholder);
    for (const XString& text : damaged) {
        prefs.WriteString("VRShadeSpecs", "ChannelShadeSpec0", text);
        XChannelShadeSpecification shading;
        shading.SetChannel(42);
        EXPECT_THROW(shading.ReadFromSamplePrefs(0, itsPlaceholder), XException) << text;
        EXPECT_EQ(shading.GetChannel(), 42u) << text;
        EXPECT_TRUE(shading.GetProperties().empty()) << text;
    }

    // An entry of another width is damaged data too, not a default shading.
    prefs.Write32("VRShadeSpecs", "ChannelShadeSpec0", 5);
    XChannelShadeSpecification shading;
    EXPECT_THROW(shading.ReadFromSamplePrefs(0, itsPlaceholder), XException);
}

TEST(ShadeSpec, RefusesNaNAndDuplicateProperties)
{
    XChannelShadeSpecification shading;
    EXPECT_THROW(shading.SetProperty(XChannelShadeSpecification::kOpacity, std::nanf("")), XException);
    EXPECT_FALSE(shading.IsProperty(XChannelShadeSpecification::kOpacity));

    shading.SetProperty(XChannelShadeSpecification::kOpacity, 0.5f);
    shading.SetProperty(XChannelShadeSpecification::kDensity, 2.0f);
    const XString text = shading.Encode();
    // Make the second stored property id equal the first one.
    const size_t firstId = text.GetLength() - 32;
    const XString duplicated = text.Mid(0, firstId + 16) + text.Mid(firstId, 8) + text.Mid(firstId + 24);
    EXPECT_THROW(XChannelShadeSpecification::Decode(duplicated), XException);
    EXPECT_EQ(XChannelShadeSpecification::Decode(text), shading);
}

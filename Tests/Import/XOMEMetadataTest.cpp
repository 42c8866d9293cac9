#include "XOMEMetadata.h"

#include <gtest/gtest.h>

TEST(XOMEMetadata, UnitsDatesAndCounts)
{
    EXPECT_DOUBLE_EQ(XOMEMetadata::MicrometresPerUnit("micron"), 1.0);
    EXPECT_DOUBLE_EQ(XOMEMetadata::MicrometresPerUnit(" µm "), 1.0);
    EXPECT_DOUBLE_EQ(XOMEMetadata::MicrometresPerUnit("\\u00B5m"), 1.0); // as ImageJ escapes it
    EXPECT_DOUBLE_EQ(XOMEMetadata::MicrometresPerUnit("nm"), 1e-3);
    EXPECT_DOUBLE_EQ(XOMEMetadata::MicrometresPerUnit("mm"), 1e3);
    EXPECT_EQ(XOMEMetadata::MicrometresPerUnit("pixel"), 0.0);
    EXPECT_EQ(XOMEMetadata::MicrometresPerUnit(""), 0.0);
    EXPECT_DOUBLE_EQ(XOMEMetadata::SecondsPerUnit(""), 1.0);
    EXPECT_DOUBLE_EQ(XOMEMetadata::SecondsPerUnit("ms"), 1e-3);
    EXPECT_DOUBLE_EQ(XOMEMetadata::SecondsPerUnit("min"), 60.0);
    EXPECT_EQ(XOMEMetadata::SecondsPerUnit("fortnight"), 0.0);

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
    EXPECT_FALSE(XOMEMetadata::IsUsableSize(0.0));
    EXPECT_FALSE(XOMEMetadata::IsUsableSize(std::nan("")));
    EXPECT_TRUE(XOMEMetadata::IsUsableSize(0.065));
}

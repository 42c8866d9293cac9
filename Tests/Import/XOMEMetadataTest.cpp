#include "XOMEMetadata.h"

#include <gtest/gtest.h>
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
    EXPECT_FALSE(XOMEMetadata::IsUsableSize(0.0));
    EXPECT_FALSE(XOMEMetadata::IsUsableSize(std::nan("")));
    EXPECT_TRUE(XOMEMetadata::IsUsableSize(0.065));
}

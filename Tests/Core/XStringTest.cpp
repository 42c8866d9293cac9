#include "XException.h"
#include "XErrorCode.h"
#include "XString.h"

#include <gtest/gtest.h>

TEST(XString, ReplaceFillsPlaceholdersInOrder)
{
    XString s("%2 of %1, again %1");
    EXPECT_EQ(s.Replace(XString("one")).Replace(XString("two")), "two of one, again one");
    EXPECT_EQ(XString("1 Unit = %1 µm").Replace(0.5), "1 Unit = 0.5 µm");
    // "%10" is its own placeholder, not "%1" followed by "0".
    XString many("%1-%10");
    EXPECT_EQ(many.Replace(XString("a")), "a-%10");
    EXPECT_EQ(many.Replace(XString("b")), "a-b");
    EXPECT_EQ(XString("no placeholders").Replace(XString("x")), "no placeholders");
}

TEST(XString, NumberConversionsRejectJunkAndKnowUTF8)
{
    EXPECT_DOUBLE_EQ(XString(" 1.25 ").GetSFloat64(), 1.25);
    EXPECT_EQ(XString("-42").GetSInt32(), -42);
    EXPECT_EQ(XString("4294967295").GetUInt32(), 4294967295u);
    EXPECT_THROW(XString("4294967296").GetUInt32(), XException);
    EXPECT_THROW(XString("-1").GetUInt64(), XException);
    EXPECT_THROW(XString("12abc").GetSInt64(), XException);
    EXPECT_THROW(XString("").GetSFloat64(), XException);
    EXPECT_TRUE(Throws([] { XString("pear").GetSFloat64(); }, XException::kBadNumber, "pear"));
    double d = 0;
    EXPECT_TRUE(XString(XString::FromFloat64(0.1)).TryGetSFloat64(d));
    EXPECT_EQ(d, 0.1);

    XString micro("µm");
    EXPECT_EQ(micro.GetLength(), 3u);
    EXPECT_EQ(micro.GetCharacterCount(), 2u);
    EXPECT_TRUE(micro.IsValidUTF8());
    EXPECT_FALSE(XString(std::string("\xC3", 1)).IsValidUTF8());
}

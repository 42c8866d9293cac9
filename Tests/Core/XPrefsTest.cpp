#include "XException.h"
#include "XPrefsTable.h"
#include "XSessionLogManager.h"
#include "XStream.h"
#include "XTestEnvironment.h"
#include "XUserPrefsSaver.h"

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <limits>
#include <iterator>
#include <sys/stat.h>
#include <unistd.h>

namespace {
std::string ReadFile(const std::string& inPath)
{
    std::ifstream in(inPath, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFile(const std::string& inPath, const std::string& inText)
{
    std::ofstream(inPath, std::ios::binary) << inText;
}

// Each test gets a preferences file of its own and a store that has read it afresh.
class UserPrefs : public ::testing::Test {
protected:
    void SetUp() override
    {
        itsOldPath = std::getenv("KESTRIN_PREFS_FILE");
        itsDir = XTestEnvironment::MakeTempDir("prefs");
        itsPath = itsDir + "/prefs";
        setenv("KESTRIN_PREFS_FILE", itsPath.c_str(), 1);
    }
    void TearDown() override
    {
        setenv("KESTRIN_PREFS_FILE", itsOldPath.c_str(), 1);
        XUserPrefsSaver::Reload();
    }
    std::string itsOldPath;
    std::string itsDir;
    std::string itsPath;
};

const XString kOddSection("Sec [tion] = one\nline two");
const XString kOddKey("  key=%41 #not a comment\t µm [x]  ");
} // namespace

TEST(PrefsTable, EncodesAnyNameAndWidthAndRefusesDamage)
{
    XPrefsTable table;
    table.Set(kOddSection, kOddKey, XPrefsTable::XValue(std::in_place_type<XString>, XString("a=b\n[c]%")));
    table.Set("Volume", "Floor Position", XPrefsTable::XValue(std::in_place_type<float>, 1.2f));
    table.Set("Volume", "Tiny", XPrefsTable::XValue(std::in_place_type<float>, std::numeric_limits<float>::denorm_min()));
    table.Set("Volume", "Floor Colour", XPrefsTable::XValue(std::in_place_type<XARGB32Colour>, XARGB32Colour(255, 51, 51, 51)));
    table.Set("Volume", "Show Floor", XPrefsTable::XValue(std::in_place_type<uint8_t>, uint8_t(255)));
    table.Set("Volume", "Pattern", XPrefsTable::XValue(std::in_place_type<uint32_t>, 0xFFFFFFFFu));
    table.Set("", "", XPrefsTable::XValue(std::in_place_type<uint8_t>, uint8_t(0)));
    table.Set("Bytes", XString(std::string("\xC3 half a character")), XPrefsTable::XValue(std::in_place_type<uint8_t>, uint8_t(1)));
    const std::string text = table.Encode();
    EXPECT_EQ(XPrefsTable::Decode(text), table);
    EXPECT_EQ(table.GetEntryCount(), 8u);

    // Hand edits with CRLF line ends and comments still read.
    const XPrefsTable edited = XPrefsTable::Decode("# mine\r\n[A b]\r\nk=u32:7\r\n\r\n");
    ASSERT_NE(edited.Find("A b", "k"), nullptr);
    EXPECT_EQ(std::get<uint32_t>(*edited.Find("A b", "k")), 7u);

    for (const char* damaged : {"k=u8:1\n", "[open\n", "[s]\nno equals\n", "[s]\nk=u8:256\n", "[s]\nk=u32:-1\n",
                                "[s]\nk=f:1.5x\n", "[s]\nk=c:FF00\n", "[s]\nk=q:1\n", "[s]\nk=s:%G1\n",
                                "[s]\nk=u8:\n"})
        EXPECT_THROW(XPrefsTable::Decode(damaged), XException) << damaged;
}

TEST_F(UserPrefs, DefaultsWidthsAndANewStore)
{
    XUserPrefsSaver::Reload();
    XUserPrefsSaver prefs;
    EXPECT_EQ(prefs.Read8Defaulted("Scene", "Show Floor", 1), 1);
    EXPECT_FALSE(std::filesystem::exists(itsPath)); // reading creates nothing

    prefs.Write8("Scene", "Show Floor", 0);
    prefs.Write32("Scene", "Floor Pattern", 3);
    prefs.WriteFloat("Scene", "Floor Position", -0.1f);
    prefs.WriteColour("Scene", "Floor Colour", XARGB32Colour(255, 51, 52, 53));
    prefs.WriteString(kOddSection, kOddKey, "µm\nvalue");
    // Another width reads as the default rather than a reinterpreted value.
    EXPECT_EQ(prefs.Read32Defaulted("Scene", "Show Floor", 77), 77u);
    EXPECT_EQ(prefs.Read8Defaulted("Scene", "Floor Pattern", 5), 5);
    EXPECT_EQ(prefs.ReadStringDefaulted("Scene", "Floor Colour", "none"), "none");

    // A fresh store reads what was saved.
    XUserPrefsSaver::Reload();
    XUserPrefsSaver fresh;
    EXPECT_EQ(fresh.Read8Defaulted("Scene", "Show Floor", 1), 0);
    EXPECT_EQ(fresh.Read32Defaulted("Scene", "Floor Pattern", 1), 3u);
    EXPECT_EQ(fresh.ReadFloatDefaulted("Scene", "Floor Position", 1.2f), -0.1f);
    EXPECT_EQ(fresh.ReadColourDefaulted("Scene", "Floor Colour", XARGB32Colour::kBlack), XARGB32Colour(255, 51, 52, 53));
    EXPECT_EQ(fresh.ReadStringDefaulted(kOddSection, kOddKey, ""), "µm\nvalue");

    EXPECT_TRUE(fresh.RemoveEntry("Scene", "Show Floor"));
    XUserPrefsSaver::Reload();
    EXPECT_FALSE(XUserPrefsSaver().EntryExists("Scene", "Show Floor"));
    EXPECT_TRUE(XUserPrefsSaver().EntryExists("Scene", "Floor Pattern"));
}

TEST_F(UserPrefs, DamagedFileIsLoggedReadAsEmptyAndKeptUntilASave)
{
    const std::string garbage = "[Scene]\nShow Floor=u8:1\n\x01\x02 not a preference\n";
    WriteFile(itsPath, garbage);
    XSessionLogManager::GetManager()->ClearEntries();
    XUserPrefsSaver::Reload();
    XUserPrefsSaver prefs;
    EXPECT_FALSE(prefs.EntryExists("Scene", "Show Floor"));
    EXPECT_EQ(prefs.Read8Defaulted("Scene", "Show Floor", 9), 9);
    EXPECT_EQ(XSessionLogManager::GetManager()->FindEntries(XString(itsPath)).size(), 1u);
    EXPECT_EQ(ReadFile(itsPath), garbage); // reading leaves it alone

    prefs.Write8("Scene", "Show Time", 1);
    EXPECT_EQ(ReadFile(itsPath + ".corrupt"), garbage);
    XUserPrefsSaver::Reload();
    EXPECT_EQ(XUserPrefsSaver().Read8Defaulted("Scene", "Show Time", 0), 1);
    EXPECT_EQ(XSessionLogManager::GetManager()->FindEntries(XString(itsPath)).size(), 1u); // the new file reads cleanly
}

TEST_F(UserPrefs, UnreadablePathsReadAsEmpty)
{
    std::filesystem::create_directories(itsPath); // a folder where the file should be
    XSessionLogManager::GetManager()->ClearEntries();
    XUserPrefsSaver::Reload();
    EXPECT_EQ(XUserPrefsSaver().Read32Defaulted("A", "B", 12), 12u);
    EXPECT_FALSE(XSessionLogManager::GetManager()->FindEntries(XString(itsPath)).empty());
    // The first save keeps what was there aside and writes a real file.
    XUserPrefsSaver().Write32("A", "B", 13);
    EXPECT_TRUE(std::filesystem::is_directory(itsPath + ".corrupt"));
    XUserPrefsSaver::Reload();
    EXPECT_EQ(XUserPrefsSaver().Read32Defaulted("A", "B", 12), 13u);
}

TEST_F(UserPrefs, FailedSavesAreLoggedAndKeepTheValueForTheRun)
{
    // The preferences file's folder is a file, so nothing can be saved below it.
    WriteFile(itsDir + "/blocker", "x");
    setenv("KESTRIN_PREFS_FILE", (itsDir + "/blocker/prefs").c_str(), 1);
    XUserPrefsSaver::Reload();
    XSessionLogManager::GetManager()->ClearEntries();
    XUserPrefsSaver().Write32("A", "B", 13);
    EXPECT_EQ(XUserPrefsSaver().Read32Defaulted("A", "B", 12), 13u);
    EXPECT_EQ(XSessionLogManager::GetManager()->FindEntries("could not be saved").size(), 1u);
    EXPECT_EQ(ReadFile(itsDir + "/blocker"), "x");
}

TEST_F(UserPrefs, SavesReplaceTheFileRatherThanRewriteIt)
{
    XUserPrefsSaver::Reload();
    XUserPrefsSaver prefs;
    prefs.Write8("S", "k", 1);
    const std::string before = ReadFile(itsPath);
    // A second name for the old file: an in-place rewrite would change it too.
    ASSERT_EQ(::link(itsPath.c_str(), (itsDir + "/old").c_str()), 0);
    prefs.Write8("S", "k", 2);
    EXPECT_EQ(ReadFile(itsDir + "/old"), before);
    EXPECT_NE(ReadFile(itsPath), before);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(itsDir), std::filesystem::directory_iterator()), 2)
        << "nothing is left behind but the two names";
}

TEST_F(UserPrefs, PathFollowsTheEnvironment)
{
    EXPECT_EQ(XUserPrefsSaver::GetPrefsFilePath(), XString(itsPath));
    unsetenv("KESTRIN_PREFS_FILE");
    const std::string oldConfig = std::getenv("XDG_CONFIG_HOME") ? std::getenv("XDG_CONFIG_HOME") : "";
    setenv("XDG_CONFIG_HOME", itsDir.c_str(), 1);
    EXPECT_EQ(XUserPrefsSaver::GetPrefsFilePath(), XString(itsDir + "/kestrin/prefs"));
    XUserPrefsSaver::Reload();
    XUserPrefsSaver().Write8("S", "k", 1);
    EXPECT_TRUE(std::filesystem::exists(itsDir + "/kestrin/prefs"));
    setenv("XDG_CONFIG_HOME", oldConfig.c_str(), 1);
}

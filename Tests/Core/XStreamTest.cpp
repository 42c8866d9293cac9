#include "XException.h"
#include "XStream.h"
#include "XTestEnvironment.h"
#include "XErrorCode.h"

#include <cmath>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <iterator>
#include <limits>

namespace {
long CountEntries(const std::string& inDir)
{
    return std::distance(std::filesystem::directory_iterator(inDir), std::filesystem::directory_iterator());
}
} // namespace

TEST(XStream, RoundTripsEveryWidthLittleEndianAndCountsWithoutKeeping)
{
    XStream s;
    s.Write8(0xAB);
    s.Write16(0xBEEF);
    s.Write32(0xDEADBEEF);
    s.Write64(0x0123456789ABCDEFull);
    s.WriteFloat32S(-1.5f);
    s.WriteFloat64S(std::numeric_limits<double>::denorm_min());
    s.WriteFloat32S(std::numeric_limits<float>::infinity());
    s.WriteVersion(0x00023B00);
    ASSERT_EQ(s.GetSize(), 1u + 2 + 4 + 8 + 4 + 8 + 4 + 4);
    // Little-endian on every host.
    EXPECT_EQ(std::vector<uint8_t>(s.GetBuffer().begin() + 1, s.GetBuffer().begin() + 7),
              (std::vector<uint8_t>{0xEF, 0xBE, 0xEF, 0xBE, 0xAD, 0xDE}));
    EXPECT_EQ(s.Read8(), 0xAB);
    EXPECT_EQ(s.Read16(), 0xBEEF);
    EXPECT_EQ(s.Read32(), 0xDEADBEEFu);
    EXPECT_EQ(s.Read64(), 0x0123456789ABCDEFull);
    EXPECT_EQ(s.ReadFloat32S(), -1.5f);
    EXPECT_EQ(s.ReadFloat64S(), std::numeric_limits<double>::denorm_min());
    EXPECT_TRUE(std::isinf(s.ReadFloat32S()));
    EXPECT_EQ(s.ReadVersion(), 0x00023B00u);
    EXPECT_EQ(s.GetBytesLeft(), 0u);

    XStream counter(XStream::kCountOnly);
    counter.Write8(1);
    counter.WriteString("four");
    counter.Write64(0);
    EXPECT_EQ(counter.GetSize(), 1u + 4 + 4 + 8);
    EXPECT_TRUE(counter.GetBuffer().empty());
    EXPECT_EQ(CodeOf([&] { counter.Read8(); }), XException::kStreamEnded);
}

TEST(XStream, RoundTripsStringsAndBytes)
{
    XStream s;
    // Text comes back byte for byte, UTF-8 or not, so whatever was written can be read.
    const XString texts[] = {XString(), XString("1 Unit = %1 µm"), XString(std::string("a\0b", 3)),
                             XString(std::string("\xFF\xFEok")), XString(std::string(70000, 'x'))};
    for (const XString& t : texts)
        s.WriteString(t);
    const uint8_t raw[] = {1, 2, 3};
    s.WriteBytes(raw, 3);
    for (const XString& t : texts)
        EXPECT_EQ(s.ReadString(), t);
    uint8_t back[3] = {};
    s.ReadBytes(back, 3);
    EXPECT_EQ(back[2], 3);
    EXPECT_EQ(s.GetBytesLeft(), 0u);
}

TEST(XStream, TruncatedAndHostileStreamsThrowBeforeAllocating)
{
    XStream s;
    s.Write16(7);
    XStream copy(s.GetBuffer());
    EXPECT_TRUE(Throws([&] { copy.Read32("the keyframe count"); }, XException::kStreamEnded, "the keyframe count"));
    EXPECT_EQ(copy.GetPosition(), 0u); // a failed read leaves the position where it was
    EXPECT_EQ(copy.Read16(), 7);
    for (auto read : std::vector<std::function<void()>>{
             [&] { copy.Read8(); }, [&] { copy.Read64(); }, [&] { copy.ReadFloat64S(); },
             [&] { copy.ReadString(); }, [&] { uint8_t b; copy.ReadBytes(&b, 1); }})
        EXPECT_EQ(CodeOf(read), XException::kStreamEnded);

    XStream hostile;
    hostile.Write32(0xFFFFFFFF); // a string "length" of 4 GB with 2 bytes behind it
    hostile.Write16(0);
    EXPECT_EQ(CodeOf([&] { hostile.ReadString(); }), XException::kStreamCorrupt);
    XStream c;
    c.Write32(1000); // 1000 elements of 8 bytes, 16 bytes present
    c.Write64(1);
    c.Write64(2);
    EXPECT_EQ(CodeOf([&] { c.ReadCount(8, "the sequence count"); }), XException::kStreamCorrupt);
    XStream exact; // exactly enough
    exact.Write32(2);
    exact.Write64(1);
    exact.Write64(2);
    EXPECT_EQ(exact.ReadCount(8), 2u);
    EXPECT_EQ(CodeOf([&] { s.SetPosition(s.GetSize() + 1); }), XException::kBadArgument);
}

TEST(XStream, FilesAreReplacedWholeAndTooLargeFilesRefused)
{
    const std::string dir = XTestEnvironment::MakeTempDir("stream-files");
    const XString path(dir + "/sub/data.bin");
    XStream s;
    s.WriteString("first");
    s.SaveToFile(path); // creates the missing folder
    XStream second;
    second.WriteString("second version");
    second.SaveToFile(path);
    XStream loaded = XStream::LoadFromFile(path);
    EXPECT_EQ(loaded.ReadString(), "second version");
    EXPECT_EQ(loaded.GetBytesLeft(), 0u);
    EXPECT_EQ(CountEntries(dir + "/sub"), 1) << "nothing is left beside the file";

    EXPECT_EQ(CodeOf([&] { XStream::LoadFromFile(path, 4); }), XException::kFileError);
    EXPECT_EQ(CodeOf([&] { XStream::LoadFromFile(XString(dir + "/missing")); }), XException::kFileError);
    EXPECT_EQ(CodeOf([&] { XStream::LoadFromFile(XString(dir)); }), XException::kFileError);

    // A save that cannot replace its target throws and leaves nothing behind.
    const std::string blocked = dir + "/blocked";
    std::filesystem::create_directories(blocked + "/child");
    EXPECT_EQ(CodeOf([&] { s.SaveToFile(XString(blocked)); }), XException::kFileError);
    EXPECT_TRUE(std::filesystem::is_directory(blocked + "/child"));
    EXPECT_EQ(CountEntries(dir), 2); // sub and blocked
}

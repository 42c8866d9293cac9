#include "XARGB32Volume.h"
#include "XBGRA32Volume.h"
#include "XErrorCode.h"
#include "XException.h"
#include "XGrey16Volume.h"
#include "XGrey8Volume.h"
#include "XPNGFile.h"
#include "XTestEnvironment.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {
std::string TempFile(const std::string& inName)
{
    static const std::string dir = XTestEnvironment::MakeTempDir("png");
    return dir + "/" + inName;
}

// Writes plane inPlane of inVolume as a PNG file and reads it back.
std::unique_ptr<XVolume> WriteAndRead(const XVolume& inVolume, const std::string& inName, int32_t inPlane = 0)
{
    XPNGFile::Write(TempFile(inName), inVolume, inPlane);
    return XPNGFile::Read(TempFile(inName));
}
} // namespace

TEST(XPNGFile, ColourAndGreyPlanesRoundTrip)
{
    // Plane 1 of a BGRA volume, with partly transparent pixels.
    XBGRA32Volume bgra(5, 3, 2);
    for (int32_t y = 0; y < 3; ++y)
        for (int32_t x = 0; x < 5; ++x)
            bgra.SetVoxel(x, y, 1, XBGRA32Colour(uint8_t(x * 50), uint8_t(y * 100), uint8_t(x + y), uint8_t(255 - x * 40)));
    std::unique_ptr<XVolume> colour = WriteAndRead(bgra, "colour.png", 1);
    ASSERT_EQ(colour->GetVoxelType(), XVoxelType::kARGB32);
    ASSERT_EQ(colour->GetBounds(), X3DRect(0, 0, 0, 5, 3, 1));
    auto& argb = static_cast<XARGB32Volume&>(*colour);
    for (int32_t y = 0; y < 3; ++y)
        for (int32_t x = 0; x < 5; ++x)
            EXPECT_EQ(argb.GetVoxel(x, y), bgra.GetVoxel(x, y, 1).ToARGB32()) << x << ", " << y;

    XARGB32Volume direct(2, 2, 1);
    direct.SetVoxel(1, 0, XARGB32Colour(255, 1, 2, 3));
    auto back = WriteAndRead(direct, "argb.png");
    EXPECT_EQ(static_cast<XARGB32Volume&>(*back).GetVoxel(1, 0), XARGB32Colour(255, 1, 2, 3));

    XGrey8Volume grey(4, 4, 1);
    for (int32_t i = 0; i < 16; ++i)
        grey.SetVoxel(i % 4, i / 4, uint8_t(i * 16));
    std::unique_ptr<XVolume> g = WriteAndRead(grey, "grey.png");
    ASSERT_EQ(g->GetVoxelType(), XVoxelType::kGrey8);
    EXPECT_EQ(static_cast<XGrey8Volume&>(*g).GetVoxel(3, 2), uint8_t(11 * 16));

    // 16-bit planes are written as their displayed grey.
    XGrey16Volume deep(2, 1, 1);
    deep.SetVoxel(0, 0, uint16_t(65535));
    auto d = WriteAndRead(deep, "deep.png");
    EXPECT_EQ(static_cast<XGrey8Volume&>(*d).GetVoxel(0, 0), 255);
    EXPECT_EQ(static_cast<XGrey8Volume&>(*d).GetVoxel(1, 0), 0);
}

TEST(XPNGFile, FailuresNameTheFileAndLeaveNothingBehind)
{
    const auto failure = [](const std::function<void()>& inCall, int32_t inCode, const std::string& inPath) {
        EXPECT_TRUE(Throws(inCall, inCode, inPath)) << inPath;
    };
    XGrey8Volume grey(2, 2, 1);
    const std::string noFolder = TempFile("missing-folder/out.png");
    failure([&] { XPNGFile::Write(noFolder, grey); }, XException::kFileError, noFolder);
    EXPECT_FALSE(std::filesystem::exists(noFolder + ".part"));
    failure([&] { XPNGFile::Write(TempFile("plane.png"), grey, 1); }, XException::kBadArgument, TempFile("plane.png"));

    const std::string missing = TempFile("nothing.png");
    failure([&] { XPNGFile::Read(missing); }, XException::kFileError, missing);

    // A valid image cut short.
    const std::string whole = TempFile("whole.png");
    XGrey8Volume big(64, 64, 1);
    for (int32_t i = 0; i < 64 * 64; ++i)
        big.SetVoxel(i % 64, i / 64, uint8_t(i * 7));
    XPNGFile::Write(whole, big);
    const std::string cut = TempFile("cut.png");
    std::filesystem::copy_file(whole, cut);
    std::filesystem::resize_file(cut, std::filesystem::file_size(whole) / 2);
    failure([&] { XPNGFile::Read(cut); }, XException::kFileError, cut);
}

#include "TestPicture.h"

#include "XPNGFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <unistd.h>
#include <vector>

namespace TestPicture {
namespace {
struct XKeptPicture {
    std::string name;
    XARGB32Volume picture;
};

std::mutex sKeptMutex;
std::vector<XKeptPicture> sKept;
int sDifferenceCount = 0;

XARGB32Volume Opaque(const XVolume& inPicture)
{
    XARGB32Volume opaque(inPicture.GetWidth(), inPicture.GetHeight(), 1);
    for (int y = 0; y < inPicture.GetHeight(); ++y)
        for (int x = 0; x < inPicture.GetWidth(); ++x) {
            XARGB32Colour c = PixelAt(inPicture, x, y);
            c.alpha = 255;
            std::memcpy(opaque.GetVoxelPtr(x, y, 0), &c, 4);
        }
    return opaque;
}

void Keep(std::string inName, XARGB32Volume inPicture)
{
    std::lock_guard<std::mutex> lock(sKeptMutex);
    sKept.push_back(XKeptPicture{std::move(inName), std::move(inPicture)});
}

std::filesystem::path ImagesDir()
{
    char exe[4096] = {};
    const ssize_t n = readlink("/proc/self/exe", exe, sizeof(exe) - 1);
    return n > 0 ? std::filesystem::path(exe).parent_path().parent_path() / "images"
                 : std::filesystem::temp_directory_path();
}

std::string CurrentTestName()
{
    const testing::TestInfo* info = testing::UnitTest::GetInstance()->current_test_info();
    return info ? std::string(info->test_suite_name()) + "." + info->name() : std::string("picture");
}

// Writes the pictures a test kept when, and only when, it failed.
class XWriteOnFailure : public testing::EmptyTestEventListener {
    void OnTestStart(const testing::TestInfo&) override { Forget(); }
    void OnTestEnd(const testing::TestInfo& inInfo) override
    {
        if (inInfo.result()->Failed()) {
            std::lock_guard<std::mutex> lock(sKeptMutex);
            const std::filesystem::path dir = ImagesDir();
            std::filesystem::create_directories(dir);
            for (const XKeptPicture& kept : sKept) {
                const std::string path = (dir / (kept.name + ".png")).string();
                XPNGFile::Write(path, kept.picture);
                std::printf("  picture of the failed test: %s\n", path.c_str());
            }
        }
        Forget();
    }
    static void Forget()
    {
        std::lock_guard<std::mutex> lock(sKeptMutex);
        sKept.clear();
        sDifferenceCount = 0;
    }
};

[[maybe_unused]] const bool sListening = (testing::UnitTest::GetInstance()->listeners().Append(new XWriteOnFailure), true);
} // namespace

XARGB32Colour PixelAt(const XVolume& inPicture, int inX, int inY)
{
    const uint8_t* p = inPicture.GetVoxelPtr(inX, inY, 0);
    if (inPicture.GetVoxelType() == XVoxelType::kBGRA32) // what the GL devices read back
        return XARGB32Colour(p[3], p[2], p[1], p[0]);
    return XARGB32Colour(p[0], p[1], p[2], p[3]);
}

bool IsBackground(const XARGB32Colour& inPixel)
{
    return inPixel.red == 0 && inPixel.green == 0 && inPixel.blue == 0;
}

int CountDifferences(const XVolume& inA, const XVolume& inB)
{
    int n = 0;
    XARGB32Volume difference(inA.GetWidth(), inA.GetHeight(), 1);
    for (int y = 0; y < inA.GetHeight(); ++y)
        for (int x = 0; x < inA.GetWidth(); ++x) {
            const XARGB32Colour a = PixelAt(inA, x, y), b = PixelAt(inB, x, y);
            n += (a.red != b.red || a.green != b.green || a.blue != b.blue) ? 1 : 0;
            const XARGB32Colour d(255, uint8_t(std::abs(a.red - b.red)), uint8_t(std::abs(a.green - b.green)),
                                  uint8_t(std::abs(a.blue - b.blue)));
            std::memcpy(difference.GetVoxelPtr(x, y, 0), &d, 4);
        }
    int index = 0;
    {
        std::lock_guard<std::mutex> lock(sKeptMutex);
        index = ++sDifferenceCount;
    }
    const std::string name = CurrentTestName() + "-comparison-" + std::to_string(index);
    Keep(name + "-first", Opaque(inA));
    Keep(name + "-second", Opaque(inB));
    Keep(name + "-difference", std::move(difference));
    return n;
}

int CountNonBackground(const XVolume& inPicture)
{
    int n = 0;
    for (int y = 0; y < inPicture.GetHeight(); ++y)
        for (int x = 0; x < inPicture.GetWidth(); ++x)
            n += IsBackground(PixelAt(inPicture, x, y)) ? 0 : 1;
    return n;
}

XSpread SpreadOf(const XVolume& inPicture, const std::function<bool(const XARGB32Colour&)>& inTest)
{
    XSpread spread;
    for (int y = 0; y < inPicture.GetHeight(); ++y)
        for (int x = 0; x < inPicture.GetWidth(); ++x) {
            if (!inTest(PixelAt(inPicture, x, y)))
                continue;
            if (spread.count++ == 0)
                spread.left = spread.right = x, spread.top = spread.bottom = y;
            spread.left = std::min(spread.left, x), spread.right = std::max(spread.right, x);
            spread.top = std::min(spread.top, y), spread.bottom = std::max(spread.bottom, y);
            spread.centreX += x + 0.5, spread.centreY += y + 0.5;
        }
    if (spread.count) {
        spread.centreX /= spread.count;
        spread.centreY /= spread.count;
    }
    return spread;
}

void SavePNG(const XVolume& inPicture, const std::string& inName) { Keep(inName, Opaque(inPicture)); }

XARGB32Volume SolidVolume(int32_t inWidth, int32_t inHeight, int32_t inDepth, const XARGB32Colour& inColour)
{
    XARGB32Volume volume(inWidth, inHeight, inDepth);
    for (int z = 0; z < inDepth; ++z)
        for (int y = 0; y < inHeight; ++y)
            for (int x = 0; x < inWidth; ++x)
                std::memcpy(volume.GetVoxelPtr(x, y, z), &inColour, 4);
    return volume;
}

} // namespace TestPicture

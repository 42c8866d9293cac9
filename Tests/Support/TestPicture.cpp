#include "TestPicture.h"

#include "XPNGFile.h"

#include <cstring>
#include <filesystem>
#include <unistd.h>

namespace TestPicture {

XARGB32Colour PixelAt(const XVolume& inPicture, int inX, int inY)
{
    const uint8_t* p = inPicture.GetVoxelPtr(inX, inY, 0);
    return XARGB32Colour(p[0], p[1], p[2], p[3]);
}

bool IsBackground(const XARGB32Colour& inPixel)
{
    return inPixel.red == 0 && inPixel.green == 0 && inPixel.blue == 0;
}

int CountDifferences(const XVolume& inA, const XVolume& inB)
{
    int n = 0;
    for (int y = 0; y < inA.GetHeight(); ++y)
        for (int x = 0; x < inA.GetWidth(); ++x) {
            const XARGB32Colour a = PixelAt(inA, x, y), b = PixelAt(inB, x, y);
            n += (a.red != b.red || a.green != b.green || a.blue != b.blue) ? 1 : 0;
        }
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

std::string SavePNG(const XVolume& inPicture, const std::string& inName)
{
    char exe[4096] = {};
    const ssize_t n = readlink("/proc/self/exe", exe, sizeof(exe) - 1);
    const std::filesystem::path dir = n > 0 ? std::filesystem::path(exe).parent_path().parent_path() / "images"
                                            : std::filesystem::temp_directory_path();
    std::filesystem::create_directories(dir);
    XARGB32Volume opaque(inPicture.GetWidth(), inPicture.GetHeight(), 1);
    for (int y = 0; y < inPicture.GetHeight(); ++y)
        for (int x = 0; x < inPicture.GetWidth(); ++x) {
            XARGB32Colour c = PixelAt(inPicture, x, y);
            c.alpha = 255;
            std::memcpy(opaque.GetVoxelPtr(x, y, 0), &c, 4);
        }
    const std::string path = (dir / (inName + ".png")).string();
    XPNGFile::Write(path, opaque);
    return path;
}

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

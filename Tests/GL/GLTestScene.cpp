#include "GLTestScene.h"

#include <filesystem>
#include <png.h>
#include <unistd.h>

XARGB32Colour GLTest::PixelAt(const XVolume& inVolume, int inX, int inY)
{
    const uint8_t* p = inVolume.GetVoxelPtr(inX, inY, 0);
    return XARGB32Colour(p[0], p[1], p[2], p[3]);
}

std::string GLTest::SavePNG(const XVolume& inVolume, const std::string& inName)
{
    char exe[4096] = {};
    ssize_t n = readlink("/proc/self/exe", exe, sizeof(exe) - 1);
    std::filesystem::path dir = n > 0 ? std::filesystem::path(exe).parent_path().parent_path() / "test-output"
                                      : std::filesystem::temp_directory_path();
    std::filesystem::create_directories(dir);
    const std::string path = (dir / (inName + ".png")).string();
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = uint32_t(inVolume.GetWidth());
    image.height = uint32_t(inVolume.GetHeight());
    image.format = PNG_FORMAT_ARGB;
    png_image_write_to_file(&image, path.c_str(), 0, inVolume.GetLayerPtr(0), 0, nullptr);
    return path;
}

#include "XPNGFile.h"

#include "XARGB32Volume.h"
#include "XBGRA32Volume.h"
#include "XException.h"
#include "XGrey8Volume.h"

#include <png.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

void XPNGFile::Write(const XString& inPath, const XVolume& inImage, int32_t inPlane)
{
    if (inImage.IsEmpty() || inPlane < 0 || inPlane >= inImage.GetDepth())
        throw XException(XException::kBadArgument,
            XString("Plane %1 of the image cannot be written to \"%2\": the image has %3 planes.")
                .Replace(int64_t(inPlane)).Replace(inPath).Replace(int64_t(std::max(inImage.GetDepth(), 0))));

    std::unique_ptr<XVolume> converted;
    const XVolume* source = &inImage;
    int32_t plane = inPlane;
    png_uint_32 format = PNG_FORMAT_GRAY;
    switch (inImage.GetVoxelType()) {
    case XVoxelType::kARGB32: format = PNG_FORMAT_ARGB; break;
    case XVoxelType::kBGRA32: format = PNG_FORMAT_BGRA; break;
    case XVoxelType::kGrey8: format = PNG_FORMAT_GRAY; break;
    case XVoxelType::kRGB48: {
        // 16-bit colour is written as the 8-bit colour it is displayed as.
        std::unique_ptr<XVolume> one = inImage.CopyXYPlane(inImage.GetBounds().GetFront() + inPlane);
        auto colour = std::make_unique<XBGRA32Volume>();
        one->CopyOutToBGRA32Volume(*colour);
        converted = std::move(colour);
        source = converted.get();
        plane = 0;
        format = PNG_FORMAT_BGRA;
        break;
    }
    default: {
        // Deeper samples are written as the grey they are displayed as.
        std::unique_ptr<XVolume> one = inImage.CopyXYPlane(inImage.GetBounds().GetFront() + inPlane);
        auto grey = std::make_unique<XGrey8Volume>();
        one->CopyOutToGrey8Volume(*grey);
        converted = std::move(grey);
        source = converted.get();
        plane = 0;
        break;
    }
    }

    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = png_uint_32(source->GetWidth());
    image.height = png_uint_32(source->GetHeight());
    image.format = format;
    const XString partPath = inPath + ".part";
    int written = png_image_write_to_file(&image, partPath.GetCString(), 0, source->GetLayerPtr(plane),
        png_int_32(source->GetRowBytes()), nullptr);
    XString why = (image.warning_or_error & 3) > 1 ? XString(image.message) : XString();
    png_image_free(&image);
    if (!written) {
        std::remove(partPath.GetCString());
        throw XException(XException::kFileError,
            XString("The image could not be written to \"%1\" (%2). Check that the folder exists and the disk has free space.")
                .Replace(inPath).Replace(why.IsEmpty() ? XString("the PNG library failed") : why));
    }
    if (std::rename(partPath.GetCString(), inPath.GetCString()) != 0) {
        int error = errno;
        std::remove(partPath.GetCString());
        throw XException(XException::kFileError,
            XString("The image could not be put in place as \"%1\" (%2). Check that you may write to the folder.")
                .Replace(inPath).Replace(XString(std::strerror(error))));
    }
}

std::unique_ptr<XVolume> XPNGFile::Read(const XString& inPath)
{
    FILE* probe = std::fopen(inPath.GetCString(), "rb");
    if (!probe)
        throw XException(XException::kFileError,
            XString("The image \"%1\" cannot be opened: %2. Check that it exists and that you may read it.")
                .Replace(inPath).Replace(XString(std::strerror(errno))));
    std::fclose(probe);

    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    auto fail = [&](const char* inWhat) {
        XString why = image.message[0] ? XString(image.message) : XString(inWhat);
        png_image_free(&image);
        throw XException(XException::kFileError,
            XString("The image \"%1\" cannot be read as PNG (%2). Check that it is a complete PNG file.").Replace(inPath).Replace(why));
    };
    if (!png_image_begin_read_from_file(&image, inPath.GetCString()))
        fail("not a PNG file");
    if (image.width == 0 || image.height == 0 || uint64_t(image.width) * image.height > kMaxPixels ||
        image.width > 0x7FFFFFFFu || image.height > 0x7FFFFFFFu) {
        png_image_free(&image);
        throw XException(XException::kUnsupportedFile,
            XString("The image \"%1\" of %2 x %3 pixels is too large to open. Open a smaller image.")
                .Replace(inPath).Replace(int64_t(image.width)).Replace(int64_t(image.height)));
    }
    const bool grey = (image.format & (PNG_FORMAT_FLAG_COLOR | PNG_FORMAT_FLAG_ALPHA)) == 0;
    std::unique_ptr<XVolume> volume;
    if (grey) {
        volume = std::make_unique<XGrey8Volume>(int32_t(image.width), int32_t(image.height), 1);
        image.format = PNG_FORMAT_GRAY;
    } else {
        volume = std::make_unique<XARGB32Volume>(int32_t(image.width), int32_t(image.height), 1);
        image.format = PNG_FORMAT_ARGB;
    }
    if (!png_image_finish_read(&image, nullptr, volume->GetData(), png_int_32(volume->GetRowBytes()), nullptr))
        fail("the data is damaged");
    png_image_free(&image);
    return volume;
}

#pragma once
// PNG files through libpng: one plane of a volume written as an image, and images
// read back as volumes. Colour planes keep their (straight) alpha; grey planes
// are written as grey.
#include "XString.h"

#include <cstdint>
#include <memory>

class XVolume;

class XPNGFile {
public:
    // Images larger than this many pixels are refused before anything is allocated.
    static constexpr uint64_t kMaxPixels = uint64_t(1) << 28;

    // Writes XY plane inPlane (a local index) of the image. ARGB32 and BGRA32 planes
    // are written in colour with alpha, Grey8 as grey; 16-bit, float and mask planes
    // as grey through the volume's display conversion. The file appears only when
    // complete. XException kBadArgument for a missing plane, kFileError naming the
    // file when it cannot be written.
    static void Write(const XString& inPath, const XVolume& inImage, int32_t inPlane = 0);
    // A grey PNG as an XGrey8Volume, any other as an XARGB32Volume, one plane at
    // the origin. XException kFileError naming the file when it cannot be read,
    // kUnsupportedFile when it is too large.
    static std::unique_ptr<XVolume> Read(const XString& inPath);
};

#pragma once
// Packed colour voxels, 4 bytes each in memory order blue, green, red, alpha
// (XBGRA32Colour): what a Cairo ARGB32 image surface and a GL_BGRA/GL_UNSIGNED_BYTE
// read-back hold on a little-endian machine (0xAARRGGBB read as a 32-bit number).
#include "XTypedVolume.h"
#include "XBGRA32Colour.h"
class XBGRA32Volume : public XTypedVolume<XBGRA32Colour, XVoxelType::kBGRA32> {
public:
    XBGRA32Volume() : XTypedVolume(X3DRect(), 4) {}
    explicit XBGRA32Volume(const X3DRect& inBounds) : XTypedVolume(inBounds, 4) {}
    // An XY rectangle, inDepth planes deep starting at plane 0.
    explicit XBGRA32Volume(const XRect& inXY, int32_t inDepth = 1) : XTypedVolume(X3DRect(inXY, 0, inDepth), 4) {}
    XBGRA32Volume(int32_t inWidth, int32_t inHeight, int32_t inDepth) : XTypedVolume(X3DRect(0, 0, 0, inWidth, inHeight, inDepth), 4) {}
    XBGRA32Volume(const XBGRA32Volume&) = default;
    XBGRA32Volume(XBGRA32Volume&&) noexcept = default;
    XBGRA32Volume& operator=(const XBGRA32Volume&) = default;
    XBGRA32Volume& operator=(XBGRA32Volume&&) noexcept = default;
};

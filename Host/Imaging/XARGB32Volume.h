#pragma once
// Packed colour voxels, 4 bytes each in memory order alpha, red, green, blue
// (XARGB32Colour). Read as a little-endian 32-bit number a voxel is 0xBBGGRRAA.
// SwapBuffer32 reverses each voxel into blue, green, red, alpha: the order that an
// OpenGL upload with GL_BGRA/GL_UNSIGNED_BYTE reads.
#include "XTypedVolume.h"
#include "XARGB32Colour.h"
class XARGB32Volume : public XTypedVolume<XARGB32Colour, XVoxelType::kARGB32> {
public:
    XARGB32Volume() : XTypedVolume(X3DRect(), 4) {}
    explicit XARGB32Volume(const X3DRect& inBounds) : XTypedVolume(inBounds, 4) {}
    // An XY rectangle, inDepth planes deep starting at plane 0.
    explicit XARGB32Volume(const XRect& inXY, int32_t inDepth = 1) : XTypedVolume(X3DRect(inXY, 0, inDepth), 4) {}
    XARGB32Volume(int32_t inWidth, int32_t inHeight, int32_t inDepth) : XTypedVolume(X3DRect(0, 0, 0, inWidth, inHeight, inDepth), 4) {}
    XARGB32Volume(const XARGB32Volume&) = default;
    XARGB32Volume(XARGB32Volume&&) noexcept = default;
    XARGB32Volume& operator=(const XARGB32Volume&) = default;
    XARGB32Volume& operator=(XARGB32Volume&&) noexcept = default;
};

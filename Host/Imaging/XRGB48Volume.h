#pragma once
// Packed colour voxels of 16 bits per component, 6 bytes each: red, green, blue
// (XRGB48Colour). Three channels; converted to 8-bit colour through the nominal
// range 0..65535 like the 16-bit grey volumes.
#include "XRGB48Colour.h"
#include "XTypedVolume.h"
class XRGB48Volume : public XTypedVolume<XRGB48Colour, XVoxelType::kRGB48> {
public:
    XRGB48Volume() : XTypedVolume(X3DRect(), 3) {}
    explicit XRGB48Volume(const X3DRect& inBounds) : XTypedVolume(inBounds, 3) {}
    // An XY rectangle, inDepth planes deep starting at plane 0.
    explicit XRGB48Volume(const XRect& inXY, int32_t inDepth = 1) : XTypedVolume(X3DRect(inXY, 0, inDepth), 3) {}
    XRGB48Volume(int32_t inWidth, int32_t inHeight, int32_t inDepth) : XTypedVolume(X3DRect(0, 0, 0, inWidth, inHeight, inDepth), 3) {}
    XRGB48Volume(const XRGB48Volume&) = default;
    XRGB48Volume(XRGB48Volume&&) noexcept = default;
    XRGB48Volume& operator=(const XRGB48Volume&) = default;
    XRGB48Volume& operator=(XRGB48Volume&&) noexcept = default;
};

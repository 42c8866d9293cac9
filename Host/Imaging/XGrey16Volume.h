#pragma once
// Grey voxels of one unsigned 16-bit word in native (little-endian) order.
#include "XTypedVolume.h"

class XGrey16Volume : public XTypedVolume<uint16_t, XVoxelType::kGrey16> {
public:
    XGrey16Volume() : XTypedVolume(X3DRect(), 1) {}
    explicit XGrey16Volume(const X3DRect& inBounds) : XTypedVolume(inBounds, 1) {}
    // An XY rectangle, inDepth planes deep starting at plane 0.
    explicit XGrey16Volume(const XRect& inXY, int32_t inDepth = 1) : XTypedVolume(X3DRect(inXY, 0, inDepth), 1) {}
    XGrey16Volume(int32_t inWidth, int32_t inHeight, int32_t inDepth) : XTypedVolume(X3DRect(0, 0, 0, inWidth, inHeight, inDepth), 1) {}
    XGrey16Volume(const XGrey16Volume&) = default;
    XGrey16Volume(XGrey16Volume&&) noexcept = default;
    XGrey16Volume& operator=(const XGrey16Volume&) = default;
    XGrey16Volume& operator=(XGrey16Volume&&) noexcept = default;
};

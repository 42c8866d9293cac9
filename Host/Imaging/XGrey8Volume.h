#pragma once
// Grey voxels of one unsigned byte.
#include "XTypedVolume.h"

class XGrey8Volume : public XTypedVolume<uint8_t, XVoxelType::kGrey8> {
public:
    XGrey8Volume() : XTypedVolume(X3DRect(), 1) {}
    explicit XGrey8Volume(const X3DRect& inBounds) : XTypedVolume(inBounds, 1) {}
    // An XY rectangle, inDepth planes deep starting at plane 0.
    explicit XGrey8Volume(const XRect& inXY, int32_t inDepth = 1) : XTypedVolume(X3DRect(inXY, 0, inDepth), 1) {}
    XGrey8Volume(int32_t inWidth, int32_t inHeight, int32_t inDepth) : XTypedVolume(X3DRect(0, 0, 0, inWidth, inHeight, inDepth), 1) {}
    XGrey8Volume(const XGrey8Volume&) = default;
    XGrey8Volume(XGrey8Volume&&) noexcept = default;
    XGrey8Volume& operator=(const XGrey8Volume&) = default;
    XGrey8Volume& operator=(XGrey8Volume&&) noexcept = default;
};

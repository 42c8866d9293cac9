#pragma once
// One byte per voxel: 0 is outside, any other value inside (255 where a mask is
// made from a region; resampling may leave values between, which an iso level
// separates).
#include "XTypedVolume.h"

class XMaskVolume : public XTypedVolume<uint8_t, XVoxelType::kMask> {
public:
    XMaskVolume() : XTypedVolume(X3DRect(), 1) {}
    explicit XMaskVolume(const X3DRect& inBounds) : XTypedVolume(inBounds, 1) {}
    // An XY rectangle, inDepth planes deep starting at plane 0.
    explicit XMaskVolume(const XRect& inXY, int32_t inDepth = 1) : XTypedVolume(X3DRect(inXY, 0, inDepth), 1) {}
    XMaskVolume(int32_t inWidth, int32_t inHeight, int32_t inDepth) : XTypedVolume(X3DRect(0, 0, 0, inWidth, inHeight, inDepth), 1) {}
    XMaskVolume(const XMaskVolume&) = default;
    XMaskVolume(XMaskVolume&&) noexcept = default;
    XMaskVolume& operator=(const XMaskVolume&) = default;
    XMaskVolume& operator=(XMaskVolume&&) noexcept = default;
};

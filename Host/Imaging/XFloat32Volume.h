#pragma once
// Voxels of one 32-bit float. Conversions to the other layouts take 0.0..1.0 as
// the displayable range.
#include "XTypedVolume.h"

class XFloat32Volume : public XTypedVolume<float, XVoxelType::kFloat32> {
public:
    XFloat32Volume() : XTypedVolume(X3DRect(), 1) {}
    explicit XFloat32Volume(const X3DRect& inBounds) : XTypedVolume(inBounds, 1) {}
    // An XY rectangle, inDepth planes deep starting at plane 0.
    explicit XFloat32Volume(const XRect& inXY, int32_t inDepth = 1) : XTypedVolume(X3DRect(inXY, 0, inDepth), 1) {}
    XFloat32Volume(int32_t inWidth, int32_t inHeight, int32_t inDepth) : XTypedVolume(X3DRect(0, 0, 0, inWidth, inHeight, inDepth), 1) {}
    XFloat32Volume(const XFloat32Volume&) = default;
    XFloat32Volume(XFloat32Volume&&) noexcept = default;
    XFloat32Volume& operator=(const XFloat32Volume&) = default;
    XFloat32Volume& operator=(XFloat32Volume&&) noexcept = default;
};

#pragma once
// Extended-focus images: the brightest voxel along z at each (x, y), which shows a
// whole stack as one in-focus picture, and optionally the focus map (the plane
// each brightest voxel came from).
#include <memory>

class XVolume;
class XGrey16Volume;

class XExtendedFocusTool {
public:
    // A new volume of the source's layout, one plane deep, at the source's XY bounds
    // and front; calibration, names and renderer are kept. Grey layouts take the
    // largest value (NaN never wins); colour layouts take the voxel with the largest
    // red + green + blue. Ties go to the plane nearest the front. When outFocusMap is
    // given it receives, per (x, y), the local index of the chosen plane.
    // An empty source gives an empty image.
    static std::unique_ptr<XVolume> MakeExtendedFocusImage(const XVolume& inSource, XGrey16Volume* outFocusMap = nullptr);
};

#pragma once
// Resampling between volumes of any size and layout (see XVolume::CopyInto for the
// sampling rules: voxel centres map onto voxel centres, edges clamp).
#include "X3DRect.h"
#include "XVoxelType.h"

#include <memory>

class XVolume;

class XVolumeResampleTool {
public:
    // The whole source stretched over the whole target (linear by default).
    static void Resample(const XVolume& inSource, XVolume& inOutTarget, XResampleMode inMode = XResampleMode::kLinear);
    // The box inFrom of the source (its bounds coordinates) onto the box inTo of the target.
    static void Resample(const XVolume& inSource, const X3DRect& inFrom, XVolume& inOutTarget, const X3DRect& inTo,
                         XResampleMode inMode = XResampleMode::kLinear);
    // A new volume of the source's layout with the given bounds, holding the whole
    // source resampled; calibration scales with the change of size, names and renderer
    // are kept.
    static std::unique_ptr<XVolume> MakeResampled(const XVolume& inSource, const X3DRect& inBounds,
                                                  XResampleMode inMode = XResampleMode::kLinear);
    // The size each axis takes when scaled by a factor: floor(size × factor), at least 1.
    static X3DRect ScaleBounds(const X3DRect& inBounds, double inFactorX, double inFactorY, double inFactorZ);
};

#include "XVolumeResampleTool.h"

#include "XException.h"
#include "XVolume.h"

#include <algorithm>
#include <cmath>

void XVolumeResampleTool::Resample(const XVolume& inSource, XVolume& inOutTarget, XResampleMode inMode)
{
    if (inSource.IsEmpty() || inOutTarget.IsEmpty())
        return;
    inSource.CopyInto(inOutTarget, inSource.GetBounds(), inOutTarget.GetBounds(), inMode);
}

void XVolumeResampleTool::Resample(const XVolume& inSource, const X3DRect& inFrom, XVolume& inOutTarget,
                                   const X3DRect& inTo, XResampleMode inMode)
{
    inSource.CopyInto(inOutTarget, inFrom, inTo, inMode);
}

std::unique_ptr<XVolume> XVolumeResampleTool::MakeResampled(const XVolume& inSource, const X3DRect& inBounds,
                                                            XResampleMode inMode)
{
    std::unique_ptr<XVolume> target = XVolume::Make(inSource.GetVoxelType(), inBounds);
    target->CopyCalibrationAndNames(inSource);
    if (!inSource.IsEmpty() && !inBounds.IsEmpty()) {
        target->SetCalibration(inSource.GetCalibrationX() * inSource.GetWidth() / inBounds.GetWidth(),
                               inSource.GetCalibrationY() * inSource.GetHeight() / inBounds.GetHeight(),
                               inSource.GetCalibrationZ() * inSource.GetDepth() / inBounds.GetDepth());
        Resample(inSource, *target, inMode);
    }
    return target;
}

X3DRect XVolumeResampleTool::ScaleBounds(const X3DRect& inBounds, double inFactorX, double inFactorY, double inFactorZ)
{
    auto scaled = [](int32_t inSize, double inFactor) {
        if (!std::isfinite(inFactor) || inFactor <= 0.0)
            throw XException(XException::kBadArgument,
                             XString("A resample factor of %1 cannot be used: factors must be positive numbers.").Replace(inFactor));
        double s = std::floor(double(inSize) * inFactor);
        return int32_t(std::clamp(s, 1.0, double(INT32_MAX / 2)));
    };
    int32_t w = scaled(inBounds.GetWidth(), inFactorX);
    int32_t h = scaled(inBounds.GetHeight(), inFactorY);
    int32_t d = scaled(inBounds.GetDepth(), inFactorZ);
    return X3DRect(inBounds.left, inBounds.top, inBounds.front, inBounds.left + w, inBounds.top + h, inBounds.front + d);
}

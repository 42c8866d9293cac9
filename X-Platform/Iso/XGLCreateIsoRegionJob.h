#pragma once
// Makes a region's surface: for a mask of more than kPreviewVoxels voxels a preview from
// a scaled copy first, then the full-resolution surface.
#include "X3DRegion.h"
#include "XGLIsoRegionJob.h"
#include "XMaskVolume.h"

class XGLCreateIsoRegionJob : public XGLIsoRegionJob {
public:
    static constexpr uint64_t kPreviewVoxels = 0x40000;

    XGLCreateIsoRegionJob(std::shared_ptr<XDelivery> inDelivery, const X3DRegion& inRegion);

    // The box a mask is scaled into for the preview: the largest of width, height and
    // depth halved (ties to width, then height) until at most kPreviewVoxels remain.
    static X3DRect GetScaledBounds(const X3DRect& inBounds);
    static XMaskVolume GetScaledImage(const XMaskVolume& inMask);

protected:
    void RunJobSelf() override;

private:
    X3DRegion itsRegion;
};

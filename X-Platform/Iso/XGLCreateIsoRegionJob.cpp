#include "XGLCreateIsoRegionJob.h"

#include "XVolumeResampleTool.h"

XGLCreateIsoRegionJob::XGLCreateIsoRegionJob(std::shared_ptr<XDelivery> inDelivery, const X3DRegion& inRegion)
    : XGLIsoRegionJob(std::move(inDelivery)), itsRegion(inRegion)
{
}

X3DRect XGLCreateIsoRegionJob::GetScaledBounds(const X3DRect& inBounds)
{
    int32_t size[3] = {inBounds.GetWidth(), inBounds.GetHeight(), inBounds.GetDepth()};
    auto count = [&size] { return uint64_t(size[0]) * uint64_t(size[1]) * uint64_t(size[2]); };
    while (count() > kPreviewVoxels) {
        int axis = 0;
        for (int a = 1; a < 3; ++a)
            if (size[a] > size[axis])
                axis = a;
        size[axis] /= 2;
    }
    return X3DRect(inBounds.GetLeft(), inBounds.GetTop(), inBounds.GetFront(), inBounds.GetLeft() + size[0],
        inBounds.GetTop() + size[1], inBounds.GetFront() + size[2]);
}

XMaskVolume XGLCreateIsoRegionJob::GetScaledImage(const XMaskVolume& inMask)
{
    XMaskVolume scaled(GetScaledBounds(inMask.GetBounds()));
    XVolumeResampleTool::Resample(inMask, scaled);
    return scaled;
}

void XGLCreateIsoRegionJob::RunJobSelf()
{
    const XMaskVolume mask = itsRegion.GetMaskVolume();
    if (mask.GetVoxelCount() > kPreviewVoxels) {
        XVolumeIsoTool<unsigned char> preview(GetScaledImage(mask), 128);
        preview.SetOutputBounds(mask.GetBounds());
        CompleteIsoRegionJob(MakeSurface(*preview.MakeIsoSurface()), kPreview);
    }
    XVolumeIsoTool<unsigned char> tool(mask, 128);
    tool.SetOutputBounds(mask.GetBounds());
    CompleteIsoRegionJob(MakeSurface(*tool.MakeIsoSurface()), kFull);
}

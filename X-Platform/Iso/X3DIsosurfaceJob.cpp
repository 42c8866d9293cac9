#include "X3DIsosurfaceJob.h"

#include "X3DRegionMeasurementFeedback.h"
#include "XMaskVolume.h"
#include "XThread.h"
#include "XVolumeIsosurfaceTool.h"
#include "XVolumeResampleTool.h"

#include <algorithm>

X3DIsosurfaceJob::X3DIsosurfaceJob(X3DRegionMeasurementFeedback* inFeedback, const X3DRegion& inRegion,
                                   const X3DRect& inBounds, const float inResampleFactor[3], uint64_t inIndex,
                                   const X3DIsosurfaceMesh::XIsoMeshInstance& inInstance)
    : itsFeedback(inFeedback), itsRegion(inRegion), itsBounds(inBounds),
      itsResampleFactor{inResampleFactor[0], inResampleFactor[1], inResampleFactor[2]}, itsIndex(inIndex),
      itsInstance(inInstance)
{
}

void X3DIsosurfaceJob::RunJobSelf()
{
    // Refuses bad factors and giant boxes before anything is allocated.
    const X3DRect box = XVolumeIsosurfaceTool::MakeResampledBox(itsBounds, itsResampleFactor);
    XMaskVolume mask(box);
    XVolumeResampleTool::Resample(itsRegion.GetMaskVolume(itsBounds), mask);
    XThread::TestCancelCurrentThread();

    mask.LockFor(kLockWrite);
    for (int32_t z = 0; z < mask.GetDepth(); ++z)
        for (int32_t y = 0; y < mask.GetHeight(); ++y) {
            uint8_t* row = mask.GetRowPtr(y, z);
            std::transform(row, row + mask.GetWidth(), row, [](uint8_t v) { return uint8_t(v < 128 ? 0 : 255); });
        }
    mask.UnlockFor(kLockWrite);

    // Built in a copy: a cancelled run leaves the placeholder as it was.
    X3DIsosurfaceMesh::XIsoMeshInstance instance = itsInstance;
    instance.itsPositions.clear();
    instance.itsNormals.clear();
    instance.itsQuads.clear();
    XVolumeIsosurfaceTool tool(mask, 128);
    tool.SetOutputBounds(itsBounds);
    tool.MakeIsoSurface(instance.itsPositions, instance.itsNormals, instance.itsQuads);
    instance.ComputeBounds();
    itsInstance = std::move(instance);
    itsFeedback->DeliverInstance(itsIndex, itsInstance);
}

void X3DIsosurfaceJob::JobCompleteSelf(unsigned long inStatus)
{
    if (inStatus == kJobDone)
        SpeakMessage(X3DIsosurfaceJobCompleteMessage(this, itsInstance, itsIndex));
}

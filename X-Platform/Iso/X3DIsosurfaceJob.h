#pragma once
// Makes the surface of one region on a worker of its feedback's job queue: the region's
// mask resampled by the feedback's factor, thresholded at 128, extracted and mapped
// back onto the region's bounds, then handed to the feedback (and so to every mesh).
// A job that ends normally tells its listeners with an X3DIsosurfaceJobCompleteMessage.
#include "X3DIsosurfaceMesh.h"
#include "X3DRect.h"
#include "X3DRegion.h"
#include "XJob.h"
#include "XMessage.h"
#include "XSpeaker.h"

#include <cstdint>

class X3DRegionMeasurementFeedback;

class X3DIsosurfaceJobCompleteMessage : public XMessage {
public:
    X3DIsosurfaceJobCompleteMessage(XSpeaker* inSpeaker, const X3DIsosurfaceMesh::XIsoMeshInstance& inInstance,
                                    uint64_t inIndex)
        : XMessage(inSpeaker), itsInstance(inInstance), itsIndex(inIndex) {}
    XMessage* Clone() const override { return new X3DIsosurfaceJobCompleteMessage(*this); }

    const X3DIsosurfaceMesh::XIsoMeshInstance& GetInstance() const { return itsInstance; }
    uint64_t GetIndex() const { return itsIndex; }

private:
    X3DIsosurfaceMesh::XIsoMeshInstance itsInstance;
    uint64_t itsIndex;
};

class X3DIsosurfaceJob : public XJob, public XSpeaker {
public:
    X3DIsosurfaceJob(X3DRegionMeasurementFeedback* inFeedback, const X3DRegion& inRegion, const X3DRect& inBounds,
                     const float inResampleFactor[3], uint64_t inIndex,
                     const X3DIsosurfaceMesh::XIsoMeshInstance& inInstance);

    bool CanCompleteInJobThread() const override { return true; }
    uint64_t GetIndex() const { return itsIndex; }

protected:
    void RunJobSelf() override;
    void JobCompleteSelf(unsigned long inStatus) override;

private:
    X3DRegionMeasurementFeedback* itsFeedback;
    X3DRegion itsRegion;
    X3DRect itsBounds;
    float itsResampleFactor[3];
    uint64_t itsIndex;
    X3DIsosurfaceMesh::XIsoMeshInstance itsInstance;
};

#pragma once
// The surfaces of a region feedback's regions inside one volume node: one instance per
// region, delivered by the feedback's jobs. Made by the feedback (MakeIsoMesh).
#include "X3DIsosurfaceMesh.h"

class X3DRegionMeasurementFeedback;

class X3DRegionFeedbackIsoMesh : public X3DIsosurfaceMesh {
public:
    X3DRegionFeedbackIsoMesh(X3DRegionMeasurementFeedback* inFeedback, const float inResampleFactor[3]);
    // Leaves the feedback first, so that no delivery reaches a mesh being destroyed.
    ~X3DRegionFeedbackIsoMesh() override;

    bool ShouldRenderForFrameState(const XSceneRenderState& inState) const override;
    // The extractor centres mask voxel i on i, the node's voxel i spans i to i + 1:
    // drawn shifted by half a mask voxel along each axis.
    void RenderInVolume(X3DGC& inGC, const XSceneRenderState& inState) override;
    // Waits on the feedback's jobs (true at once without a feedback).
    bool WaitForSurface() override;

    X3DRegionMeasurementFeedback* GetFeedback() const;
    const float* GetResampleFactor() const { return itsResampleFactor; }

protected:
    void UpdateGeometrySelf() override;

private:
    friend class X3DRegionMeasurementFeedback;
    // The feedback is going.
    void ForgetFeedback();

    float itsResampleFactor[3];
    mutable XMutex itsFeedbackMutex{4000};
    X3DRegionMeasurementFeedback* itsFeedback;
};

#include "X3DRegionFeedbackIsoMesh.h"

#include "X3DGC.h"
#include "X3DRegionMeasurementFeedback.h"
#include "XThreadLock.h"

X3DRegionFeedbackIsoMesh::X3DRegionFeedbackIsoMesh(X3DRegionMeasurementFeedback* inFeedback,
                                                   const float inResampleFactor[3])
    : X3DIsosurfaceMesh(0.0), itsResampleFactor{inResampleFactor[0], inResampleFactor[1], inResampleFactor[2]},
      itsFeedback(inFeedback)
{
}

X3DRegionFeedbackIsoMesh::~X3DRegionFeedbackIsoMesh()
{
    // The feedback's mutex is taken before a mesh's, never inside it.
    if (X3DRegionMeasurementFeedback* feedback = GetFeedback())
        feedback->RemoveMesh(this);
    ForgetFeedback();
}

X3DRegionMeasurementFeedback* X3DRegionFeedbackIsoMesh::GetFeedback() const
{
    XThreadLock lock(itsFeedbackMutex);
    return itsFeedback;
}

void X3DRegionFeedbackIsoMesh::ForgetFeedback()
{
    XThreadLock lock(itsFeedbackMutex);
    itsFeedback = nullptr;
}

bool X3DRegionFeedbackIsoMesh::ShouldRenderForFrameState(const XSceneRenderState& inState) const
{
    return GetVisible() && !inState.IsFeedbackHidden();
}

void X3DRegionFeedbackIsoMesh::RenderInVolume(X3DGC& inGC, const XSceneRenderState& inState)
{
    const XMatrix_4x4<float> world = inGC.GetWorld();
    inGC.SetWorld(XMatrix_4x4<float>::MakeTranslation(0.5f / itsResampleFactor[0], 0.5f / itsResampleFactor[1],
                                                      0.5f / itsResampleFactor[2]) * world);
    try {
        X3DIsosurfaceMesh::RenderInVolume(inGC, inState);
    } catch (...) {
        inGC.SetWorld(world);
        throw;
    }
    inGC.SetWorld(world);
}

bool X3DRegionFeedbackIsoMesh::WaitForSurface()
{
    X3DRegionMeasurementFeedback* feedback = GetFeedback();
    return feedback == nullptr || WaitForQueueInSlices(feedback->GetJobQueue());
}

void X3DRegionFeedbackIsoMesh::UpdateGeometrySelf()
{
    if (X3DRegionMeasurementFeedback* feedback = GetFeedback())
        feedback->UpdateRegionList();
}

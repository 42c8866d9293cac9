#include "X3DRegionMeasurementFeedback.h"

#include "X3DIsosurfaceJob.h"
#include "X3DRegionFeedbackIsoMesh.h"
#include "X3DVolumeNode.h"
#include "XMeasurementsFeedbackHelper.h"
#include "XProgress.h"
#include "XThreadLock.h"

#include <algorithm>

X3DRegionMeasurementFeedback::X3DRegionMeasurementFeedback(const float inResampleFactor[3],
                                                           const XMeasurementsFeedbackHelper* inHelper)
    : itsHelper(inHelper)
{
    if (inResampleFactor)
        std::copy(inResampleFactor, inResampleFactor + 3, itsResampleFactor);
    itsJobQueue.Start();
}

X3DRegionMeasurementFeedback::~X3DRegionMeasurementFeedback()
{
    // Jobs deliver through this object: none may run past here.
    itsJobQueue.DeleteAllJobs();
    itsJobQueue.Stop();
    XThreadLock lock(itsMutex);
    for (X3DRegionFeedbackIsoMesh* mesh : itsMeshes)
        mesh->ForgetFeedback();
    itsMeshes.clear();
}

void X3DRegionMeasurementFeedback::SetRegions(const XVector<X3DRegion>& inRegions, bool inUseMasks)
{
    XThreadLock lock(itsMutex);
    itsRegions = inRegions;
    itsUseMasks = inUseMasks;
}

void X3DRegionMeasurementFeedback::SetDisplayTest(XDisplayTest inTest)
{
    XThreadLock lock(itsMutex);
    itsDisplayTest = std::move(inTest);
}

std::unique_ptr<X3DRegionFeedbackIsoMesh> X3DRegionMeasurementFeedback::MakeIsoMesh(X3DVolumeNode& inNode)
{
    auto mesh = std::make_unique<X3DRegionFeedbackIsoMesh>(this, itsResampleFactor);
    mesh->SetBoxesVisible(itsHelper != nullptr && itsHelper->GetShowROIBoundingBox());
    inNode.AddIsoData(mesh.get());
    XThreadLock lock(itsMutex);
    itsMeshes.push_back(mesh.get());
    for (size_t i = 0; i < itsInstances.size(); ++i)
        mesh->SetInstance(i, itsInstances[i]);
    return mesh;
}

void X3DRegionMeasurementFeedback::RemoveMesh(X3DRegionFeedbackIsoMesh* inMesh)
{
    XThreadLock lock(itsMutex);
    itsMeshes.erase(std::remove(itsMeshes.begin(), itsMeshes.end(), inMesh), itsMeshes.end());
}

bool X3DRegionMeasurementFeedback::IsShown(size_t inIndex) const
{
    return !itsDisplayTest || itsDisplayTest(inIndex, itsRegions[inIndex]);
}

void X3DRegionMeasurementFeedback::GiveToMeshes(uint64_t inIndex, const XInstance& inInstance)
{
    for (X3DRegionFeedbackIsoMesh* mesh : itsMeshes)
        mesh->SetInstance(inIndex, inInstance); // sets the mesh's refresh flag
}

bool X3DRegionMeasurementFeedback::UpdateRegionList()
{
    XThreadLock lock(itsMutex);
    XProgress progress("Making region surfaces", itsRegions.size());
    progress.SetShowDelay(2000);
    if (itsInstances.size() < itsRegions.size())
        itsInstances.resize(itsRegions.size());
    bool changed = false;
    for (size_t i = 0; i < itsRegions.size(); ++i, progress.Increment()) {
        const X3DRegion& region = itsRegions[i];
        const X3DRect bounds = region.GetBounds();
        XInstance& stored = itsInstances[i];
        const bool shown = IsShown(i);
        if (shown && bounds.GetVolume() > 2) {
            if (stored.itsSize == XMathVectorF3() && stored.IsPlaceholder()) {
                stored = XInstance();
                stored.itsEnabled = true;
                stored.itsColour = region.GetColour();
                stored.itsOrigin = XMathVectorF3(float(bounds.GetLeft()), float(bounds.GetTop()), float(bounds.GetFront()));
                stored.itsSize = XMathVectorF3(float(bounds.GetWidth()), float(bounds.GetHeight()), float(bounds.GetDepth()));
                if (!itsUseMasks)
                    X3DIsosurfaceMesh::MakeSimpleSurface(stored.itsPositions, stored.itsNormals, stored.itsQuads, bounds);
                GiveToMeshes(i, stored);
                changed = changed || !itsMeshes.empty();
                if (itsUseMasks)
                    itsJobQueue.AttachJob(new X3DIsosurfaceJob(this, region, bounds, itsResampleFactor, i, stored));
            } else if (!stored.itsEnabled) {
                stored.itsEnabled = true;
                GiveToMeshes(i, stored);
                changed = changed || !itsMeshes.empty();
            }
        } else if (stored.itsEnabled != shown && !(stored.itsSize == XMathVectorF3())) {
            stored.itsEnabled = shown;
            GiveToMeshes(i, stored);
            changed = changed || !itsMeshes.empty();
        }
    }
    return changed;
}

void X3DRegionMeasurementFeedback::DeliverInstance(uint64_t inIndex, const XInstance& inInstance)
{
    XThreadLock lock(itsMutex);
    if (inIndex >= itsInstances.size())
        itsInstances.resize(size_t(inIndex) + 1);
    // A region hidden while its surface was made stays hidden.
    XInstance& stored = itsInstances[size_t(inIndex)];
    const bool enabled = stored.itsEnabled || stored.itsSize == XMathVectorF3();
    stored = inInstance;
    stored.itsEnabled = enabled;
    GiveToMeshes(inIndex, stored);
}

X3DRegionMeasurementFeedback::XInstance X3DRegionMeasurementFeedback::GetInstance(uint64_t inIndex) const
{
    XThreadLock lock(itsMutex);
    return inIndex < itsInstances.size() ? itsInstances[size_t(inIndex)] : XInstance();
}

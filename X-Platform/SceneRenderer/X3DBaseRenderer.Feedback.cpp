#include "X3DBaseRenderer.h"

#include "X3DCentroidFeedback.h"
#include "X3DGC.h"
#include "X3DGCScopedLock.h"
#include "X3DPointFeedback.h"
#include "X3DPolyLineFeedback.h"
#include "X3DRegionFeedbackIsoMesh.h"
#include "X3DRegionMeasurementFeedback.h"
#include "X3DSceneFeedback.h"
#include "X3DTrackFeedback.h"
#include "X3DVolumeNode.h"
#include "XLock.h"
#include "XThread.h"

#include <utility>

XSet<uint32_t> X3DBaseRenderer::GetSupportedFeedbackTypes() const { return {kFeedbackType}; }

XPtrVector<XMeasurementFeedback> X3DBaseRenderer::MakeFeedback(XVersion inMeasurementType,
    const XMeasurementsFeedbackHelper& inHelper)
{
    enum XKind { kCentroid, kPolyLine, kPoint, kTrack };
    // Regions (1463): their surfaces are shown by the volume node, their centroids here.
    static constexpr std::pair<uint32_t, XKind> kKinds[] = {
        {1463, kCentroid}, {1464, kPolyLine}, {1465, kPoint}, {1488, kPoint}, {1466, kTrack}};
    XPtrVector<XMeasurementFeedback> made;
    const XMeasurementsFeedbackHelper::XDisplayOptions options = inHelper.GetDisplayOptions(inMeasurementType.GetType());
    for (const auto& [type, kind] : kKinds) {
        if (!inMeasurementType.IsA(XVersion(type)))
            continue;
        switch (kind) {
        case kCentroid: {
            // The data is shown at its own resolution: a region's mask is sampled voxel for voxel.
            const float scaling[3] = {1.0f, 1.0f, 1.0f};
            made.push_back(new X3DRegionMeasurementFeedback(scaling, &inHelper));
            made.push_back(new X3DCentroidFeedback(options));
            break;
        }
        case kPolyLine:
            made.push_back(new X3DPolyLineFeedback(options));
            break;
        case kPoint:
            made.push_back(new X3DPointFeedback(options));
            break;
        case kTrack:
            made.push_back(new X3DTrackFeedback(options));
            break;
        }
        break;
    }
    return made;
}

void X3DBaseRenderer::AddFeedbackItem(XMeasurementFeedback* inItem)
{
    {
        XLock lock(itsRenderMutex);
        XRenderer::AddFeedbackItem(inItem);
        auto* regions = dynamic_cast<X3DRegionMeasurementFeedback*>(inItem);
        auto* volume = dynamic_cast<X3DVolumeNode*>(GetVolumeNode());
        if (regions && volume && !itsRegionMeshes.contains(inItem))
            itsRegionMeshes[inItem] = regions->MakeIsoMesh(*volume);
        auto* feedback = dynamic_cast<X3DSceneFeedback*>(inItem);
        if (feedback && !itsFeedbackNodes.contains(inItem)) {
            X3DSceneNode& node = feedback->GetSceneNode();
            GetFeedbackParentNode()->AddChild(node);
            itsFeedbackNodes[inItem] = &node;
        }
    }
    if (XThread::IsMainThread())
        RefreshRenderer();
}

void X3DBaseRenderer::RemoveFeedbackItem(XMeasurementFeedback* inItem)
{
    {
        XLock lock(itsRenderMutex);
        XRenderer::RemoveFeedbackItem(inItem);
        if (auto mesh = itsRegionMeshes.find(inItem); mesh != itsRegionMeshes.end()) {
            X3DGC& gc = Get3DGC();
            X3DGCScopedLock deviceLock(gc);
            if (X3DVolumeNode* owner = mesh->second->GetOwner())
                owner->RemoveIsoData(mesh->second.get());
            mesh->second->UnloadGraphicsResources(gc);
            itsRegionMeshes.erase(mesh);
        }
        auto found = itsFeedbackNodes.find(inItem);
        if (found != itsFeedbackNodes.end()) {
            X3DSceneNode& node = *found->second;
            if (X3DSceneNode* parent = node.GetParent())
                parent->RemoveChild(node);
            X3DGC& gc = Get3DGC();
            X3DGCScopedLock deviceLock(gc);
            node.UnloadGraphicsResources(gc);
            itsFeedbackNodes.erase(found);
        }
    }
    if (XThread::IsMainThread())
        RefreshRenderer();
}

void X3DBaseRenderer::UpdateROISelectionFeedback() { RefreshRenderer(); }

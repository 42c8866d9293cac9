#pragma once
// Measured regions shown as surfaces: the feedback keeps one instance per region (a
// box for a region without a mask, else a placeholder until its job delivers the
// surface), makes the surfaces on its own job queue and gives every instance to each
// of its meshes, one mesh per volume node that shows it. As a view's feedback item it
// is handed to the view's volume node.
#include "X3DIsosurfaceMesh.h"
#include "X3DRegion.h"
#include "XJobQueue.h"
#include "XMeasurementFeedback.h"
#include "XMutex.h"
#include "XVector.h"

#include <cstdint>
#include <functional>
#include <memory>

class X3DRegionFeedbackIsoMesh;
class X3DVolumeNode;
class XMeasurementsFeedbackHelper;

class X3DRegionMeasurementFeedback : public XMeasurementFeedback {
public:
    using XInstance = X3DIsosurfaceMesh::XIsoMeshInstance;
    // Whether a region is shown (the display test); all are when none is set.
    using XDisplayTest = std::function<bool(size_t inIndex, const X3DRegion& inRegion)>;

    // inResampleFactor: how finely each axis of a region's mask is sampled for its surface.
    explicit X3DRegionMeasurementFeedback(const float inResampleFactor[3] = nullptr,
                                          const XMeasurementsFeedbackHelper* inHelper = nullptr);
    // Cancels and waits for the jobs; meshes still alive stop hearing from it.
    ~X3DRegionMeasurementFeedback() override;
    X3DRegionMeasurementFeedback(const X3DRegionMeasurementFeedback&) = delete;
    X3DRegionMeasurementFeedback& operator=(const X3DRegionMeasurementFeedback&) = delete;

    // Replaces the regions; with bUseMasks false every region is drawn as its box.
    // Regions keep their instances by index: call before the first update.
    void SetRegions(const XVector<X3DRegion>& inRegions, bool inUseMasks = true);
    void SetDisplayTest(XDisplayTest inTest);

    // A mesh for inNode, holding every instance made so far, added to the node. The
    // caller owns it; the node lets go of it when it is destroyed.
    std::unique_ptr<X3DRegionFeedbackIsoMesh> MakeIsoMesh(X3DVolumeNode& inNode);

    // Makes instances (and jobs) for regions shown for the first time and passes on
    // changes of the display test. True when any mesh was changed.
    bool UpdateRegionList();

    // From a job: the surface of region inIndex, given to every mesh.
    void DeliverInstance(uint64_t inIndex, const XInstance& inInstance);
    XInstance GetInstance(uint64_t inIndex) const;

    XJobQueue& GetJobQueue() { return itsJobQueue; }
    const float* GetResampleFactor() const { return itsResampleFactor; }
    XMutex& GetMutex() const { return itsMutex; }

private:
    friend class X3DRegionFeedbackIsoMesh;
    void RemoveMesh(X3DRegionFeedbackIsoMesh* inMesh);
    void GiveToMeshes(uint64_t inIndex, const XInstance& inInstance);
    bool IsShown(size_t inIndex) const;

    float itsResampleFactor[3] = {1, 1, 1};
    const XMeasurementsFeedbackHelper* itsHelper;
    mutable XMutex itsMutex{4000};
    XVector<X3DRegion> itsRegions;
    bool itsUseMasks = true;
    XDisplayTest itsDisplayTest;
    XVector<XInstance> itsInstances;
    XVector<X3DRegionFeedbackIsoMesh*> itsMeshes;
    XJobQueue itsJobQueue;
};

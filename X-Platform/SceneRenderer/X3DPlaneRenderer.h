#pragma once
// "3D Planes": three orthogonal slices of a multichannel volume (XY at a depth, XZ at
// a row, YZ at a column), each the merge of the shown channels, framed in red, green
// and blue, with the channels that are one plane deep shown as reference planes at
// their own depth, inside the scene of the scene renderer base.
//
// Scene states beyond the base's: 8 (planes shown when exactly 1.0), 19, 20, 21 (YZ,
// XZ and XY positions as fractions of width, height and depth), 29 (merge: 0 maximum,
// 1 average, 2 combine), and per channel ~0 (shown), 501 (merge weight) and 502
// (reference-plane opacity). A change remakes only the slices it touches.
#include "X3DBaseRenderer.h"
#include "X3DPlaneContent.h"
#include "X3DXYZRendererNode.h"
#include "XVector.h"

#include <cstdint>
#include <memory>
#include <vector>

class X3DPlaneRenderer : public X3DBaseRenderer {
public:
    // Channel modes: a channel that is sliced, and one shown as a reference plane.
    enum XChannelMode : uint32_t { kChannelModeSliced = 0, kChannelModeReferencePlane = 8 };

    explicit X3DPlaneRenderer(const boost::shared_ptr<XImageDataSource>& inSource);
    ~X3DPlaneRenderer() override;

    // The single mode of the channel: 8 when it is one plane deep, else 0.
    XVector<uint32_t> GetSupportedChannelModes(uint32_t inChannel) const;
    const X3DXYZRendererNode& GetPlaneNode() const { return itsPlaneNode; }
    // Slice textures made so far.
    uint64_t GetSliceTexturesMade() const { return itsContent.GetSliceTexturesMade(); }

protected:
    ::X3DSceneNode* GetVolumeNode() override { return &itsPlaneNode; }
    void InitialiseSceneGraphSelf(X3DGC& inGC, ::X3DSceneNode& inRoot, ::X3DSceneNode& inWorld) override;
    void SetCurrentTimepointSelf(uint32_t inTimepoint) override;
    void HandleImageDataChangedSelf() override;
    void SetSceneStateSelf(const XRendererSceneState& inState) override;
    bool IsSceneStateSupportedSelf(XRendererStateName inName) const override;
    void SetVolumeQualitySelf(uint32_t inQuality) override;

    uint64_t GetSelectedPlaneXY() const { return itsContent.GetSettings().GetPlane(X3DPlaneImages::kAxisXY); }
    uint64_t GetSelectedPlaneXZ() const { return itsContent.GetSettings().GetPlane(X3DPlaneImages::kAxisXZ); }
    uint64_t GetSelectedPlaneYZ() const { return itsContent.GetSettings().GetPlane(X3DPlaneImages::kAxisYZ); }
    // Remakes the three slices and the reference planes (render mutex and device held inside).
    void RebuildRendererNode();
    void BuildReferencePlanes();

private:
    X3DXYZRendererNode itsPlaneNode;
    X3DPlaneContent itsContent{itsPlaneNode};
    bool itsHasContent = false; // the data was taken in (the scene is built)
};

#pragma once
// A scene node that shows a volume of the image data source in voxel coordinates:
// its world transform puts the centre of the source's bounds at the node's origin and
// scales each axis by voxel size / D, D being the physical length of the bounds'
// diagonal, so that every volume, whatever its size and calibration, spans a
// diagonal of length 1. Children are placed in the same voxel coordinates.
// It draws the isosurfaces given to it and, when asked, the outline of its bounds.
#include "X3DIsosurfaceMeshBase.h"
#include "X3DRect.h"
#include "X3DSceneNode.h"
#include "XPtrVector.h"

#include <cstdint>

class XImageDataSource;

class X3DVolumeNode : public X3DSceneNode {
public:
    // Export images are made at final quality.
    enum XRenderQuality : uint32_t { kQualityInteractive = 0, kQualityFinal = 1 };

    X3DVolumeNode();
    // Meshes still held are released from the node (not deleted).
    ~X3DVolumeNode() override;

    void UpdateGeometry(const XMatrix_4x4<float>& inParentWorld, const XSceneRenderState& inState) override;

    // Reads the bounds and calibration of the source (which must outlive the node or
    // be replaced) and lets the subclass take the data in.
    void SetDataSource(const XImageDataSource& inSource, const X3DGC& inGC);
    // Reported ("itsDataSource") when there is none; do not use the result then.
    const XImageDataSource& GetDataSource() const;
    bool HasDataSource() const;
    // A different timepoint makes the subclass take the data in again.
    void SetCurrentTimepoint(unsigned long inTimepoint, const X3DGC& inGC);
    uint32_t GetCurrentTimepoint() const;

    X3DRect GetBounds() const;
    double GetCalibrationX() const;
    double GetCalibrationY() const;
    double GetCalibrationZ() const;
    // Voxel coordinates to node coordinates (centred, diagonal of length 1).
    XMatrix_4x4<float> GetVoxelTransform() const;

    void SetQuality(XRenderQuality inQuality);
    XRenderQuality GetQuality() const;
    void SetBoundsVisible(bool inVisible);
    bool GetBoundsVisible() const;

    // The node becomes owner of the meshes it holds (and stops being so when they leave).
    virtual void RemoveIsoData(X3DIsosurfaceMeshBase* inMesh);
    virtual void AddIsoData(X3DIsosurfaceMeshBase* inMesh);
    virtual void SetIsoData(XPtrVector<X3DIsosurfaceMeshBase>& inMeshes);
    XPtrVector<X3DIsosurfaceMeshBase> GetIsoData() const;

protected:
    void LoadGraphicsResourcesSelf(X3DGC& inGC) override;
    // Unloads and lets go of every mesh.
    void UnloadGraphicsResourcesSelf(X3DGC& inGC) override;
    void RenderSelf(X3DGC& inGC, const XSceneRenderState& inState) override;
    // The source's bounds, in voxel coordinates.
    XBoundingBox UpdateLocalBounds() override;
    // The source or the timepoint changed (node mutex held).
    virtual void SetDataSourceSelf(const XImageDataSource& inSource, const X3DGC& inGC);

private:
    const XImageDataSource* itsDataSource = nullptr;
    uint32_t itsCurrentTimepoint = 1;
    double itsCalibration[3] = {1.0, 1.0, 1.0};
    X3DRect itsBounds;
    XPtrVector<X3DIsosurfaceMeshBase> itsIsosurfaceData;
    XRenderQuality itsQuality = kQualityInteractive;
    bool itsBoundsVisible = false;
};

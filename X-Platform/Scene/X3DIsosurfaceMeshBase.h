#pragma once
// What a volume node needs of the surfaces drawn inside it: an owner link, whether
// the surface takes part in a frame, drawing in the node's voxel coordinates and
// releasing its device resources. The meshes themselves live above the scene graph.
#include "XSceneRenderState.h"

class X3DGC;
class X3DVolumeNode;

class X3DIsosurfaceMeshBase {
public:
    virtual ~X3DIsosurfaceMeshBase() = default;

    X3DVolumeNode* GetOwner() const { return itsOwner; }
    void SetOwner(X3DVolumeNode* inOwner) { itsOwner = inOwner; }

    // Whether the mesh is drawn in a frame with this state.
    virtual bool ShouldRenderForFrameState(const XSceneRenderState& inState) const = 0;
    // Draws with the owner's world matrix set on the device (voxel coordinates).
    virtual void RenderInVolume(X3DGC& inGC, const XSceneRenderState& inState) = 0;
    virtual void UnloadGraphicsResources(X3DGC& inGC) = 0;

private:
    X3DVolumeNode* itsOwner = nullptr;
};

#pragma once
// The node of the planes view: three orthogonal slices of the volume (XY at a depth,
// XZ at a row, YZ at a column), each a textured quad through the centre of its voxel
// plane, framed in red (XY), green (XZ) and blue (YZ), and the reference planes of the
// channels that are one plane deep, blended back to front as the camera sees them.
// Everything is in the voxel coordinates of the source (see X3DVolumeNode).
#include "X3DVolumeNode.h"
#include "XVertexTypes.h"

#include <array>
#include <cstdint>
#include <map>
#include <vector>

class X3DIndexBuffer;
class X3DReferencePlane;
class X3DVertexBuffer;
class XTexture2D;

class X3DXYZRendererNode : public X3DVolumeNode {
public:
    enum XPlane : uint32_t { kPlaneXY = 0, kPlaneXZ = 1, kPlaneYZ = 2 };
    static constexpr uint32_t kVerticesPerPlane = 4;
    static constexpr uint32_t kIndicesPerPlane = 6;
    static constexpr uint32_t kOutlineVerticesPerPlane = 8;
    // Outlines are pulled this far towards the viewer so that the slices do not hide them.
    static constexpr float kOutlineDepthOffset = 0.1f;

    X3DXYZRendererNode();
    // Device resources must have been released before (UnloadGraphicsResources).
    ~X3DXYZRendererNode() override;

    // Takes the source and the plane indices (XY depth, XZ row, YZ column, counted
    // from the bounds' front, top and left) and builds the quads. With inReplace,
    // each non-null texture replaces the one of its plane (ownership passes; the old
    // one is destroyed), and three null textures destroy all three. Without it the
    // stored textures stay and the texture arguments must be null. Device locked.
    void Setup(X3DGC& inGC, const XImageDataSource& inSource, XTexture2D* inXY, XTexture2D* inXZ, XTexture2D* inYZ,
        uint64_t inPlaneXY, uint64_t inPlaneXZ, uint64_t inPlaneYZ, bool inReplace);
    uint64_t GetXYPlane() const;
    uint64_t GetXZPlane() const;
    uint64_t GetYZPlane() const;
    XTexture2D* GetTexture(XPlane inPlane) const;
    // Destroys the plane's texture: the slice is no longer drawn.
    void ClearTexture(X3DGC& inGC, XPlane inPlane);

    // The reference plane at depth offset inPlanePos gets the texture (ownership
    // passes), or is made when there is none there.
    void SetReferencePlane(const X3DRect& inVolumeBounds, X3DGC& inGC, unsigned long inPlanePos, XTexture2D* inTexture);
    // False when there is none at that position.
    bool RemoveReferencePlane(X3DGC& inGC, unsigned long inPlanePos);
    void DestroyAllReferencePlanes(X3DGC& inGC);
    // Ascending.
    std::vector<uint32_t> GetReferencePlanePositions() const;

    // The quads' vertices (4 a plane: XY, XZ, YZ), their indices (two triangles a
    // plane) and the outline (4 lines a plane), as built by the last Setup.
    const std::array<XVertexTypes::XVertexPositionTexture, 3 * kVerticesPerPlane>& GetPlaneVertices() const
    {
        return itsPlaneVertices;
    }
    static const std::array<uint16_t, 3 * kIndicesPerPlane>& GetPlaneIndices();
    const std::array<XVertexTypes::XVertexPositionColour, 3 * kOutlineVerticesPerPlane>& GetOutlineVertices() const
    {
        return itsOutlineVertices;
    }
    // The order in which the reference planes are drawn for a camera at inCameraDepth
    // (voxel coordinates): the far side first, the nearest last; a plane at the
    // camera's depth is left out.
    std::vector<uint32_t> GetReferenceDrawOrder(float inCameraDepth) const;

protected:
    void UnloadGraphicsResourcesSelf(X3DGC& inGC) override;
    void RenderSelf(X3DGC& inGC, const XSceneRenderState& inState) override;

private:
    void MakeBuffers(X3DGC& inGC);
    void RenderPlanes(X3DGC& inGC);
    void RenderOutlines(X3DGC& inGC);
    void RenderReferencePlanes(X3DGC& inGC, const XSceneRenderState& inState);

    std::array<XTexture2D*, 3> itsTextures{};
    std::array<uint64_t, 3> itsPlanes{};
    X3DVertexBuffer* itsPlaneVertexBuffer = nullptr;
    X3DVertexBuffer* itsOutlineVertexBuffer = nullptr;
    X3DIndexBuffer* itsPlaneIndexBuffer = nullptr;
    std::map<uint32_t, X3DReferencePlane*> itsReferencePlanes;
    std::array<XVertexTypes::XVertexPositionTexture, 3 * kVerticesPerPlane> itsPlaneVertices{};
    std::array<XVertexTypes::XVertexPositionColour, 3 * kOutlineVerticesPerPlane> itsOutlineVertices{};
};

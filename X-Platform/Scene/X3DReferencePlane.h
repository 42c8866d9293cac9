#pragma once
// A flat textured plane inside a volume: the picture of the channels that are one
// plane deep, drawn across the volume's XY bounds at the centre of its plane
// (front + position + 0.5), blended by the alpha its texture carries.
#include "X3DRect.h"

#include <cstdint>

class X3DGC;
class X3DIndexBuffer;
class X3DVertexBuffer;
class XTexture2D;

class X3DReferencePlane {
public:
    // Takes ownership of inTexture (which may be null) and builds the quad on the device.
    X3DReferencePlane(const X3DRect& inVolumeBounds, X3DGC& inGC, unsigned long inPlanePos, XTexture2D* inTexture);
    // The device resources must have been released (UnloadGraphicsResources) before.
    virtual ~X3DReferencePlane();
    X3DReferencePlane(const X3DReferencePlane&) = delete;
    X3DReferencePlane& operator=(const X3DReferencePlane&) = delete;

    // Replaces the texture (ownership passes); the old one is destroyed on the device.
    void SetTexture(XTexture2D* inTexture, X3DGC& inGC);
    bool HasTexture() const { return itsTexture != nullptr; }
    XTexture2D* GetTexture() const { return itsTexture; }
    uint32_t GetPlanePos() const { return itsPlanePos; }
    const X3DRect& GetVolumeBounds() const { return itsVolumeBounds; }
    // Depth of the quad in voxel coordinates.
    float GetDepth() const { return float(itsVolumeBounds.GetFront()) + float(itsPlanePos) + 0.5f; }

    // Draws the textured quad blended over what is there (nothing without a texture);
    // blending and texture unit 0 are put back.
    void Render(X3DGC& inGC);
    void UnloadGraphicsResources(X3DGC& inGC);

private:
    void MakeBuffers(X3DGC& inGC);

    XTexture2D* itsTexture = nullptr;
    uint32_t itsPlanePos = 0;
    X3DVertexBuffer* itsVertexBuffer = nullptr;
    X3DIndexBuffer* itsIndexBuffer = nullptr;
    X3DRect itsVolumeBounds;
};

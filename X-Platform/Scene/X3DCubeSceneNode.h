#pragma once
// A solid cube from -0.5 to 0.5 on every axis: 36 vertices, two triangles a face,
// counter-clockwise seen from outside, each vertex with its face's outward normal.
// Faces in generation order are white, red, blue, green, yellow and white. The
// vertices go into a device buffer on first draw, destroyed when the node's
// resources are unloaded.
#include "X3DSceneNode.h"

#include <array>

class X3DVertexBuffer;

class X3DCubeSceneNode : public X3DSceneNode {
public:
    using XVertices = std::array<XVertexTypes::XVertexPositionColourNormal, 36>;

    X3DCubeSceneNode();
    // A buffer left unloaded is reported: it needs its device to go.
    ~X3DCubeSceneNode() override;
    X3DCubeSceneNode(const X3DCubeSceneNode&) = delete;
    X3DCubeSceneNode& operator=(const X3DCubeSceneNode&) = delete;

    static const XVertices& GetVertices();

protected:
    void RenderSelf(X3DGC& inGC, const XSceneRenderState& inState) override;
    void UnloadGraphicsResourcesSelf(X3DGC& inGC) override;

private:
    X3DVertexBuffer* itsVertexBuffer = nullptr;
};

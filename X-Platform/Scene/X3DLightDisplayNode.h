#pragma once
// The light marker: a small white block with a cone at the end that faces the scene
// origin, placed at the light position, and a line from it to the origin. Lit from
// the viewer. Sizes are in the node's units before its scale of 0.075.
#include "X3DSceneNode.h"
#include "XShader.h"

#include <memory>

class X3DLightDisplayNode : public X3DSceneNode {
public:
    static constexpr float kScale = 0.075f;
    // Closer to the origin than this, a light has no direction of its own; the marker
    // then points along -z at the origin.
    static constexpr float kMinimumRadius = 1e-6f;

    X3DLightDisplayNode();
    // A copy is a node like the original without its programs (made when drawn).
    X3DLightDisplayNode(const X3DLightDisplayNode& inOther);
    X3DLightDisplayNode& operator=(const X3DLightDisplayNode& inOther);
    ~X3DLightDisplayNode() override;

    // The rotation (rows r0, r1, n, row vectors) that turns the node's +z onto the
    // direction n of inPosition from the origin: r0 = n x (1, 0, 0), or n x (0, 1, 0)
    // when that vanishes; r1 = n x r0.
    static XMatrix_4x4<float> MakeOrientation(const XMathVectorF3& inPosition);
    // The scene origin in the node's own units, for a node at inPosition scaled by
    // inScale (rotation aside, which the line is drawn before).
    static XMathVectorF3 GetOriginInNodeSpace(const XMathVectorF3& inPosition, const XMathVectorF3& inScale);

protected:
    void LoadGraphicsResourcesSelf(X3DGC& inGC) override;
    void UnloadGraphicsResourcesSelf(X3DGC& inGC) override;
    void RenderSelf(X3DGC& inGC, const XSceneRenderState& inState) override;

private:
    std::unique_ptr<XShader> itsVertexShader;
    std::unique_ptr<XShader> itsFragmentShader;
};

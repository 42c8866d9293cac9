#pragma once
// A node of the scene graph drawn through the graphics device. Its local transform
// is scale, then rotation, then translation (points are row vectors); UpdateGeometry
// makes its world transform and bounds, Render draws its children and then itself,
// wrapped in the PreRender and PostRender of its attachments.
//
// Each node guards itself with its own mutex, taken parent before child, so that the
// tree can be edited on one thread while another draws it. Accessors return copies.
// A node does not own its children; it owns its attachments.
#include "XARGB32Colour.h"
#include "XBoundingBox.h"
#include "XMathVector.h"
#include "XMatrix_4x4.h"
#include "XMutex.h"
#include "XPtrVector.h"
#include "XQuaternion.h"
#include "XSceneRenderState.h"
#include "XVector.h"
#include "XVertexTypes.h"

#include <cstdint>
#include <vector>

class X3DGC;
class X3DSceneNodeAttachment;
class XShader;

class X3DSceneNode {
public:
    using XSceneRenderState = ::XSceneRenderState;

    // Detached, visible, at the origin with scale 1 and no rotation.
    X3DSceneNode();
    // A copy takes the transform, visibility, bounds and culling flag; it starts
    // outside the tree, without children and without attachments (those have one
    // owner and one parent).
    X3DSceneNode(const X3DSceneNode& inOther);
    X3DSceneNode& operator=(const X3DSceneNode& inOther);
    // Deletes the attachments, detaches the children and leaves the parent.
    virtual ~X3DSceneNode();

    // World = local x parent world; bounds of the node and its subtree in world space.
    virtual void UpdateGeometry(const XMatrix_4x4<float>& inParentWorld, const XSceneRenderState& inState);
    // Draws the subtree: children first, then RenderSelf in the passes the node takes
    // part in. Device state changed by the attachments and the world matrix are put
    // back also when drawing throws or the thread is cancelled.
    virtual void Render(X3DGC& inGC, const XSceneRenderState& inState);
    // Passed up to the root, which schedules a redraw (immediately when asked).
    virtual void RefreshScene(bool inImmediate);
    // How many render passes this node draws in (1: pass 0 only).
    virtual uint32_t GetMaxRenderPassCount() const;
    // Sets "ModelViewProj" of the vertex program, when it has one, to world x view x
    // projection of the state's camera. Subclasses add their own uniforms.
    virtual void ProgramShaders(XShader& inVertex, XShader& inFragment, const XSceneRenderState& inState);

    // Tree. A node with a parent, a node already here, this node or one of its
    // ancestors is refused (reported) and nothing changes.
    void AddChild(X3DSceneNode& inNode);
    // A node that is not a child is refused (reported).
    void RemoveChild(X3DSceneNode& inNode);
    XPtrVector<X3DSceneNode> GetChildren() const;
    bool HasChildren() const;
    X3DSceneNode* GetParent() const;
    bool HasParent() const;
    // Every descendant without children, depth first in child order.
    XPtrVector<X3DSceneNode> GetLeafNodes() const;

    // Transform.
    void SetPosition(const XMathVectorF3& inPosition);
    XMathVectorF3 GetPosition() const;
    void SetScale(const XMathVectorF3& inScale);
    XMathVectorF3 GetScale() const;
    void SetRotation(const XQuaternion& inRotation);
    XQuaternion GetRotation() const;
    XMatrix_4x4<float> GetLocalTransform() const;
    // As of the last UpdateGeometry.
    XMatrix_4x4<float> GetWorldTransform() const;

    // Bounds and visibility (world bounds as of the last UpdateGeometry).
    XBoundingBox GetLocalBounds() const;
    XBoundingBox GetWorldBounds() const;
    void SetVisible(bool inVisible);
    bool IsVisible() const;
    // When set, the children and the node itself are not drawn while the subtree's
    // world bounds lie outside the camera's view volume (attachments still run).
    void SetCullChildrenAgainstFrustum(bool inCull);
    bool IsCullChildrenAgainstFrustum() const;
    bool HasRenderedSinceUpdate() const;

    // Attachments. The node takes ownership of an attachment given to it (make it
    // with new); one that is here already or hangs on another node is refused
    // (reported). RemoveAttachment hands ownership back; one not here is refused.
    void AddAttachment(X3DSceneNodeAttachment& inAttachment);
    void RemoveAttachment(X3DSceneNodeAttachment& inAttachment);
    size_t GetAttachmentCount() const;

    // Frame.
    // The largest GetMaxRenderPassCount in the subtree: how many passes the renderer runs.
    uint32_t GetSceneRenderPassCount() const;
    // Make and release device resources of the subtree, with inGC locked.
    void LoadGraphicsResources(X3DGC& inGC);
    void UnloadGraphicsResources(X3DGC& inGC);
    // Holds the whole subtree, top-down, for an editor that changes several nodes as
    // one step; Unlock releases exactly what the matching Lock took.
    void Lock();
    void Unlock();

    // Box outlines for subclasses: 24 vertices (12 edges as a line list) a box.
    static void RenderBox(X3DGC& inGC, const XBoundingBox& inBox);
    // All boxes in one line-list draw: box i in colour i while colours last, then in
    // the last colour (white with no colours). The vertex definition is put back.
    static void BatchRenderBoxes(X3DGC& inGC, const XVector<XBoundingBox>& inBoxes, const XVector<XARGB32Colour>& inColours);
    static void AddBoxVerticies(const XBoundingBox& inBox, const XARGB32Colour& inColour,
        XVector<XVertexTypes::XVertexPositionColour>& outVertices);

protected:
    // Makes the local transform from position, rotation and scale (node mutex held).
    void UpdateTransform();

    virtual void LoadGraphicsResourcesSelf(X3DGC& inGC);
    virtual void UnloadGraphicsResourcesSelf(X3DGC& inGC);
    // The attachments' PreRender in order; PostRender in reverse order. When an
    // attachment's PreRender throws, those before it are unwound first.
    virtual void PreRender(X3DGC& inGC, const XSceneRenderState& inState);
    virtual void PostRender(X3DGC& inGC, const XSceneRenderState& inState);
    // The node's own drawing, in node space (the device's world matrix is the node's).
    virtual void RenderSelf(X3DGC& inGC, const XSceneRenderState& inState);
    // The node's own extent in node space; the unit box around the origin by default.
    virtual XBoundingBox UpdateLocalBounds();

    // The node mutex, for subclasses' own state (recursive: held already inside
    // UpdateGeometry, Render and the resource calls).
    XMutex& GetNodeMutex() const { return itsMutex; }

private:
    // Whether inNode is this node or one of its ancestors (locks each briefly, one at a time).
    bool IsSelfOrAncestor(const X3DSceneNode& inNode) const;
    void CollectLeaves(XPtrVector<X3DSceneNode>& outLeaves) const;
    void LockSubtree(std::vector<X3DSceneNode*>& outLocked);
    void UnwindAttachments(X3DGC& inGC, size_t inCount) noexcept;

    mutable XMutex itsMutex{4000, false};
    X3DSceneNode* itsParent = nullptr;
    XPtrVector<X3DSceneNode> itsChildren;
    XMathVectorF3 itsPosition;
    XMathVectorF3 itsScale{1.0f, 1.0f, 1.0f};
    XQuaternion itsRotation = XQuaternion::kIdentity;
    XMatrix_4x4<float> itsLocalTransform;
    XMatrix_4x4<float> itsWorldTransform;
    bool itsVisible = true;
    XBoundingBox itsLocalBounds{XMathVectorF3(-0.5f, -0.5f, -0.5f), XMathVectorF3(0.5f, 0.5f, 0.5f)};
    XBoundingBox itsWorldBounds;
    bool itsCullChildrenAgainstFrustum = false;
    XPtrVector<X3DSceneNodeAttachment> itsAttachments;
    bool itsRenderedSinceUpdate = false;
    // What each unmatched Lock took, innermost last.
    std::vector<std::vector<X3DSceneNode*>> itsSubtreeLocks;
};

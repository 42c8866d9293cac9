#pragma once
// Something hung on a scene node that changes device state around the node's
// drawing: PreRender before the node and its children draw, PostRender after, in
// reverse order of the node's attachments. The node owns its attachments.
class X3DGC;
class X3DSceneNode;

class X3DSceneNodeAttachment {
public:
    X3DSceneNodeAttachment() = default;
    virtual ~X3DSceneNodeAttachment() = default;
    X3DSceneNodeAttachment(const X3DSceneNodeAttachment&) = delete;
    X3DSceneNodeAttachment& operator=(const X3DSceneNodeAttachment&) = delete;

    virtual void PreRender(X3DGC& inGC, X3DSceneNode& inNode);
    virtual void PostRender(X3DGC& inGC, X3DSceneNode& inNode);

    // The node it hangs on, or null.
    X3DSceneNode* GetHost() const { return itsHost; }

private:
    friend class X3DSceneNode;
    X3DSceneNode* itsHost = nullptr;
};

#pragma once
// A node of the legacy drawing graph: a local transform (rotation, uniform scale,
// translation), visibility, ordered children, parents (a node may hang under several,
// e.g. one scene in two windows) and owned attachments that change OpenGL state
// around the node's drawing. Every node guards itself with its own recursive mutex;
// locks are taken parent before child.
#include "XGLMatrix.h"
#include "XMutex.h"
#include "XPtrVector.h"

class XGLAttachment;
class XGLContext;

class XGLRenderable {
public:
    XGLRenderable();
    // Copies take the transform, visibility and auto-delete flag; the copy starts
    // outside the graph, with no attachments, children or parents (sharing them
    // would break the parent/child invariant and the attachments' single owner).
    XGLRenderable(const XGLRenderable& inOther);
    XGLRenderable& operator=(const XGLRenderable& inOther);
    virtual ~XGLRenderable();

    virtual void Render(XGLRenderable& inFrom);
    virtual bool IsBoundedObject() const { return true; }
    virtual void SetVisible(bool inVisible);
    virtual bool IsVisible() const;
    virtual void AddChild(XGLRenderable& inChild);
    // Inserts at min(inPos, child count).
    virtual void AddChild(XGLRenderable& inChild, unsigned long inPos);
    virtual XGLRenderable* GetChild(unsigned long inPos) const;
    virtual void RemoveChild(XGLRenderable& inChild);
    virtual XPtrVector<XGLRenderable> GetChildren();
    virtual const XPtrVector<XGLRenderable>& GetParents() const { return itsParents; }
    // Asks the windows above to redraw (main thread only; elsewhere it does nothing).
    virtual void RefreshScene(bool inRedrawNow);
    // Takes ownership.
    virtual void AddAttachment(XGLAttachment* inAttachment);
    // Gives ownership back; the attachment is not deleted.
    virtual void RemoveAttachment(XGLAttachment* inAttachment);
    // Identity rotation, zero translation, scale 1.
    virtual void Reset();

    void SetRotation(const XGLMatrix& inRotation);
    const XGLMatrix& GetRotation() const { return itsRotation; }
    XGLMatrix& GetRotation() { return itsRotation; }
    // rotation ← rotation · m: the turn happens in the node's own axes.
    void MulRotation(const X3DMatrix& inMatrix);
    void SetScale(double inScale);
    double GetScale() const;
    void SetTranslation(double inX, double inY, double inZ);
    double GetXTranslation() const;
    double GetYTranslation() const;
    double GetZTranslation() const;
    const XGLMatrix& GetLastWorldToScreenMatrix() const { return itsLastWorldToScreenMatrix; }
    // The node's own lock, for callers that must read and change its matrices as one step.
    XMutex& GetMutex() const { return itsMutex; }
    // When set the node deletes itself as soon as it loses its last parent.
    void SetAutoDelete(bool inAutoDelete);
    bool GetAutoDelete() const;
    // Every GL context above this node, once per path that leads to it.
    XPtrVector<XGLContext> GetContexts();
    size_t GetAttachmentCount() const;

protected:
    virtual void RenderSelf(XGLRenderable& inFrom);
    // Further transform of the node's frame, applied after its own matrix and before
    // its attachments, children and RenderSelf.
    virtual void TransformSelf() {}
    virtual void AddParent(XGLRenderable& inParent);
    virtual void RemoveParent(XGLRenderable& inParent);

    mutable XMutex itsMutex;

private:
    bool itsVisible = true;
    bool itsAutoDelete = false;
    XGLMatrix itsRotation;
    double itsScale = 1.0;
    double itsTranslation[3] = {0.0, 0.0, 0.0};
    XPtrVector<XGLRenderable> itsChildren;
    XPtrVector<XGLAttachment> itsAttachments;
    XPtrVector<XGLRenderable> itsParents;
    XGLMatrix itsLastWorldToScreenMatrix;
};

#include "XGLRenderable.h"
#include "XAssert.h"
#include "XGLAttachment.h"
#include "XGLContext.h"
#include "XLock.h"
#include "XOpenGL.h"
#include "XThread.h"

XGLRenderable::XGLRenderable() : itsMutex(4000, false) {}

XGLRenderable::XGLRenderable(const XGLRenderable& inOther) : itsMutex(4000, false)
{
    XLock lock(inOther.itsMutex);
    itsVisible = inOther.itsVisible;
    itsAutoDelete = inOther.itsAutoDelete;
    itsRotation = inOther.itsRotation;
    itsScale = inOther.itsScale;
    for (int i = 0; i < 3; ++i)
        itsTranslation[i] = inOther.itsTranslation[i];
    itsLastWorldToScreenMatrix = inOther.itsLastWorldToScreenMatrix;
}

XGLRenderable& XGLRenderable::operator=(const XGLRenderable& inOther)
{
    if (this == &inOther)
        return *this;
    // Only the node's own values: its place in the graph and its attachments stay.
    XGLMatrix rotation, lastMatrix;
    bool visible, autoDelete;
    double scale, translation[3];
    {
        XLock lock(inOther.itsMutex);
        visible = inOther.itsVisible;
        autoDelete = inOther.itsAutoDelete;
        rotation = inOther.itsRotation;
        scale = inOther.itsScale;
        for (int i = 0; i < 3; ++i)
            translation[i] = inOther.itsTranslation[i];
        lastMatrix = inOther.itsLastWorldToScreenMatrix;
    }
    XLock lock(itsMutex);
    itsVisible = visible;
    itsAutoDelete = autoDelete;
    itsRotation = rotation;
    itsScale = scale;
    for (int i = 0; i < 3; ++i)
        itsTranslation[i] = translation[i];
    itsLastWorldToScreenMatrix = lastMatrix;
    return *this;
}

XGLRenderable::~XGLRenderable()
{
    XPtrVector<XGLRenderable> children, parents;
    {
        XLock lock(itsMutex);
        for (XGLAttachment* attachment : itsAttachments)
            delete attachment;
        itsAttachments.clear();
        itsAutoDelete = false; // losing the last parent below must not delete us again
        children = itsChildren;
        itsChildren.clear();
        parents = itsParents;
    }
    for (XGLRenderable* child : children)
        child->RemoveParent(*this);
    for (XGLRenderable* parent : parents)
        parent->RemoveChild(*this);
}

void XGLRenderable::Render(XGLRenderable& inFrom)
{
    XLock lock(itsMutex);
    if (!IsVisible())
        return;
    glPushMatrix();
    XGLMatrix local;
    local.Translate(itsTranslation[0], itsTranslation[1], itsTranslation[2]);
    local = XGLMatrix(static_cast<const X3DMatrix&>(local) * itsRotation);
    local.Scale(itsScale);
    XGLMatrix::MulMatrix(local);
    // Pop the matrix even when a child or an attachment throws.
    struct PopOnExit {
        ~PopOnExit() { glPopMatrix(); }
    } popOnExit;
    TransformSelf();
    size_t begun = 0;
    try {
        for (XGLAttachment* attachment : itsAttachments) {
            attachment->PreRender();
            ++begun;
        }
        itsLastWorldToScreenMatrix = XGLMatrix::GetWorldToScreenMatrix();
        for (XGLRenderable* child : itsChildren)
            child->Render(*this);
        RenderSelf(inFrom);
    } catch (...) {
        // Undo what the attachments switched, so a failed drawing leaves the state as it
        // found it; the first failure is the one worth reporting.
        while (begun > 0) {
            try {
                itsAttachments[--begun]->PostRender();
            } catch (...) {
            }
        }
        throw;
    }
    for (auto it = itsAttachments.rbegin(); it != itsAttachments.rend(); ++it)
        (*it)->PostRender();
}

void XGLRenderable::RenderSelf(XGLRenderable&) {}

void XGLRenderable::SetVisible(bool inVisible)
{
    XLock lock(itsMutex);
    itsVisible = inVisible;
}

bool XGLRenderable::IsVisible() const
{
    XLock lock(itsMutex);
    return itsVisible;
}

void XGLRenderable::AddChild(XGLRenderable& inChild)
{
    XLock lock(itsMutex);
    itsChildren.push_back(&inChild);
    inChild.AddParent(*this);
    RefreshScene(false);
}

void XGLRenderable::AddChild(XGLRenderable& inChild, unsigned long inPos)
{
    XLock lock(itsMutex);
    size_t at = std::min<size_t>(inPos, itsChildren.size());
    itsChildren.insert(itsChildren.begin() + std::ptrdiff_t(at), &inChild);
    inChild.AddParent(*this);
    RefreshScene(false);
}

XGLRenderable* XGLRenderable::GetChild(unsigned long inPos) const
{
    XLock lock(itsMutex);
    X_ASSERT_TEXT(inPos < itsChildren.size(), "pos < itsChildren.size()");
    return inPos < itsChildren.size() ? itsChildren[inPos] : nullptr;
}

void XGLRenderable::RemoveChild(XGLRenderable& inChild)
{
    XLock lock(itsMutex);
    if (!itsChildren.Remove(&inChild))
        return;
    inChild.RemoveParent(*this);
    RefreshScene(false);
}

XPtrVector<XGLRenderable> XGLRenderable::GetChildren()
{
    XLock lock(itsMutex);
    return itsChildren;
}

void XGLRenderable::RefreshScene(bool inRedrawNow)
{
    if (!XThread::IsMainThread())
        return;
    // Forward outside the lock: a parent that redraws at once takes its own lock
    // and then ours, top-down.
    XPtrVector<XGLRenderable> parents;
    {
        XLock lock(itsMutex);
        parents = itsParents;
    }
    for (XGLRenderable* parent : parents)
        parent->RefreshScene(inRedrawNow);
}

void XGLRenderable::AddAttachment(XGLAttachment* inAttachment)
{
    if (!inAttachment)
        return;
    XLock lock(itsMutex);
    itsAttachments.push_back(inAttachment);
    inAttachment->SetRenderable(this);
    RefreshScene(false);
}

void XGLRenderable::RemoveAttachment(XGLAttachment* inAttachment)
{
    XLock lock(itsMutex);
    if (itsAttachments.Remove(inAttachment))
        inAttachment->SetRenderable(nullptr);
    RefreshScene(false);
}

void XGLRenderable::Reset()
{
    XLock lock(itsMutex);
    itsRotation = XGLMatrix();
    itsTranslation[0] = itsTranslation[1] = itsTranslation[2] = 0.0;
    itsScale = 1.0;
}

void XGLRenderable::SetRotation(const XGLMatrix& inRotation)
{
    XLock lock(itsMutex);
    itsRotation = inRotation;
}

void XGLRenderable::MulRotation(const X3DMatrix& inMatrix)
{
    XLock lock(itsMutex);
    itsRotation = XGLMatrix(static_cast<const X3DMatrix&>(itsRotation) * inMatrix);
}

void XGLRenderable::SetScale(double inScale)
{
    XLock lock(itsMutex);
    itsScale = inScale;
}

double XGLRenderable::GetScale() const
{
    XLock lock(itsMutex);
    return itsScale;
}

void XGLRenderable::SetTranslation(double inX, double inY, double inZ)
{
    XLock lock(itsMutex);
    itsTranslation[0] = inX;
    itsTranslation[1] = inY;
    itsTranslation[2] = inZ;
}

double XGLRenderable::GetXTranslation() const
{
    XLock lock(itsMutex);
    return itsTranslation[0];
}

double XGLRenderable::GetYTranslation() const
{
    XLock lock(itsMutex);
    return itsTranslation[1];
}

double XGLRenderable::GetZTranslation() const
{
    XLock lock(itsMutex);
    return itsTranslation[2];
}

void XGLRenderable::SetAutoDelete(bool inAutoDelete)
{
    XLock lock(itsMutex);
    itsAutoDelete = inAutoDelete;
}

bool XGLRenderable::GetAutoDelete() const
{
    XLock lock(itsMutex);
    return itsAutoDelete;
}

size_t XGLRenderable::GetAttachmentCount() const
{
    XLock lock(itsMutex);
    return itsAttachments.size();
}

XPtrVector<XGLContext> XGLRenderable::GetContexts()
{
    XPtrVector<XGLRenderable> walk;
    {
        XLock lock(itsMutex);
        walk = itsParents;
    }
    size_t at = 0;
    while (at < walk.size()) {
        if (dynamic_cast<XGLContext*>(walk[at])) {
            ++at;
            continue;
        }
        XPtrVector<XGLRenderable> above = walk[at]->GetParents();
        walk.erase(walk.begin() + std::ptrdiff_t(at));
        walk.insert(walk.begin() + std::ptrdiff_t(at), above.begin(), above.end());
    }
    XPtrVector<XGLContext> contexts;
    for (XGLRenderable* node : walk)
        contexts.push_back(static_cast<XGLContext*>(node));
    return contexts;
}

void XGLRenderable::AddParent(XGLRenderable& inParent)
{
    XLock lock(itsMutex);
    itsParents.push_back(&inParent);
}

void XGLRenderable::RemoveParent(XGLRenderable& inParent)
{
    bool deleteSelf = false;
    {
        XLock lock(itsMutex);
        size_t at = itsParents.Find(&inParent);
        X_ASSERT_TEXT(at != XPtrVector<XGLRenderable>::npos, "i != itsParents.end()");
        if (at == XPtrVector<XGLRenderable>::npos)
            return;
        itsParents.erase(itsParents.begin() + std::ptrdiff_t(at));
        deleteSelf = itsAutoDelete && itsParents.empty();
    }
    if (deleteSelf)
        delete this;
}

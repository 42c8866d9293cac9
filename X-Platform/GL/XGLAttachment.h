#pragma once
// Changes OpenGL state around a renderable's drawing: PreRender before its
// children and itself, PostRender after. Owned by the renderable it is attached to.
class XGLRenderable;

class XGLAttachment {
public:
    XGLAttachment() = default;
    XGLAttachment(const XGLAttachment&) = default;
    XGLAttachment& operator=(const XGLAttachment&) = default;
    virtual ~XGLAttachment() = default;
    virtual void PreRender() {}
    virtual void PostRender() {}

    XGLRenderable* GetRenderable() const { return itsRenderable; }
    void SetRenderable(XGLRenderable* inRenderable) { itsRenderable = inRenderable; }

private:
    XGLRenderable* itsRenderable = nullptr;
};

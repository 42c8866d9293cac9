#pragma once
// Three unit axis lines from the origin: x red, y green, z blue, unlit.
#include "XGLRenderable.h"

class XGLXYZ : public XGLRenderable {
protected:
    void RenderSelf(XGLRenderable& inFrom) override;
};

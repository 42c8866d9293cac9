#pragma once
// The outline of the unit square around the origin in the plane z = 0.
#include "XGLRenderable.h"

class XGLWirePlane : public XGLRenderable {
protected:
    void RenderSelf(XGLRenderable& inFrom) override;
};

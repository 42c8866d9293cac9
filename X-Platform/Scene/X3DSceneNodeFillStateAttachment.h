#pragma once
// Sets the fill mode (solid, wireframe, points) for a node and its subtree, and
// back afterwards. The device is called only when its mode differs from the one wanted.
#include "X3DGC.h"
#include "X3DSceneNodeAttachment.h"

class X3DSceneNodeFillStateAttachment : public X3DSceneNodeAttachment {
public:
    explicit X3DSceneNodeFillStateAttachment(X3DGC::XFillMode inFillModeWanted) : itsWanted(inFillModeWanted) {}

    void PreRender(X3DGC& inGC, X3DSceneNode& inNode) override;
    void PostRender(X3DGC& inGC, X3DSceneNode& inNode) override;

    X3DGC::XFillMode GetFillModeWanted() const { return itsWanted; }

private:
    X3DGC::XFillMode itsSaved = X3DGC::kFillSolid;
    X3DGC::XFillMode itsWanted;
};

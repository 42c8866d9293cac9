#pragma once
// Turns the depth test on or off for a node and its subtree, and back afterwards.
// The device is called only when its state differs from the one wanted.
#include "X3DSceneNodeAttachment.h"

class X3DSceneNodeDepthStateAttachment : public X3DSceneNodeAttachment {
public:
    explicit X3DSceneNodeDepthStateAttachment(bool inDepthTestWanted) : itsWanted(inDepthTestWanted) {}

    void PreRender(X3DGC& inGC, X3DSceneNode& inNode) override;
    void PostRender(X3DGC& inGC, X3DSceneNode& inNode) override;

    bool IsDepthTestWanted() const { return itsWanted; }

private:
    bool itsSaved = true;
    bool itsWanted;
};

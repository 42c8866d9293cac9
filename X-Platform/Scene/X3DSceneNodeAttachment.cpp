#include "X3DSceneNodeAttachment.h"

void X3DSceneNodeAttachment::PreRender(X3DGC&, X3DSceneNode&) {}

void X3DSceneNodeAttachment::PostRender(X3DGC&, X3DSceneNode&) {}

#include "X3DSceneNodeFillStateAttachment.h"

void X3DSceneNodeFillStateAttachment::PreRender(X3DGC& inGC, X3DSceneNode&)
{
    itsSaved = inGC.GetFillMode();
    if (itsSaved != itsWanted)
        inGC.SetFillMode(itsWanted);
}

void X3DSceneNodeFillStateAttachment::PostRender(X3DGC& inGC, X3DSceneNode&)
{
    if (itsSaved != itsWanted)
        inGC.SetFillMode(itsSaved);
}

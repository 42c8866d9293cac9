#include "X3DSceneNodeDepthStateAttachment.h"

#include "X3DGC.h"

void X3DSceneNodeDepthStateAttachment::PreRender(X3DGC& inGC, X3DSceneNode&)
{
    itsSaved = inGC.GetDepthTestEnabled();
    if (itsSaved != itsWanted)
        inGC.SetDepthTestEnabled(itsWanted);
}

void X3DSceneNodeDepthStateAttachment::PostRender(X3DGC& inGC, X3DSceneNode&)
{
    if (itsSaved != itsWanted)
        inGC.SetDepthTestEnabled(itsSaved);
}

#include "X3DGCResource.h"

void X3DGCResource::Destroy(X3DGC& inGC)
{
    DestroySelf(inGC);
    delete this;
}

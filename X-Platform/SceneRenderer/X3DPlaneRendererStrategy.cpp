#include "X3DPlaneRendererStrategy.h"

#include "X3DPlaneRenderer.h"

XRenderer* X3DPlaneRendererStrategy::MakeRendererSelf(const boost::shared_ptr<XImageDataSource>& inSource) const
{
    return new X3DPlaneRenderer(inSource);
}

bool X3DPlaneRendererStrategy::IsSourceSupportedSelf(const X3DRect& inBounds, unsigned long, unsigned long) const
{
    // Three planes need something to slice along every axis.
    return inBounds.GetWidth() >= 2 && inBounds.GetHeight() >= 2 && inBounds.GetDepth() >= 2;
}

#include "XSliceStackStrategy.h"

#include "XSliceStackRenderer.h"
#include "XVolumeRenderingViewProtocol.h"

#include <memory>

void XSliceStackStrategy::AttachRenderer(XVolumeRenderingViewProtocol& inView)
{
    inView.AttachVolumeRenderer(std::make_unique<XSliceStackRenderer>(inView));
}

#include "XRendererPane.h"

#include "XCanvasWindowFactory.h"
#include "XRenderer.h"

#include <algorithm>

namespace {
XRect AtLeastOnePixel(const XRect& inBounds)
{
    return XRect(inBounds.left, inBounds.top, inBounds.left + std::max(inBounds.GetWidth(), 1),
                 inBounds.top + std::max(inBounds.GetHeight(), 1));
}
} // namespace

XRendererPane::XRendererPane(const XRect& inBounds, XRenderingViewBase* inView)
    : itsBounds(AtLeastOnePixel(inBounds)), itsView(inView)
{
}

XRendererPane::~XRendererPane() { SetRenderer(nullptr); }

void XRendererPane::SetRenderer(XRenderer* inRenderer)
{
    if (inRenderer == itsRenderer)
        return;
    if (XRenderer* old = itsRenderer) {
        itsRenderer = nullptr;
        old->DetachContainer(*this);
    }
    itsRenderer = inRenderer;
    if (itsRenderer) {
        itsRenderer->AttachContainer(*this);
        itsRenderer->Initialise();
    }
}

void XRendererPane::SetBounds(const XRect& inBounds)
{
    const XRect bounds = AtLeastOnePixel(inBounds);
    if (bounds == itsBounds)
        return;
    itsBounds = bounds;
    if (itsRenderer)
        itsRenderer->HandleContainerSizeChanged(GetClientRect());
}

XCanvasPaneBase* XRendererPane::MakeChildCanvas(const XString& inName) const
{
    return XCanvasWindowFactory::MakeCanvas(GetClientRect(), inName);
}

#include "WOffscreenRendererView.h"

#include "XVolumeRendererBase.h"

WOffscreenRendererView::WOffscreenRendererView(int32_t inWidth, int32_t inHeight) : itsEnclosure(inWidth, inHeight) {}

// The renderer goes first: its window lives in the enclosure.
WOffscreenRendererView::~WOffscreenRendererView() { DetachVolumeRenderer(); }

void WOffscreenRendererView::AttachVolumeRenderer(std::unique_ptr<XVolumeRendererBase> inRenderer)
{
    itsRenderer = std::move(inRenderer);
}

void WOffscreenRendererView::DetachVolumeRenderer()
{
    itsRenderer.reset();
    itsEnclosure.SetRendererWnd(nullptr);
}

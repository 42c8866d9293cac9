#pragma once
// A volume rendering view without a screen: an enclosure of a fixed size whose
// renderer draws into an offscreen GL window. Command-line hosts, tests and
// benchmarks show renderers in it and take their pictures with Render(XARGB32Volume&).
#include "WRendererEnclosureWnd.h"
#include "XVolumeRenderingViewProtocol.h"

#include <cstdint>
#include <memory>

class WOffscreenRendererView : public XVolumeRenderingViewProtocol {
public:
    WOffscreenRendererView(int32_t inWidth, int32_t inHeight);
    ~WOffscreenRendererView() override;
    WOffscreenRendererView(const WOffscreenRendererView&) = delete;
    WOffscreenRendererView& operator=(const WOffscreenRendererView&) = delete;

    WRendererEnclosureWnd& GetRendererEnclosureWnd() override { return itsEnclosure; }
    void AttachVolumeRenderer(std::unique_ptr<XVolumeRendererBase> inRenderer) override;
    XVolumeRendererBase* GetVolumeRenderer() const override { return itsRenderer.get(); }
    // Deletes the renderer (and with it its window).
    void DetachVolumeRenderer();

private:
    WRendererEnclosureWnd itsEnclosure;
    std::unique_ptr<XVolumeRendererBase> itsRenderer;
};

#pragma once
// The host's side of a view that can show a volume renderer: it gives the
// enclosure window a renderer creates its own window in, and takes the renderer.
#include <memory>

class WRendererEnclosureWnd;
class XVolumeRendererBase;

class XVolumeRenderingViewProtocol {
public:
    virtual ~XVolumeRenderingViewProtocol() = default;

    virtual WRendererEnclosureWnd& GetRendererEnclosureWnd() = 0;
    // The view takes the renderer and shows it, replacing any earlier one.
    virtual void AttachVolumeRenderer(std::unique_ptr<XVolumeRendererBase> inRenderer) = 0;
    virtual XVolumeRendererBase* GetVolumeRenderer() const = 0;
};

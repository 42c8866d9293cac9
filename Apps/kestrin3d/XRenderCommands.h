#pragma once
// The "render" command of kestrin3d: draws a stack (or the built-in sample) with a
// registered volume renderer in an offscreen view and writes the picture as a PNG.
#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

class XCommandTable;
class XRenderOptions;
class XVolumeRendererBase;
class XVolumeRendererManager;
class XVolumeRenderingViewProtocol;

class XRenderCommands {
public:
    static void AddTo(XCommandTable& inOutTable);
    // Refuses, before any work, an output that cannot be written.
    static void CheckOutputWritable(const std::string& inPath);
    // Before any work: XUsageError for an unknown ID, XException kNoRenderer when no
    // module registered a renderer.
    static void CheckRendererChoice(const XRenderOptions& inOptions, XVolumeRendererManager& inRegistry);
    // The chosen or default renderer attached to the view, showing the sample at the
    // options' timepoint with their shading and scene.
    static XVolumeRendererBase& SetUpRenderer(const XRenderOptions& inOptions, XVolumeRendererManager& inRegistry,
                                              XVolumeRenderingViewProtocol& inView, uint32_t inSampleID);

    // The steps of a volume-view render, shared with the movie frames.
    // The chosen or default renderer, attached to the view.
    static XVolumeRendererBase& AttachRenderer(const XRenderOptions& inOptions, XVolumeRendererManager& inRegistry,
                                               XVolumeRenderingViewProtocol& inView);
    static void ApplyShading(const XRenderOptions& inOptions, XVolumeRendererBase& inRenderer);
    static void ApplyScene(const XRenderOptions& inOptions, XVolumeRendererBase& inRenderer);

private:
    static int Render(const std::vector<std::string>& inArguments, std::ostream& inOut);
};

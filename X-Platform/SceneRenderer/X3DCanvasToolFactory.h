#pragma once
// How the scene renderers get their interaction tools: the tools sit in a layer above
// the renderers, so that layer registers a factory when the module loads. Without one
// a toolbar command installs no tool.
#include <cstdint>

class X3DBaseRenderer;
class X3DTickBall;
class XCanvasAttachment;

class X3DCanvasToolFactory {
public:
    // How the trackball turns the scene: dolly only, revolve the camera, rotate the volume.
    enum XRotateBehaviour : uint32_t { kRotateDolly = 0, kRotateCamera = 1, kRotateVolume = 2 };

    virtual ~X3DCanvasToolFactory() = default;

    // New tools for inRenderer's canvas, owned by the caller.
    virtual XCanvasAttachment* MakeTrackBallTool(X3DBaseRenderer& inRenderer, XRotateBehaviour inBehaviour) = 0;
    virtual XCanvasAttachment* MakeVolumePanTool(X3DBaseRenderer& inRenderer) = 0;
    // inLightBall is the renderer's ball that shows the light's sphere while dragging.
    virtual XCanvasAttachment* MakeLightTool(X3DBaseRenderer& inRenderer, X3DTickBall& inLightBall) = 0;

    // The factory used from now on (not owned; null withdraws it).
    static void Register(X3DCanvasToolFactory* inFactory);
    static X3DCanvasToolFactory* Get();
};

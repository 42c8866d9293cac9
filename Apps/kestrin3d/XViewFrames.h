#pragma once
// Draws pictures of the view the render options describe, one after another, with
// the data read and the renderer set up once: the frames of a movie and keyframe
// thumbnails. A frame's own scene state is laid over the options' scene.
#include "XARGB32Volume.h"

#include <cstdint>
#include <memory>

class XRenderOptions;
class XRenderer;
class XRendererSceneState;

class XViewFrames {
public:
    // Reads the options' data (XUsageError for options the data cannot satisfy) and
    // sets up the options' view.
    static std::unique_ptr<XViewFrames> Make(const XRenderOptions& inOptions);
    virtual ~XViewFrames() = default;

    virtual uint32_t GetTimepointCount() const = 0;
    // Sets the view to inTimepoint (from 1); states enabled in inFrame, when given,
    // replace the options' own.
    virtual void ShowFrame(const XRendererSceneState* inFrame, uint32_t inTimepoint) = 0;
    // A picture of the view as shown, of the options' size, opaque.
    virtual XARGB32Volume Draw() = 0;
    XARGB32Volume Render(const XRendererSceneState* inFrame, uint32_t inTimepoint)
    {
        ShowFrame(inFrame, inTimepoint);
        return Draw();
    }
    // The view as a host renderer, for jobs that render it themselves; null when the
    // view is not one (the volume view).
    virtual XRenderer* GetRenderer() { return nullptr; }

    // A picture on a page shows its background, whatever alpha the frame kept.
    static void MakeOpaque(XARGB32Volume& inOutPicture);
};

#pragma once
// Keeps the planes node in step with the data and the scene state: makes the slice
// textures of the selected planes and the reference planes on the device, remakes
// only what a change of state touches, and shows the node while it is wanted
// (state 8) and some channel is shown. The planes renderer drives it; it holds no
// device of its own (each call gets the calling thread's, and locks it).
#include "X3DPlaneImages.h"
#include "X3DPlaneSettings.h"

#include <cstdint>

class X3DGC;
class X3DXYZRendererNode;
class XImageDataSource;
class XRenderer;
class XRendererSceneState;
class XTexture2D;

class X3DPlaneContent {
public:
    explicit X3DPlaneContent(X3DXYZRendererNode& inNode) : itsNode(inNode) {}

    // The source's data is new (or first seen): per-channel settings follow its
    // channels, everything is read from the renderer's scene state, the slices are
    // remade and the reference planes rebuilt as a set.
    void TakeData(X3DGC& inGC, const XImageDataSource& inSource, const XRenderer& inRenderer);
    // Remakes the three slices at the renderer's timepoint and shows or hides the node.
    void RebuildRendererNode(X3DGC& inGC, const XImageDataSource& inSource, const XRenderer& inRenderer);
    // Makes a reference plane for each depth that holds a shown one-plane channel and
    // removes every other.
    void BuildReferencePlanes(X3DGC& inGC, const XImageDataSource& inSource, const XRenderer& inRenderer);
    // Applies a change of scene state (inChanged; the renderer's state already holds it).
    void ApplySceneState(X3DGC& inGC, const XImageDataSource& inSource, const XRenderer& inRenderer,
        const XRendererSceneState& inChanged);

    // A new texture of the slice along the axis at the selected plane, or null when no
    // shown channel reaches it (device locked inside).
    XTexture2D* MakeSliceTexture(X3DGC& inGC, const XImageDataSource& inSource, uint32_t inTimepoint,
        X3DPlaneImages::XAxis inAxis);

    const X3DPlaneSettings& GetSettings() const { return itsSettings; }
    // Slice textures made so far (a measure of the work changes cause).
    uint64_t GetSliceTexturesMade() const { return itsSliceTexturesMade; }

private:
    static XTexture2D* MakeTexture(X3DGC& inGC, const XBGRA32Volume& inPicture);
    void UpdateVisibility();

    X3DXYZRendererNode& itsNode;
    X3DPlaneSettings itsSettings;
    bool itsPlanesWanted = true;
    uint64_t itsSliceTexturesMade = 0;
};

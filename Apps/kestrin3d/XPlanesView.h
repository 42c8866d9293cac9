#pragma once
// 'kestrin3d render --view planes': the stack (or the built-in sample) drawn by the
// planes renderer, three orthogonal slices with their frames, reference planes made
// from channels' maximum projections, and the scene options of the volume view.
#include <cstdint>
#include <memory>
#include <ostream>
#include <vector>

class X3DRegion;
class XDataVolumeSequence;
class XRenderOptions;
class XRendererSceneState;

class XPlanesView {
public:
    static int Render(const XRenderOptions& inOptions, std::ostream& inOut);

    // The sequence with one more channel for each requested reference plane: the
    // channel's maximum projection, one plane deep, at the requested plane.
    static std::unique_ptr<XDataVolumeSequence> AddReferencePlanes(const XRenderOptions& inOptions,
        const XDataVolumeSequence& inSequence);
    // The 6-connected objects of the channels the options name with --iso, at the
    // options' timepoint, each in its channel's colour.
    static std::vector<X3DRegion> FindIsoRegions(const XRenderOptions& inOptions, const XDataVolumeSequence& inSequence);
    // The scene state the options ask for; inChannels counts the reference channels
    // (the last ones) too.
    static XRendererSceneState MakeSceneState(const XRenderOptions& inOptions, uint32_t inStackChannels,
        uint32_t inChannels);
};

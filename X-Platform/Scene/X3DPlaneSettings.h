#pragma once
// What the planes view shows, taken from the renderer's scene state: the plane
// node's visibility (state 8), the merge mode (29), the three plane positions
// (fractions 19, 20, 21 of the width, height and depth), and per channel whether it
// is shown (~0), its merge weight (501) and its reference-plane opacity (502).
// Apply tells what a change of state means for the pictures: which slices to remake
// and whether the reference planes must be rebuilt. Values of the wrong shape (not
// 1 x 1) or not finite are ignored and the last good value stays.
#include "X3DPlaneImages.h"
#include "X3DRect.h"
#include "XRendererSceneState.h"

#include <array>
#include <cstdint>
#include <vector>

class XImageDataSource;
class XRenderer;

class X3DPlaneSettings {
public:
    struct XChanges {
        bool rebuild = false;             // remake all three slices
        std::array<bool, 3> moved{};      // XY, XZ, YZ plane index changed
        bool referencePlanes = false;     // rebuild the reference planes
        bool visibilityGiven = false;     // state 8 was in the change
        bool wantVisible = false;         // and was exactly 1.0
        bool anyShown = false;            // some channel is shown
    };

    // Takes the source's extent and channels; channels new to the settings start
    // shown with weight and opacity 1, those gone are dropped, and the plane indices
    // follow the new extent.
    void SetSource(const XImageDataSource& inSource);
    // Everything the renderer's scene state holds now (defaults for states not set).
    void ReadAll(const XRenderer& inRenderer);
    // The states of inChanged (plane node shown or not now: inNodeVisible) against the
    // renderer's full state, which already holds them.
    XChanges Apply(const XRendererSceneState& inChanged, const XRenderer& inRenderer, bool inNodeVisible);

    // XY (depth), XZ (row), YZ (column).
    uint64_t GetPlane(X3DPlaneImages::XAxis inAxis) const { return itsPlanes[inAxis]; }
    int32_t GetMergeMode() const { return itsMergeMode; }
    // Index channel - 1: shown, and the first and second values (weight and opacity,
    // both 0 for a hidden channel).
    const std::vector<X3DPlaneImages::XChannelChoice>& GetChannels() const { return itsChoices; }
    bool IsAnyChannelShown() const;
    bool IsReferenceChannel(uint32_t inChannel) const
    {
        return inChannel >= 1 && inChannel <= itsReference.size() && itsReference[inChannel - 1];
    }

    // A 1 x 1 finite value into outValue; false (outValue untouched) otherwise.
    static bool ReadScalar(const X3DMatrix& inValue, double& outValue);

private:
    struct XRaw {
        bool shown = true;
        double weight = 1.0;
        double opacity = 1.0;
    };
    // Reads the channel's states; true when what it shows changed.
    void ReadChannel(const XRenderer& inRenderer, uint32_t inChannel, XChanges& outChanges);
    void UpdatePlanes(std::array<bool, 3>* outMoved);

    X3DRect itsBounds;
    // Fractions by axis XY, XZ, YZ (states 21, 20, 19).
    std::array<double, 3> itsFractions{0.5, 0.5, 0.5};
    std::array<uint64_t, 3> itsPlanes{};
    int32_t itsMergeMode = X3DPlaneImages::kMergeMaximum;
    std::vector<XRaw> itsRaw;
    std::vector<bool> itsReference;
    std::vector<X3DPlaneImages::XChannelChoice> itsChoices;
};

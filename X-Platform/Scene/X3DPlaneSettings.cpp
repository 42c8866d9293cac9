#include "X3DPlaneSettings.h"

#include "XImageDataSource.h"
#include "XRenderer.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr std::array<XRendererStateName, 3> kFractionStates{kSceneStateXYPlane, kSceneStateXZPlane, kSceneStateYZPlane};
} // namespace

bool X3DPlaneSettings::ReadScalar(const X3DMatrix& inValue, double& outValue)
{
    if (inValue.GetRows() != 1 || inValue.GetColumns() != 1 || !std::isfinite(inValue(0, 0)))
        return false;
    outValue = inValue(0, 0);
    return true;
}

void X3DPlaneSettings::SetSource(const XImageDataSource& inSource)
{
    itsBounds = inSource.GetBounds();
    const uint32_t count = inSource.GetChannelCount();
    itsRaw.resize(count);
    itsChoices.resize(count);
    itsReference.assign(count, false);
    for (uint32_t channel = 1; channel <= count; ++channel)
        itsReference[channel - 1] = X3DPlaneImages::IsReferenceChannel(inSource, channel);
    UpdatePlanes(nullptr);
}

void X3DPlaneSettings::UpdatePlanes(std::array<bool, 3>* outMoved)
{
    const std::array<int32_t, 3> extents{itsBounds.GetDepth(), itsBounds.GetHeight(), itsBounds.GetWidth()};
    for (size_t axis = 0; axis < 3; ++axis) {
        const uint64_t plane = X3DPlaneImages::SelectPlane(extents[axis], itsFractions[axis]);
        if (outMoved)
            (*outMoved)[axis] = plane != itsPlanes[axis];
        itsPlanes[axis] = plane;
    }
}

void X3DPlaneSettings::ReadAll(const XRenderer& inRenderer)
{
    double value = 0.0;
    if (ReadScalar(inRenderer.GetSceneStateValue(kSceneStateChannelMergeMode), value) && value >= -2147483648.0
        && value <= 2147483647.0)
        itsMergeMode = int32_t(value);
    for (size_t axis = 0; axis < 3; ++axis)
        if (ReadScalar(inRenderer.GetSceneStateValue(kFractionStates[axis]), value))
            itsFractions[axis] = std::clamp(value, 0.0, 1.0);
    UpdatePlanes(nullptr);
    XChanges ignored;
    for (uint32_t channel = 1; channel <= itsRaw.size(); ++channel)
        ReadChannel(inRenderer, channel, ignored);
}

void X3DPlaneSettings::ReadChannel(const XRenderer& inRenderer, uint32_t inChannel, XChanges& outChanges)
{
    XRaw& raw = itsRaw[inChannel - 1];
    double value = 0.0;
    if (ReadScalar(inRenderer.GetSceneStateValue(kSceneStateChannelVisible, inChannel), value))
        raw.shown = value != 0.0;
    if (ReadScalar(inRenderer.GetSceneStateValue(kSceneStateMergeWeight, inChannel), value))
        raw.weight = value;
    if (ReadScalar(inRenderer.GetSceneStateValue(kSceneStateReferencePlaneOpacity, inChannel), value))
        raw.opacity = std::clamp(value, 0.0, 1.0);
    X3DPlaneImages::XChannelChoice& choice = itsChoices[inChannel - 1];
    const X3DPlaneImages::XChannelChoice next{raw.shown, raw.shown ? raw.weight : 0.0, raw.shown ? raw.opacity : 0.0};
    const bool slicesChange = next.shown != choice.shown || next.weight != choice.weight;
    const bool opacityChanges = next.opacity != choice.opacity;
    choice = next;
    if (IsReferenceChannel(inChannel)) {
        // Reference channels are never sliced: only their planes are remade.
        outChanges.referencePlanes |= slicesChange || opacityChanges;
    } else {
        outChanges.rebuild |= slicesChange;
    }
}

X3DPlaneSettings::XChanges X3DPlaneSettings::Apply(const XRendererSceneState& inChanged, const XRenderer& inRenderer,
    bool inNodeVisible)
{
    XChanges changes;
    double value = 0.0;
    if (inChanged.HasStateAndEnabled(kSceneStatePlanes)
        && ReadScalar(inChanged.GetState(kSceneStatePlanes), value)) {
        changes.visibilityGiven = true;
        changes.wantVisible = value == 1.0;
        changes.rebuild |= changes.wantVisible != inNodeVisible;
    }
    if (inChanged.HasStateAndEnabled(kSceneStateChannelMergeMode)
        && ReadScalar(inChanged.GetState(kSceneStateChannelMergeMode), value) && value >= -2147483648.0
        && value <= 2147483647.0 && int32_t(value) != itsMergeMode) {
        itsMergeMode = int32_t(value);
        changes.rebuild = true;
        // Reference planes are merged by the same mode.
        changes.referencePlanes = true;
    }
    for (size_t axis = 0; axis < 3; ++axis)
        if (inChanged.HasStateAndEnabled(kFractionStates[axis])
            && ReadScalar(inChanged.GetState(kFractionStates[axis]), value))
            itsFractions[axis] = std::clamp(value, 0.0, 1.0);
    UpdatePlanes(&changes.moved);
    for (uint32_t channel = 1; channel <= itsRaw.size(); ++channel)
        ReadChannel(inRenderer, channel, changes);
    changes.anyShown = IsAnyChannelShown();
    return changes;
}

bool X3DPlaneSettings::IsAnyChannelShown() const
{
    return std::any_of(itsChoices.begin(), itsChoices.end(), [](const auto& inChoice) { return inChoice.shown; });
}

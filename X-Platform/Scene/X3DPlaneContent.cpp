#include "X3DPlaneContent.h"

#include "X3DGCScopedLock.h"
#include "X3DXYZRendererNode.h"
#include "XAssert.h"
#include "XBGRA32Volume.h"
#include "XImageDataSource.h"
#include "XRenderer.h"
#include "XTexture2D.h"

#include <array>
#include <memory>

namespace {
// Reported as the renderer's, whose step this is.
constexpr const char* kRendererSource = "X-Platform/X3DPlaneRenderer";
} // namespace

XTexture2D* X3DPlaneContent::MakeTexture(X3DGC& inGC, const XBGRA32Volume& inPicture)
{
    X3DGCScopedLock lock(inGC);
    auto texture = std::make_unique<XTexture2D>(inGC, uint32_t(inPicture.GetWidth()), uint32_t(inPicture.GetHeight()),
        X3DGC::kBGRA32);
    try {
        texture->CopyInBGRA32Volume(inPicture);
    } catch (...) {
        texture.release()->Destroy(inGC);
        throw;
    }
    return texture.release();
}

XTexture2D* X3DPlaneContent::MakeSliceTexture(X3DGC& inGC, const XImageDataSource& inSource, uint32_t inTimepoint,
    X3DPlaneImages::XAxis inAxis)
{
    const std::unique_ptr<XBGRA32Volume> picture = X3DPlaneImages::MakeSliceImage(inSource, inTimepoint, inAxis,
        itsSettings.GetPlane(inAxis), itsSettings.GetChannels(), itsSettings.GetMergeMode());
    if (!picture)
        return nullptr;
    ++itsSliceTexturesMade;
    return MakeTexture(inGC, *picture);
}

void X3DPlaneContent::TakeData(X3DGC& inGC, const XImageDataSource& inSource, const XRenderer& inRenderer)
{
    itsSettings.SetSource(inSource);
    itsSettings.ReadAll(inRenderer);
    double wanted = 1.0;
    if (X3DPlaneSettings::ReadScalar(inRenderer.GetSceneStateValue(kSceneStatePlanes), wanted))
        itsPlanesWanted = wanted == 1.0;
    RebuildRendererNode(inGC, inSource, inRenderer);
    BuildReferencePlanes(inGC, inSource, inRenderer);
}

void X3DPlaneContent::RebuildRendererNode(X3DGC& inGC, const XImageDataSource& inSource, const XRenderer& inRenderer)
{
    X3DGCScopedLock lock(inGC);
    const uint32_t timepoint = inRenderer.GetCurrentTimepoint();
    std::array<XTexture2D*, 3> made{};
    try {
        for (uint32_t axis = 0; axis < 3; ++axis)
            made[axis] = MakeSliceTexture(inGC, inSource, timepoint, X3DPlaneImages::XAxis(axis));
    } catch (...) {
        for (XTexture2D* texture : made)
            if (texture)
                texture->Destroy(inGC);
        throw;
    }
    if (made[0]) {
        if (!made[1])
            KestrinInternalError("xzPlane", kRendererSource, __LINE__);
        if (!made[2])
            KestrinInternalError("yzPlane", kRendererSource, __LINE__);
    }
    itsNode.Setup(inGC, inSource, made[0], made[1], made[2], itsSettings.GetPlane(X3DPlaneImages::kAxisXY),
        itsSettings.GetPlane(X3DPlaneImages::kAxisXZ), itsSettings.GetPlane(X3DPlaneImages::kAxisYZ), true);
    // A slice no shown channel reaches must not keep showing an old picture.
    for (uint32_t axis = 0; axis < 3; ++axis)
        if (!made[axis])
            itsNode.ClearTexture(inGC, X3DXYZRendererNode::XPlane(axis));
    UpdateVisibility();
}

void X3DPlaneContent::BuildReferencePlanes(X3DGC& inGC, const XImageDataSource& inSource, const XRenderer& inRenderer)
{
    X3DGCScopedLock lock(inGC);
    const auto groups = X3DPlaneImages::GroupReferenceChannels(inSource);
    // Planes of depths that no longer hold a reference channel go first.
    for (uint32_t position : itsNode.GetReferencePlanePositions())
        if (!groups.contains(position))
            itsNode.RemoveReferencePlane(inGC, position);
    const X3DRect bounds = inSource.GetBounds();
    for (const auto& [offset, channels] : groups) {
        const std::unique_ptr<XBGRA32Volume> picture = X3DPlaneImages::MakeReferenceImage(inSource,
            inRenderer.GetCurrentTimepoint(), channels, itsSettings.GetChannels(), itsSettings.GetMergeMode());
        if (!picture) {
            itsNode.RemoveReferencePlane(inGC, offset);
            continue;
        }
        itsNode.SetReferencePlane(bounds, inGC, offset, MakeTexture(inGC, *picture));
    }
}

void X3DPlaneContent::ApplySceneState(X3DGC& inGC, const XImageDataSource& inSource, const XRenderer& inRenderer,
    const XRendererSceneState& inChanged)
{
    const X3DPlaneSettings::XChanges changes = itsSettings.Apply(inChanged, inRenderer, itsNode.IsVisible());
    if (changes.visibilityGiven)
        itsPlanesWanted = changes.wantVisible;
    {
        X3DGCScopedLock lock(inGC);
        if (changes.anyShown) {
            std::array<bool, 3> remake{};
            for (uint32_t axis = 0; axis < 3; ++axis)
                remake[axis] = changes.rebuild || changes.moved[axis];
            std::array<XTexture2D*, 3> made{};
            try {
                for (uint32_t axis = 0; axis < 3; ++axis)
                    if (remake[axis])
                        made[axis] = MakeSliceTexture(inGC, inSource, inRenderer.GetCurrentTimepoint(),
                            X3DPlaneImages::XAxis(axis));
            } catch (...) {
                for (XTexture2D* texture : made)
                    if (texture)
                        texture->Destroy(inGC);
                throw;
            }
            if (remake != std::array<bool, 3>{}) {
                // Only the remade slices are replaced; three null textures would clear them all.
                itsNode.Setup(inGC, inSource, made[0], made[1], made[2], itsSettings.GetPlane(X3DPlaneImages::kAxisXY),
                    itsSettings.GetPlane(X3DPlaneImages::kAxisXZ), itsSettings.GetPlane(X3DPlaneImages::kAxisYZ),
                    made != std::array<XTexture2D*, 3>{});
                for (uint32_t axis = 0; axis < 3; ++axis)
                    if (remake[axis] && !made[axis])
                        itsNode.ClearTexture(inGC, X3DXYZRendererNode::XPlane(axis));
            }
        } else {
            for (uint32_t axis = 0; axis < 3; ++axis)
                itsNode.ClearTexture(inGC, X3DXYZRendererNode::XPlane(axis));
        }
        UpdateVisibility();
    }
    if (changes.referencePlanes)
        BuildReferencePlanes(inGC, inSource, inRenderer);
}

void X3DPlaneContent::UpdateVisibility()
{
    itsNode.SetVisible(itsPlanesWanted && itsSettings.IsAnyChannelShown());
}

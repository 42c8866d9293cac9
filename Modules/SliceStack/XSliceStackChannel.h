#pragma once
// One channel of the shown timepoint: its volume, the display range its levels were
// made with, its shading, and its three texture stacks (slices across x, y and z).
// The stacks are made on demand while the window's context is current and must be
// forgotten there too.
#include "X3DRect.h"
#include "XChannelShadeSpecification.h"
#include "XGLVolumeTextureStack.h"
#include "XImageRenderer.h"
#include "XSliceStackLevels.h"

#include <array>
#include <memory>

class XVolume;

class XSliceStackChannel {
public:
    XSliceStackChannel() = default;
    XSliceStackChannel(const XSliceStackChannel&) = delete;
    XSliceStackChannel& operator=(const XSliceStackChannel&) = delete;

    // The data to show. The stacks are remade only when the volume or the display
    // range (levels, gamma) differs from what they were made with.
    void SetSource(std::shared_ptr<const XVolume> inVolume, const XImageRenderer& inDisplay);
    const std::shared_ptr<const XVolume>& GetVolume() const { return itsVolume; }
    // The volume's box (empty without a volume).
    X3DRect GetBounds() const;

    void SetShading(const XChannelShadeSpecification& inShading) { itsShading = inShading; }
    const XChannelShadeSpecification& GetShading() const { return itsShading; }
    // Visible, with a volume that holds voxels.
    bool IsDrawn() const;

    // The stack across inAxis, made first if needed. Needs the context current.
    XGLVolumeTextureStack& GetStack(XSliceStackLevels::XAxis inAxis);
    // Deletes the textures; with the context they were made in current.
    void ForgetTextures();

private:
    std::shared_ptr<const XVolume> itsVolume;
    XImageRenderer itsDisplay;
    XChannelShadeSpecification itsShading;
    // The mapping (a lookup table over the volume), kept while stacks may still be needed.
    std::unique_ptr<XSliceStackLevels> itsLevels;
    std::array<XGLVolumeTextureStack, 3> itsStacks;
    std::array<bool, 3> itsStackValid{};
};

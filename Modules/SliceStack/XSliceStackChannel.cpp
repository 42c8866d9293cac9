#include "XSliceStackChannel.h"

#include "XVolume.h"

namespace {
bool SameLevels(const XImageRenderer& inA, const XImageRenderer& inB)
{
    return inA.GetBlackLevel() == inB.GetBlackLevel() && inA.GetWhiteLevel() == inB.GetWhiteLevel() &&
           inA.GetGamma() == inB.GetGamma();
}
} // namespace

void XSliceStackChannel::SetSource(std::shared_ptr<const XVolume> inVolume, const XImageRenderer& inDisplay)
{
    if (inVolume == itsVolume && SameLevels(inDisplay, itsDisplay))
        return;
    itsVolume = std::move(inVolume);
    itsDisplay = inDisplay;
    itsLevels.reset();
    // The textures themselves go when the context is current (GetStack or ForgetTextures).
    itsStackValid.fill(false);
}

X3DRect XSliceStackChannel::GetBounds() const
{
    return itsVolume ? itsVolume->GetBounds() : X3DRect();
}

bool XSliceStackChannel::IsDrawn() const
{
    return itsShading.IsVisible() && itsVolume && !itsVolume->IsEmpty();
}

XGLVolumeTextureStack& XSliceStackChannel::GetStack(XSliceStackLevels::XAxis inAxis)
{
    XGLVolumeTextureStack& stack = itsStacks[size_t(inAxis)];
    if (itsStackValid[size_t(inAxis)])
        return stack;
    if (!itsLevels)
        itsLevels = itsVolume ? std::make_unique<XSliceStackLevels>(*itsVolume, itsDisplay)
                              : std::make_unique<XSliceStackLevels>();
    // Slices are mapped one at a time as they are uploaded: only the textures stay.
    int32_t across = 0, up = 0, slices = 0;
    XSliceStackLevels::GetSliceVolumeSize(inAxis, itsLevels->GetWidth(), itsLevels->GetHeight(),
                                          itsLevels->GetDepth(), across, up, slices);
    const XSliceStackLevels& levels = *itsLevels;
    stack.LoadGreySlices(across, up, slices,
                         [&](int32_t inSlice, uint8_t* outTexels) { levels.FillSlice(inAxis, inSlice, outTexels); });
    itsStackValid[size_t(inAxis)] = true;
    // Once all three exist the levels are not needed again until the data changes.
    if (itsStackValid[0] && itsStackValid[1] && itsStackValid[2])
        itsLevels.reset();
    return stack;
}

void XSliceStackChannel::ForgetTextures()
{
    for (XGLVolumeTextureStack& stack : itsStacks)
        stack.ForgetVolume();
    itsStackValid.fill(false);
    itsLevels.reset();
}

#include "X3DTextureAttachment.h"

X3DTextureAttachment::X3DTextureAttachment(uint32_t inUnit, XTexture* inTexture, const X3DGC::XSamplerState& inSampler)
    : itsUnit(inUnit)
{
    itsState.texture = inTexture;
    itsState.sampler = inSampler;
}

void X3DTextureAttachment::PreRender(X3DGC& inGC, X3DSceneNode&)
{
    itsSaved = inGC.SwapTexture(itsUnit, itsState);
}

void X3DTextureAttachment::PostRender(X3DGC& inGC, X3DSceneNode&)
{
    inGC.SwapTexture(itsUnit, itsSaved);
}

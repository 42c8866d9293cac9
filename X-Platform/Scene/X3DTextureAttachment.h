#pragma once
// Binds a texture with its sampler to one texture unit for a node and its subtree,
// and puts back whatever the unit held before. The texture is not owned.
#include "X3DGC.h"
#include "X3DSceneNodeAttachment.h"

#include <cstdint>

class XTexture;

class X3DTextureAttachment : public X3DSceneNodeAttachment {
public:
    X3DTextureAttachment(uint32_t inUnit, XTexture* inTexture, const X3DGC::XSamplerState& inSampler);

    void PreRender(X3DGC& inGC, X3DSceneNode& inNode) override;
    void PostRender(X3DGC& inGC, X3DSceneNode& inNode) override;

    uint32_t GetUnit() const { return itsUnit; }
    XTexture* GetTexture() const { return itsState.texture; }
    // Takes effect at the next PreRender; null leaves the unit empty while the node draws.
    void SetTexture(XTexture* inTexture) { itsState.texture = inTexture; }
    const X3DGC::XSamplerState& GetSampler() const { return itsState.sampler; }
    void SetSampler(const X3DGC::XSamplerState& inSampler) { itsState.sampler = inSampler; }

private:
    uint32_t itsUnit;
    X3DGC::XTextureUnitState itsState;
    X3DGC::XTextureUnitState itsSaved;
};

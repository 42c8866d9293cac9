#pragma once
// Switches a capability off for a renderable's drawing if it was on, and on again afterwards.
#include "XGLAttachment.h"

class XGLDisableAttachment : public XGLAttachment {
public:
    explicit XGLDisableAttachment(unsigned int inCapability) : itsCapability(inCapability) {}
    ~XGLDisableAttachment() override = default;
    void PreRender() override;
    void PostRender() override;

    unsigned int GetCapability() const { return itsCapability; }

private:
    unsigned int itsCapability;
    bool itsWasOn = false;
};

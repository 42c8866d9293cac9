#pragma once
// Switches a capability on for a renderable's drawing if it was off, and off again afterwards.
#include "XGLAttachment.h"

class XGLEnableAttachment : public XGLAttachment {
public:
    explicit XGLEnableAttachment(unsigned int inCapability) : itsCapability(inCapability) {}
    ~XGLEnableAttachment() override = default;
    void PreRender() override;
    void PostRender() override;

    unsigned int GetCapability() const { return itsCapability; }

private:
    unsigned int itsCapability;
    bool itsWasOn = false;
};

#pragma once
// Sets the current colour for a renderable's drawing and restores it afterwards.
#include "XGLAttachment.h"

class XGLColourAttachment : public XGLAttachment {
public:
    XGLColourAttachment(double inRed = 1.0, double inGreen = 1.0, double inBlue = 1.0, double inAlpha = 1.0)
        : itsRed(inRed), itsGreen(inGreen), itsBlue(inBlue), itsAlpha(inAlpha) {}
    ~XGLColourAttachment() override = default;
    void PreRender() override;
    void PostRender() override;

    void SetColour(double inRed, double inGreen, double inBlue, double inAlpha);

private:
    double itsRed, itsGreen, itsBlue, itsAlpha;
    float itsSavedColour[4] = {0.0f, 0.0f, 0.0f, 1.0f};
};

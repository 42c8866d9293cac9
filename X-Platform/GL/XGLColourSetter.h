#pragma once
// Sets the current colour for a scope.
#include "XARGB32Colour.h"
#include "XRGBFloat32Colour.h"

class XGLColourSetter {
public:
    XGLColourSetter(float inRed, float inGreen, float inBlue, float inAlpha);
    // Red, green and blue only: the colour's alpha is not applied.
    explicit XGLColourSetter(const XARGB32Colour& inColour);
    explicit XGLColourSetter(const XRGBFloat32Colour& inColour);
    ~XGLColourSetter();
    XGLColourSetter(const XGLColourSetter&) = delete;
    XGLColourSetter& operator=(const XGLColourSetter&) = delete;

private:
    void Save();
    float itsSaved[4] = {0.0f, 0.0f, 0.0f, 1.0f};
};

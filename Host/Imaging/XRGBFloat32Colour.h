#pragma once
// A colour as three floats, 0.0 to 1.0 for the displayable range.
#include "XARGB32Colour.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

struct XRGBFloat32Colour {
    float red = 0.0f;
    float green = 0.0f;
    float blue = 0.0f;

    constexpr XRGBFloat32Colour() = default;
    constexpr XRGBFloat32Colour(float inRed, float inGreen, float inBlue) : red(inRed), green(inGreen), blue(inBlue) {}
    constexpr explicit XRGBFloat32Colour(const XARGB32Colour& inColour)
        : red(inColour.red / 255.0f), green(inColour.green / 255.0f), blue(inColour.blue / 255.0f) {}

    // Opaque; each component rounded and clamped into 0..255 (NaN gives 0).
    XARGB32Colour ToARGB32() const { return XARGB32Colour(255, ToByte(red), ToByte(green), ToByte(blue)); }

    friend constexpr bool operator==(const XRGBFloat32Colour&, const XRGBFloat32Colour&) = default;

private:
    static uint8_t ToByte(float inValue)
    {
        if (!(inValue > 0.0f))
            return 0;
        return uint8_t(std::min(255.0f, std::round(inValue * 255.0f)));
    }
};

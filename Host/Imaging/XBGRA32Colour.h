#pragma once
// A colour as four bytes in the memory order blue, green, red, alpha: a pixel of
// a Cairo ARGB32 surface or of a GL_BGRA/GL_UNSIGNED_BYTE read-back on a
// little-endian machine (read as a 32-bit number it is 0xAARRGGBB).
#include "XARGB32Colour.h"

#include <cstdint>

struct XBGRA32Colour {
    uint8_t blue = 0;
    uint8_t green = 0;
    uint8_t red = 0;
    uint8_t alpha = 255;

    constexpr XBGRA32Colour() = default;
    constexpr XBGRA32Colour(uint8_t inBlue, uint8_t inGreen, uint8_t inRed, uint8_t inAlpha)
        : blue(inBlue), green(inGreen), red(inRed), alpha(inAlpha) {}
    constexpr explicit XBGRA32Colour(const XARGB32Colour& inColour)
        : blue(inColour.blue), green(inColour.green), red(inColour.red), alpha(inColour.alpha) {}

    constexpr XARGB32Colour ToARGB32() const { return XARGB32Colour(alpha, red, green, blue); }
    // 0xAARRGGBB.
    constexpr uint32_t GetPacked() const
    {
        return (uint32_t(alpha) << 24) | (uint32_t(red) << 16) | (uint32_t(green) << 8) | uint32_t(blue);
    }
    static constexpr XBGRA32Colour FromPacked(uint32_t inValue)
    {
        return XBGRA32Colour(uint8_t(inValue), uint8_t(inValue >> 8), uint8_t(inValue >> 16), uint8_t(inValue >> 24));
    }

    friend constexpr bool operator==(const XBGRA32Colour&, const XBGRA32Colour&) = default;
};
static_assert(sizeof(XBGRA32Colour) == 4);

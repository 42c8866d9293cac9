#pragma once
// A colour of three 16-bit components in the memory order red, green, blue (native
// byte order), as 48-bit RGB microscope cameras and TIFF files give it. Opaque.
#include <cstdint>

struct XRGB48Colour {
    uint16_t red = 0;
    uint16_t green = 0;
    uint16_t blue = 0;

    constexpr XRGB48Colour() = default;
    constexpr XRGB48Colour(uint16_t inRed, uint16_t inGreen, uint16_t inBlue) : red(inRed), green(inGreen), blue(inBlue) {}

    friend constexpr bool operator==(const XRGB48Colour&, const XRGB48Colour&) = default;
};
static_assert(sizeof(XRGB48Colour) == 6);

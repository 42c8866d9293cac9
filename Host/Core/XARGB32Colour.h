#pragma once
// A colour as four bytes in the order alpha, red, green, blue.
#include <cstdint>

struct XARGB32Colour {
    uint8_t alpha = 255;
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;

    constexpr XARGB32Colour() = default;
    constexpr XARGB32Colour(uint8_t inAlpha, uint8_t inRed, uint8_t inGreen, uint8_t inBlue)
        : alpha(inAlpha), red(inRed), green(inGreen), blue(inBlue) {}

    // 0xAARRGGBB, the layout of a packed ARGB pixel read as a 32-bit number.
    constexpr uint32_t GetPacked() const
    {
        return (uint32_t(alpha) << 24) | (uint32_t(red) << 16) | (uint32_t(green) << 8) | uint32_t(blue);
    }
    static constexpr XARGB32Colour FromPacked(uint32_t inValue)
    {
        return XARGB32Colour(uint8_t(inValue >> 24), uint8_t(inValue >> 16), uint8_t(inValue >> 8), uint8_t(inValue));
    }

    friend constexpr bool operator==(const XARGB32Colour&, const XARGB32Colour&) = default;

    static const XARGB32Colour kWhite;
    static const XARGB32Colour kBlack;
    static const XARGB32Colour kRed;
    static const XARGB32Colour kGreen;
    static const XARGB32Colour kBlue;
};

inline constexpr XARGB32Colour XARGB32Colour::kWhite{255, 255, 255, 255};
inline constexpr XARGB32Colour XARGB32Colour::kBlack{255, 0, 0, 0};
inline constexpr XARGB32Colour XARGB32Colour::kRed{255, 255, 0, 0};
inline constexpr XARGB32Colour XARGB32Colour::kGreen{255, 0, 255, 0};
inline constexpr XARGB32Colour XARGB32Colour::kBlue{255, 0, 0, 255};
static_assert(sizeof(XARGB32Colour) == 4);

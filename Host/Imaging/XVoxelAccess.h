#pragma once
// Reading and writing single voxels of any layout through one normalised colour
// (alpha, red, green, blue as floats, 1.0 = full scale), for the conversions and
// resampling of XVolume. Not for hot loops over one known layout.
#include "XVoxelType.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <utility>

namespace XVoxelAccess {

struct Pixel {
    float a, r, g, b;
};

inline float Luminance(const Pixel& inPixel)
{
    if (inPixel.r == inPixel.g && inPixel.g == inPixel.b)
        return inPixel.r; // keeps grey exact
    return 0.299f * inPixel.r + 0.587f * inPixel.g + 0.114f * inPixel.b;
}

inline uint8_t To8(float inValue)
{
    if (!(inValue > 0.0f)) // NaN as well
        return 0;
    if (inValue >= 1.0f)
        return 255;
    return uint8_t(std::lround(inValue * 255.0f));
}

inline uint16_t To16(float inValue)
{
    if (!(inValue > 0.0f))
        return 0;
    if (inValue >= 1.0f)
        return 65535;
    return uint16_t(std::lround(inValue * 65535.0f));
}

constexpr float k8 = 1.0f / 255.0f;
constexpr float k16 = 1.0f / 65535.0f;

struct ARGB32 {
    static constexpr size_t kSize = 4;
    static Pixel Read(const uint8_t* p) { return {p[0] * k8, p[1] * k8, p[2] * k8, p[3] * k8}; }
    static void Write(uint8_t* p, const Pixel& c) { p[0] = To8(c.a); p[1] = To8(c.r); p[2] = To8(c.g); p[3] = To8(c.b); }
};

struct BGRA32 {
    static constexpr size_t kSize = 4;
    static Pixel Read(const uint8_t* p) { return {p[3] * k8, p[2] * k8, p[1] * k8, p[0] * k8}; }
    static void Write(uint8_t* p, const Pixel& c) { p[0] = To8(c.b); p[1] = To8(c.g); p[2] = To8(c.r); p[3] = To8(c.a); }
};

struct Grey8 {
    static constexpr size_t kSize = 1;
    static Pixel Read(const uint8_t* p) { float v = p[0] * k8; return {1.0f, v, v, v}; }
    static void Write(uint8_t* p, const Pixel& c) { p[0] = To8(Luminance(c)); }
};

struct Grey16 {
    static constexpr size_t kSize = 2;
    static Pixel Read(const uint8_t* p)
    {
        uint16_t w;
        std::memcpy(&w, p, 2);
        float v = w * k16;
        return {1.0f, v, v, v};
    }
    static void Write(uint8_t* p, const Pixel& c)
    {
        uint16_t w = To16(Luminance(c));
        std::memcpy(p, &w, 2);
    }
};

struct Float32 {
    static constexpr size_t kSize = 4;
    static Pixel Read(const uint8_t* p)
    {
        float v;
        std::memcpy(&v, p, 4);
        return {1.0f, v, v, v};
    }
    static void Write(uint8_t* p, const Pixel& c)
    {
        float v = Luminance(c);
        std::memcpy(p, &v, 4);
    }
};

struct Mask : Grey8 {};

struct RGB48 {
    static constexpr size_t kSize = 6;
    static Pixel Read(const uint8_t* p)
    {
        uint16_t w[3];
        std::memcpy(w, p, 6);
        return {1.0f, w[0] * k16, w[1] * k16, w[2] * k16};
    }
    static void Write(uint8_t* p, const Pixel& c)
    {
        const uint16_t w[3] = {To16(c.r), To16(c.g), To16(c.b)};
        std::memcpy(p, w, 6);
    }
};

// Calls inFunction with the access struct of a layout.
template <class F>
decltype(auto) WithLayout(XVoxelType inType, F&& inFunction)
{
    switch (inType) {
    case XVoxelType::kARGB32: return std::forward<F>(inFunction)(ARGB32{});
    case XVoxelType::kBGRA32: return std::forward<F>(inFunction)(BGRA32{});
    case XVoxelType::kGrey8: return std::forward<F>(inFunction)(Grey8{});
    case XVoxelType::kGrey16: return std::forward<F>(inFunction)(Grey16{});
    case XVoxelType::kFloat32: return std::forward<F>(inFunction)(Float32{});
    case XVoxelType::kRGB48: return std::forward<F>(inFunction)(RGB48{});
    case XVoxelType::kMask: break;
    }
    return std::forward<F>(inFunction)(Mask{});
}

} // namespace XVoxelAccess

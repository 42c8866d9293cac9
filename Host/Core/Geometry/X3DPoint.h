#pragma once
// A voxel position: three signed 32-bit coordinates.
#include <cstdint>

struct X3DPoint {
    int32_t x = 0;
    int32_t y = 0;
    int32_t z = 0;

    constexpr X3DPoint() = default;
    constexpr X3DPoint(int32_t inX, int32_t inY, int32_t inZ) : x(inX), y(inY), z(inZ) {}

    constexpr int32_t GetX() const { return x; }
    constexpr int32_t GetY() const { return y; }
    constexpr int32_t GetZ() const { return z; }

    constexpr X3DPoint operator+(const X3DPoint& inOther) const { return X3DPoint(x + inOther.x, y + inOther.y, z + inOther.z); }
    constexpr X3DPoint operator-(const X3DPoint& inOther) const { return X3DPoint(x - inOther.x, y - inOther.y, z - inOther.z); }
    X3DPoint& operator+=(const X3DPoint& inOther) { x += inOther.x; y += inOther.y; z += inOther.z; return *this; }
    X3DPoint& operator-=(const X3DPoint& inOther) { x -= inOther.x; y -= inOther.y; z -= inOther.z; return *this; }
    friend constexpr bool operator==(const X3DPoint&, const X3DPoint&) = default;
};

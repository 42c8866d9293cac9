#pragma once
// A point in integer pixel coordinates; y grows downwards in window coordinates.
#include <cstdint>

struct XPoint {
    int32_t x = 0;
    int32_t y = 0;

    constexpr XPoint() = default;
    constexpr XPoint(int32_t inX, int32_t inY) : x(inX), y(inY) {}

    constexpr int32_t GetX() const { return x; }
    constexpr int32_t GetY() const { return y; }

    constexpr XPoint operator+(const XPoint& inOther) const { return XPoint(x + inOther.x, y + inOther.y); }
    constexpr XPoint operator-(const XPoint& inOther) const { return XPoint(x - inOther.x, y - inOther.y); }
    XPoint& operator+=(const XPoint& inOther) { x += inOther.x; y += inOther.y; return *this; }
    XPoint& operator-=(const XPoint& inOther) { x -= inOther.x; y -= inOther.y; return *this; }
    friend constexpr bool operator==(const XPoint&, const XPoint&) = default;
};

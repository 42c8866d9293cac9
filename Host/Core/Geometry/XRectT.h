#pragma once
// An axis-aligned rectangle given by its left, top, right and bottom edges.
//
// Right and bottom are EXCLUSIVE: XRect(0, 0, w, h) covers the w × h pixels
// whose coordinates run from 0 to w - 1 and 0 to h - 1, so width = right - left
// and a rectangle is empty when right <= left or bottom <= top. Rectangles that
// merely touch (one's right == the other's left) do not intersect.
#include "XPoint.h"

#include <algorithm>
#include <cmath>
#include <type_traits>

template <class T>
class XRectT {
public:
    T left = 0;
    T top = 0;
    T right = 0;
    T bottom = 0;

    constexpr XRectT() = default;
    constexpr XRectT(T inLeft, T inTop, T inRight, T inBottom)
        : left(inLeft), top(inTop), right(inRight), bottom(inBottom) {}
    template <class U>
    explicit XRectT(const XRectT<U>& inOther)
        : left(Convert(inOther.left)), top(Convert(inOther.top)),
          right(Convert(inOther.right)), bottom(Convert(inOther.bottom)) {}

    constexpr T GetLeft() const { return left; }
    constexpr T GetTop() const { return top; }
    constexpr T GetRight() const { return right; }
    constexpr T GetBottom() const { return bottom; }
    constexpr T GetWidth() const { return right - left; }
    constexpr T GetHeight() const { return bottom - top; }
    constexpr T Width() const { return right - left; }
    constexpr T Height() const { return bottom - top; }
    constexpr XPoint GetTopLeft() const requires std::is_integral_v<T> { return XPoint(left, top); }

    constexpr bool IsEmpty() const { return !(right > left) || !(bottom > top); }

    // A point on the right or bottom edge lies outside (the edges are exclusive).
    constexpr bool Contains(T inX, T inY) const { return inX >= left && inX < right && inY >= top && inY < bottom; }
    constexpr bool Contains(const XPoint& inPoint) const requires std::is_integral_v<T>
    {
        return Contains(inPoint.x, inPoint.y);
    }
    // Every point of a non-empty inRect lies inside; an empty rectangle is inside any rectangle.
    constexpr bool Contains(const XRectT& inRect) const
    {
        if (inRect.IsEmpty())
            return true;
        return inRect.left >= left && inRect.right <= right && inRect.top >= top && inRect.bottom <= bottom;
    }
    constexpr bool Intersects(const XRectT& inRect) const { return !Intersection(inRect).IsEmpty(); }

    // The common part; the zero rectangle when there is none.
    constexpr XRectT Intersection(const XRectT& inRect) const
    {
        XRectT r(std::max(left, inRect.left), std::max(top, inRect.top),
                 std::min(right, inRect.right), std::min(bottom, inRect.bottom));
        return r.IsEmpty() ? XRectT() : r;
    }
    // The smallest rectangle holding both; an empty side does not count.
    constexpr XRectT Union(const XRectT& inRect) const
    {
        if (inRect.IsEmpty())
            return IsEmpty() ? XRectT() : *this;
        if (IsEmpty())
            return inRect;
        return XRectT(std::min(left, inRect.left), std::min(top, inRect.top),
                      std::max(right, inRect.right), std::max(bottom, inRect.bottom));
    }

    void Offset(T inDX, T inDY) { left += inDX; right += inDX; top += inDY; bottom += inDY; }
    constexpr XRectT Offsetted(T inDX, T inDY) const { return XRectT(left + inDX, top + inDY, right + inDX, bottom + inDY); }
    // The same size with its top-left corner at the origin.
    constexpr XRectT MovedToOrigin() const { return XRectT(0, 0, right - left, bottom - top); }
    void Inset(T inDX, T inDY) { left += inDX; right -= inDX; top += inDY; bottom -= inDY; }

    // This rectangle's size scaled by one factor, up or down, so that it just fits
    // inside inFit; the result's top-left corner is inFit's. An empty rectangle or
    // fit gives the zero rectangle at inFit's corner.
    XRectT ScaleTo(const XRectT& inFit) const
    {
        if (IsEmpty() || inFit.IsEmpty())
            return XRectT(inFit.left, inFit.top, inFit.left, inFit.top);
        double scale = std::min(double(inFit.GetWidth()) / double(GetWidth()),
                                double(inFit.GetHeight()) / double(GetHeight()));
        T w = std::min(Convert(double(GetWidth()) * scale), inFit.GetWidth());
        T h = std::min(Convert(double(GetHeight()) * scale), inFit.GetHeight());
        return XRectT(inFit.left, inFit.top, inFit.left + w, inFit.top + h);
    }

    // This rectangle taken from the frame inFrom to the frame inTo: a rectangle that
    // equals inFrom becomes inTo. Integer edges are rounded to the nearest value.
    // An empty inFrom maps nothing: the result is inTo's corner, empty.
    XRectT Map(const XRectT& inFrom, const XRectT& inTo) const
    {
        if (inFrom.IsEmpty())
            return XRectT(inTo.left, inTo.top, inTo.left, inTo.top);
        double sx = double(inTo.GetWidth()) / double(inFrom.GetWidth());
        double sy = double(inTo.GetHeight()) / double(inFrom.GetHeight());
        return XRectT(Convert(inTo.left + (double(left) - inFrom.left) * sx),
                      Convert(inTo.top + (double(top) - inFrom.top) * sy),
                      Convert(inTo.left + (double(right) - inFrom.left) * sx),
                      Convert(inTo.top + (double(bottom) - inFrom.top) * sy));
    }
    // A point taken from the frame inFrom to the frame inTo, as Map does for edges.
    static void MapPoint(T& inOutX, T& inOutY, const XRectT& inFrom, const XRectT& inTo)
    {
        if (inFrom.IsEmpty()) {
            inOutX = inTo.left;
            inOutY = inTo.top;
            return;
        }
        inOutX = Convert(inTo.left + (double(inOutX) - inFrom.left) * double(inTo.GetWidth()) / double(inFrom.GetWidth()));
        inOutY = Convert(inTo.top + (double(inOutY) - inFrom.top) * double(inTo.GetHeight()) / double(inFrom.GetHeight()));
    }

    friend constexpr bool operator==(const XRectT&, const XRectT&) = default;

private:
    template <class U>
    static T Convert(U inValue)
    {
        if constexpr (std::is_integral_v<T> && std::is_floating_point_v<U>)
            return static_cast<T>(std::llround(inValue));
        else
            return static_cast<T>(inValue);
    }
    template <class U> friend class XRectT;
};

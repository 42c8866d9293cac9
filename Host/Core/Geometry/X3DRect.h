#pragma once
// A box of voxels: an XY rectangle plus front and back on the z axis.
// Like XRect, the far edges (right, bottom, back) are EXCLUSIVE: the box
// (0,0,0)–(w,h,d) holds w × h × d voxels, depth = back - front.
#include "X3DPoint.h"
#include "XRect.h"

#include <cstdint>

class X3DRect {
public:
    int32_t left = 0;
    int32_t top = 0;
    int32_t front = 0;
    int32_t right = 0;
    int32_t bottom = 0;
    int32_t back = 0;

    constexpr X3DRect() = default;
    // The corners (left, top, front) and (right, bottom, back).
    constexpr X3DRect(int32_t inLeft, int32_t inTop, int32_t inFront, int32_t inRight, int32_t inBottom, int32_t inBack)
        : left(inLeft), top(inTop), front(inFront), right(inRight), bottom(inBottom), back(inBack) {}
    // An XY rectangle extended along z from inFront for inDepth planes.
    constexpr X3DRect(const XRect& inXY, int32_t inFront, int32_t inDepth)
        : left(inXY.left), top(inXY.top), front(inFront), right(inXY.right), bottom(inXY.bottom), back(inFront + inDepth) {}

    constexpr int32_t GetLeft() const { return left; }
    constexpr int32_t GetTop() const { return top; }
    constexpr int32_t GetFront() const { return front; }
    constexpr int32_t GetRight() const { return right; }
    constexpr int32_t GetBottom() const { return bottom; }
    constexpr int32_t GetBack() const { return back; }
    constexpr int32_t GetWidth() const { return right - left; }
    constexpr int32_t GetHeight() const { return bottom - top; }
    constexpr int32_t GetDepth() const { return back - front; }
    constexpr X3DPoint GetOrigin() const { return X3DPoint(left, top, front); }

    // The faces as 2D rectangles. XZ: x across, z down. YZ: z across, y down.
    constexpr XRect GetXYRect() const { return XRect(left, top, right, bottom); }
    constexpr XRect GetXZRect() const { return XRect(left, front, right, back); }
    constexpr XRect GetYZRect() const { return XRect(front, top, back, bottom); }

    constexpr bool IsEmpty() const { return right <= left || bottom <= top || back <= front; }
    // Number of voxels; 0 when empty.
    constexpr uint64_t GetVolume() const
    {
        return IsEmpty() ? 0 : uint64_t(GetWidth()) * uint64_t(GetHeight()) * uint64_t(GetDepth());
    }

    constexpr bool Contains(int32_t inX, int32_t inY, int32_t inZ) const
    {
        return inX >= left && inX < right && inY >= top && inY < bottom && inZ >= front && inZ < back;
    }
    constexpr bool Contains(const X3DPoint& inPoint) const { return Contains(inPoint.x, inPoint.y, inPoint.z); }
    // An empty box is inside any box.
    bool Contains(const X3DRect& inBox) const;
    bool Intersects(const X3DRect& inBox) const { return !Intersection(inBox).IsEmpty(); }
    // The common part; the zero box when there is none.
    X3DRect Intersection(const X3DRect& inBox) const;
    // The smallest box holding both; an empty side does not count.
    X3DRect Union(const X3DRect& inBox) const;

    void Offset(int32_t inDX, int32_t inDY, int32_t inDZ);
    X3DRect Offsetted(int32_t inDX, int32_t inDY, int32_t inDZ) const;
    X3DRect MovedToOrigin() const { return X3DRect(0, 0, 0, GetWidth(), GetHeight(), GetDepth()); }
    // Moves this box, keeping its size, so that its centre is inBox's centre
    // (rounded towards the low corner when the difference in size is odd).
    void CentreOn(const X3DRect& inBox);

    friend constexpr bool operator==(const X3DRect&, const X3DRect&) = default;
};

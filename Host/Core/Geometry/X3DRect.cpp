#include "X3DRect.h"

#include <algorithm>

namespace {
// Halves towards minus infinity, so centring behaves the same on both sides of 0.
int32_t FloorHalf(int64_t inValue)
{
    return int32_t(inValue >= 0 ? inValue / 2 : -((-inValue + 1) / 2));
}
} // namespace

bool X3DRect::Contains(const X3DRect& inBox) const
{
    if (inBox.IsEmpty())
        return true;
    return inBox.left >= left && inBox.right <= right && inBox.top >= top && inBox.bottom <= bottom &&
           inBox.front >= front && inBox.back <= back;
}

X3DRect X3DRect::Intersection(const X3DRect& inBox) const
{
    X3DRect r(std::max(left, inBox.left), std::max(top, inBox.top), std::max(front, inBox.front),
              std::min(right, inBox.right), std::min(bottom, inBox.bottom), std::min(back, inBox.back));
    return r.IsEmpty() ? X3DRect() : r;
}

X3DRect X3DRect::Union(const X3DRect& inBox) const
{
    if (inBox.IsEmpty())
        return IsEmpty() ? X3DRect() : *this;
    if (IsEmpty())
        return inBox;
    return X3DRect(std::min(left, inBox.left), std::min(top, inBox.top), std::min(front, inBox.front),
                   std::max(right, inBox.right), std::max(bottom, inBox.bottom), std::max(back, inBox.back));
}

void X3DRect::Offset(int32_t inDX, int32_t inDY, int32_t inDZ)
{
    left += inDX;
    right += inDX;
    top += inDY;
    bottom += inDY;
    front += inDZ;
    back += inDZ;
}

X3DRect X3DRect::Offsetted(int32_t inDX, int32_t inDY, int32_t inDZ) const
{
    X3DRect r = *this;
    r.Offset(inDX, inDY, inDZ);
    return r;
}

void X3DRect::CentreOn(const X3DRect& inBox)
{
    int32_t w = GetWidth(), h = GetHeight(), d = GetDepth();
    left = inBox.left + FloorHalf(int64_t(inBox.GetWidth()) - w);
    top = inBox.top + FloorHalf(int64_t(inBox.GetHeight()) - h);
    front = inBox.front + FloorHalf(int64_t(inBox.GetDepth()) - d);
    right = left + w;
    bottom = top + h;
    back = front + d;
}

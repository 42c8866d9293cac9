#pragma once
// An axis-aligned box given by its origin (the minimum corner) and its size.
#include "XMathVector.h"

class XMathRectF3 {
public:
    constexpr XMathRectF3() = default;
    constexpr XMathRectF3(const XMathVectorF3& inOrigin, const XMathVectorF3& inSize) : itsOrigin(inOrigin), itsSize(inSize) {}
    static constexpr XMathRectF3 MakeFromMinMax(const XMathVectorF3& inMin, const XMathVectorF3& inMax)
    {
        return XMathRectF3(inMin, inMax - inMin);
    }

    constexpr const XMathVectorF3& GetOrigin() const { return itsOrigin; }
    constexpr const XMathVectorF3& GetSize() const { return itsSize; }
    constexpr void SetOrigin(const XMathVectorF3& inOrigin) { itsOrigin = inOrigin; }
    constexpr void SetSize(const XMathVectorF3& inSize) { itsSize = inSize; }
    constexpr XMathVectorF3 GetMin() const { return itsOrigin; }
    constexpr XMathVectorF3 GetMax() const { return itsOrigin + itsSize; }
    constexpr XMathVectorF3 GetCentre() const { return itsOrigin + itsSize * 0.5f; }
    // True when some extent is zero or negative.
    constexpr bool IsEmpty() const { return !(itsSize[0] > 0.0f && itsSize[1] > 0.0f && itsSize[2] > 0.0f); }
    // Closed on every face.
    constexpr bool Contains(const XMathVectorF3& inPoint) const
    {
        const XMathVectorF3 max = GetMax();
        for (size_t i = 0; i < 3; ++i)
            if (!(inPoint[i] >= itsOrigin[i] && inPoint[i] <= max[i]))
                return false;
        return true;
    }
    friend constexpr bool operator==(const XMathRectF3& a, const XMathRectF3& b)
    {
        return a.itsOrigin == b.itsOrigin && a.itsSize == b.itsSize;
    }

private:
    XMathVectorF3 itsOrigin;
    XMathVectorF3 itsSize;
};

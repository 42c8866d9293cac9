#pragma once
// An axis-aligned box of the scene graph, or the empty box (which holds nothing
// and does not widen a box it is joined with).
#include "XMathRectF3.h"
#include "XMathVector.h"
#include "XMatrix_4x4.h"
#include "XVector.h"

#include <array>

class XBoundingBox {
public:
    // The empty box.
    XBoundingBox() = default;
    // The box between two corners, in any order.
    XBoundingBox(const XMathVectorF3& inCorner1, const XMathVectorF3& inCorner2);
    explicit XBoundingBox(const XMathRectF3& inRect) : XBoundingBox(inRect.GetMin(), inRect.GetMax()) {}

    bool IsEmpty() const { return itsEmpty; }
    // Meaningful only when not empty.
    const XMathVectorF3& GetMin() const { return itsMin; }
    const XMathVectorF3& GetMax() const { return itsMax; }
    XMathVectorF3 GetCentre() const { return (itsMin + itsMax) * 0.5f; }
    XMathVectorF3 GetSize() const { return itsEmpty ? XMathVectorF3() : itsMax - itsMin; }

    // Corner i takes the maximum on x when bit 0 of i is set, on y for bit 1, on z for bit 2.
    std::array<XMathVectorF3, 8> GetCorners() const;
    // Closed on every face; the empty box contains nothing.
    bool Contains(const XMathVectorF3& inPoint) const;
    // Widens the box to hold the point.
    void Include(const XMathVectorF3& inPoint);
    void Include(const XBoundingBox& inBox);

    // The axis-aligned box around this box's corners after the (affine) transform;
    // the empty box stays empty.
    XBoundingBox MakeTransformedBox(const XMatrix_4x4<float>& inTransform) const;
    static XBoundingBox MakeTransformedBox(const XBoundingBox& inBox, const XMatrix_4x4<float>& inTransform)
    {
        return inBox.MakeTransformedBox(inTransform);
    }
    static XBoundingBox MakeSurroundingBox(const XBoundingBox& inA, const XBoundingBox& inB);
    static XBoundingBox MakeSurroundingBox(const XVector<XBoundingBox>& inBoxes);
    static XBoundingBox MakeSurroundingBox(const XVector<XMathVectorF3>& inPoints);

    bool operator==(const XBoundingBox& inOther) const;
    bool operator!=(const XBoundingBox& inOther) const { return !(*this == inOther); }

private:
    XMathVectorF3 itsMin;
    XMathVectorF3 itsMax;
    bool itsEmpty = true;
};

#include "XBoundingBox.h"

XBoundingBox::XBoundingBox(const XMathVectorF3& inCorner1, const XMathVectorF3& inCorner2)
    : itsMin(XMathVectorF3::Min(inCorner1, inCorner2)), itsMax(XMathVectorF3::Max(inCorner1, inCorner2)), itsEmpty(false)
{
}

std::array<XMathVectorF3, 8> XBoundingBox::GetCorners() const
{
    std::array<XMathVectorF3, 8> corners;
    for (size_t i = 0; i < 8; ++i)
        corners[i] = XMathVectorF3((i & 1) ? itsMax[0] : itsMin[0], (i & 2) ? itsMax[1] : itsMin[1],
            (i & 4) ? itsMax[2] : itsMin[2]);
    return corners;
}

bool XBoundingBox::Contains(const XMathVectorF3& inPoint) const
{
    if (itsEmpty)
        return false;
    for (size_t i = 0; i < 3; ++i)
        if (!(inPoint[i] >= itsMin[i] && inPoint[i] <= itsMax[i]))
            return false;
    return true;
}

void XBoundingBox::Include(const XMathVectorF3& inPoint)
{
    if (itsEmpty) {
        itsMin = itsMax = inPoint;
        itsEmpty = false;
        return;
    }
    itsMin = XMathVectorF3::Min(itsMin, inPoint);
    itsMax = XMathVectorF3::Max(itsMax, inPoint);
}

void XBoundingBox::Include(const XBoundingBox& inBox)
{
    if (inBox.itsEmpty)
        return;
    Include(inBox.itsMin);
    Include(inBox.itsMax);
}

XBoundingBox XBoundingBox::MakeTransformedBox(const XMatrix_4x4<float>& inTransform) const
{
    XBoundingBox box;
    if (itsEmpty)
        return box;
    for (const XMathVectorF3& corner : GetCorners())
        box.Include(inTransform.TransformPoint(corner));
    return box;
}

XBoundingBox XBoundingBox::MakeSurroundingBox(const XBoundingBox& inA, const XBoundingBox& inB)
{
    XBoundingBox box(inA);
    box.Include(inB);
    return box;
}

XBoundingBox XBoundingBox::MakeSurroundingBox(const XVector<XBoundingBox>& inBoxes)
{
    XBoundingBox box;
    for (const XBoundingBox& b : inBoxes)
        box.Include(b);
    return box;
}

XBoundingBox XBoundingBox::MakeSurroundingBox(const XVector<XMathVectorF3>& inPoints)
{
    XBoundingBox box;
    for (const XMathVectorF3& p : inPoints)
        box.Include(p);
    return box;
}

bool XBoundingBox::operator==(const XBoundingBox& inOther) const
{
    if (itsEmpty || inOther.itsEmpty)
        return itsEmpty == inOther.itsEmpty;
    return itsMin == inOther.itsMin && itsMax == inOther.itsMax;
}

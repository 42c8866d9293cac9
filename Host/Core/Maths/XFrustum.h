#pragma once
// The six planes of a view volume, each (a, b, c, d) with a unit normal (a, b, c)
// pointing into the volume, so that a x + b y + c z + d is the signed distance of
// a point from the plane, positive inside. Planes are indexed kLeft 0, kRight 1,
// kNear 2, kBottom 3, kTop 4, kFar 5; the four sides are 0, 1, 3 and 4.
#include "XBoundingBox.h"
#include "XMathVector.h"
#include "XMatrix_4x4.h"

#include <array>

class XFrustum {
public:
    enum XPlane : size_t { kLeft = 0, kRight = 1, kNear = 2, kBottom = 3, kTop = 4, kFar = 5, kPlaneCount = 6 };
    enum XContainment { kOutside, kIntersecting, kInside };

    // A frustum that contains everything.
    XFrustum();

    // The view volume of a row-vector transform into clip space (world x view x
    // projection gives it in world space; with a model's world matrix in front, in
    // that model's space), for clip coordinates with -w <= x, y, z <= w.
    static XFrustum MakeFromSpacialTransform(const XMatrix_4x4<float>& inTransform);

    const XMathVectorF4& GetPlane(size_t inIndex) const;
    const XMathVectorF4& operator[](size_t inIndex) const { return GetPlane(inIndex); }
    const std::array<XMathVectorF4, kPlaneCount>& GetPlanes() const { return itsPlanes; }
    // The signed distance of a point from a plane, positive inside.
    float GetDistance(size_t inPlane, const XMathVectorF3& inPoint) const;

    // Points on a plane count as inside.
    bool Contains(const XMathVectorF3& inPoint) const;
    // True when some of the box may be inside (boxes that straddle a plane count);
    // false for a box wholly outside one plane and for the empty box. A box beside
    // a corner of the volume can be reported as inside, which culling tolerates.
    bool Contains(const XBoundingBox& inBox) const;
    XContainment Classify(const XBoundingBox& inBox) const;

private:
    std::array<XMathVectorF4, kPlaneCount> itsPlanes;
};

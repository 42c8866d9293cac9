#include "XFrustum.h"

#include "XException.h"

#include <cmath>

XFrustum::XFrustum()
{
    itsPlanes.fill(XMathVectorF4(0.0f, 0.0f, 0.0f, 1.0f));
}

XFrustum XFrustum::MakeFromSpacialTransform(const XMatrix_4x4<float>& m)
{
    // With clip = (p, 1) x M, clip component j is the dot product of (p, 1) with
    // column j; each inequality such as -w <= x gives a plane column 3 + column 0.
    auto column = [&](size_t j) {
        return XMathVector<double, 4>(m(0, j), m(1, j), m(2, j), m(3, j));
    };
    const XMathVector<double, 4> x = column(0), y = column(1), z = column(2), w = column(3);
    const XMathVector<double, 4> planes[kPlaneCount] = {w + x, w - x, w + z, w + y, w - y, w - z};
    XFrustum f;
    for (size_t i = 0; i < kPlaneCount; ++i) {
        XMathVector<double, 4> p = planes[i];
        const double length = std::sqrt(p[0] * p[0] + p[1] * p[1] + p[2] * p[2]);
        // A plane without a normal (a degenerate transform, or a far plane at
        // infinity) cannot exclude anything: keep the all-inclusive plane.
        if (length > 0.0 && std::isfinite(length) && std::isfinite(p[3]))
            f.itsPlanes[i] = XMathVectorF4(float(p[0] / length), float(p[1] / length), float(p[2] / length),
                float(p[3] / length));
    }
    return f;
}

const XMathVectorF4& XFrustum::GetPlane(size_t inIndex) const
{
    if (inIndex >= kPlaneCount)
        throw XException(XException::kBadArgument,
            XString("a frustum has six planes; plane %1 does not exist").Replace(static_cast<int64_t>(inIndex)));
    return itsPlanes[inIndex];
}

float XFrustum::GetDistance(size_t inPlane, const XMathVectorF3& inPoint) const
{
    const XMathVectorF4& p = GetPlane(inPlane);
    return p[0] * inPoint[0] + p[1] * inPoint[1] + p[2] * inPoint[2] + p[3];
}

bool XFrustum::Contains(const XMathVectorF3& inPoint) const
{
    for (size_t i = 0; i < kPlaneCount; ++i)
        if (!(GetDistance(i, inPoint) >= 0.0f))
            return false;
    return true;
}

XFrustum::XContainment XFrustum::Classify(const XBoundingBox& inBox) const
{
    if (inBox.IsEmpty())
        return kOutside;
    const XMathVectorF3& lo = inBox.GetMin();
    const XMathVectorF3& hi = inBox.GetMax();
    bool inside = true;
    for (const XMathVectorF4& p : itsPlanes) {
        // The corner furthest along the normal decides whether any of the box is
        // inside; the nearest one whether all of it is.
        XMathVectorF3 furthest, nearest;
        for (size_t k = 0; k < 3; ++k) {
            furthest[k] = p[k] >= 0.0f ? hi[k] : lo[k];
            nearest[k] = p[k] >= 0.0f ? lo[k] : hi[k];
        }
        const float far = p[0] * furthest[0] + p[1] * furthest[1] + p[2] * furthest[2] + p[3];
        if (!(far >= 0.0f))
            return kOutside;
        const float near = p[0] * nearest[0] + p[1] * nearest[1] + p[2] * nearest[2] + p[3];
        if (!(near >= 0.0f))
            inside = false;
    }
    return inside ? kInside : kIntersecting;
}

bool XFrustum::Contains(const XBoundingBox& inBox) const
{
    return Classify(inBox) != kOutside;
}

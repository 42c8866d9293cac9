#include "X3DViewport.h"

#include "XException.h"

#include <cmath>

float X3DViewport::GetAspect() const
{
    if (itsRect.IsEmpty())
        return 1.0f;
    return float(itsRect.GetWidth()) / float(itsRect.GetHeight());
}

XMathVectorF3 X3DViewport::Project(const XMathVectorF3& inPoint, const XMatrix_4x4<float>& inTransform) const
{
    // In double: window coordinates of large targets need more than float's digits.
    double clip[4] = {0, 0, 0, 0};
    const double p[4] = {inPoint[0], inPoint[1], inPoint[2], 1.0};
    for (size_t j = 0; j < 4; ++j)
        for (size_t k = 0; k < 4; ++k)
            clip[j] += p[k] * inTransform(k, j);
    if (clip[3] == 0.0 || !std::isfinite(clip[3]))
        throw XException(XException::kBadArgument,
            "the point lies in the plane of the eye and has no place in the view");
    const double x = clip[0] / clip[3], y = clip[1] / clip[3], z = clip[2] / clip[3];
    return XMathVectorF3(float(itsRect.left + (x + 1.0) * 0.5 * itsRect.GetWidth()),
        float(itsRect.top + (y + 1.0) * 0.5 * itsRect.GetHeight()),
        float(itsMinDepth + (z + 1.0) * 0.5 * (double(itsMaxDepth) - itsMinDepth)));
}

XMathVectorF3 X3DViewport::Unproject(const XMathVectorF3& inWindow, const XMatrix_4x4<float>& inTransform) const
{
    if (itsRect.IsEmpty() || itsMaxDepth == itsMinDepth)
        throw XException(XException::kBadArgument,
            "a point cannot be taken back through an empty viewport or depth range");
    // The inverse in double for precision, from the float elements.
    X3DMatrix m(4, 4);
    for (size_t i = 0; i < 4; ++i)
        for (size_t j = 0; j < 4; ++j)
            m(i, j) = inTransform(i, j);
    X3DMatrix inverse;
    try {
        inverse = !m;
    } catch (const XMatrixException&) {
        throw XException(XException::kBadArgument,
            "the view transform cannot be inverted, so a window point has no place in space");
    }
    const double ndc[4] = {2.0 * (inWindow[0] - itsRect.left) / itsRect.GetWidth() - 1.0,
        2.0 * (inWindow[1] - itsRect.top) / itsRect.GetHeight() - 1.0,
        2.0 * (inWindow[2] - itsMinDepth) / (double(itsMaxDepth) - itsMinDepth) - 1.0, 1.0};
    double r[4] = {0, 0, 0, 0};
    for (size_t j = 0; j < 4; ++j)
        for (size_t k = 0; k < 4; ++k)
            r[j] += ndc[k] * inverse(k, j);
    if (r[3] == 0.0 || !std::isfinite(r[3]))
        throw XException(XException::kBadArgument, "the window point lies at infinity in this view");
    return XMathVectorF3(float(r[0] / r[3]), float(r[1] / r[3]), float(r[2] / r[3]));
}

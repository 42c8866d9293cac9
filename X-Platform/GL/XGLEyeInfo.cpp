#include "XGLEyeInfo.h"
#include "XGLMatrix.h"
#include "XOpenGL.h"

#include <cmath>

namespace {
using Vec = std::array<double, 4>;

// A plane scaled so that its normal has length 1 (left alone when it has none).
XGLEyeInfo::Row NormalisedPlane(const Vec& inPlane)
{
    const double length = std::sqrt(inPlane[0] * inPlane[0] + inPlane[1] * inPlane[1] + inPlane[2] * inPlane[2]);
    const double scale = length > 0.0 ? 1.0 / length : 1.0;
    return {float(inPlane[0] * scale), float(inPlane[1] * scale), float(inPlane[2] * scale), float(inPlane[3] * scale)};
}
} // namespace

XGLEyeInfo::XGLEyeInfo()
{
    const XGLMatrix modelView = XGLMatrix::GetMatrix(GL_MODELVIEW_MATRIX);
    const XGLMatrix projection = XGLMatrix::GetMatrix(GL_PROJECTION_MATRIX);
    const X3DMatrix inverse = !static_cast<const X3DMatrix&>(modelView);
    // Rows as OpenGL stores them (column-major): row 3 of the inverse is the eye in
    // world coordinates, row 2 of the transpose the view axis.
    for (size_t r = 0; r < 4; ++r)
        for (size_t c = 0; c < 4; ++c) {
            itsInverse[r][c] = float(inverse(c, r));
            itsTranspose[r][c] = float(modelView(r, c));
        }

    // The eye plane: through the eye, facing along the view (the view looks down -z).
    const Vec look = {-modelView(2, 0), -modelView(2, 1), -modelView(2, 2), 0.0};
    const Vec eye = {inverse(0, 3), inverse(1, 3), inverse(2, 3), 1.0};
    itsEyePlane = NormalisedPlane({look[0], look[1], look[2], -(look[0] * eye[0] + look[1] * eye[1] + look[2] * eye[2])});

    // Frustum planes from the rows of Projection · ModelView; with an infinite far
    // plane the far plane has no normal and stays as it is.
    const X3DMatrix clip = static_cast<const X3DMatrix&>(projection) * modelView;
    auto row = [&](size_t i) { return Vec{clip(i, 0), clip(i, 1), clip(i, 2), clip(i, 3)}; };
    auto combine = [](const Vec& a, const Vec& b, double sign) {
        return Vec{a[0] + sign * b[0], a[1] + sign * b[1], a[2] + sign * b[2], a[3] + sign * b[3]};
    };
    const Vec r0 = row(0), r1 = row(1), r2 = row(2), r3 = row(3);
    itsFrustumPlanes[0] = NormalisedPlane(combine(r3, r0, 1.0));  // left
    itsFrustumPlanes[1] = NormalisedPlane(combine(r3, r0, -1.0)); // right
    itsFrustumPlanes[2] = NormalisedPlane(combine(r3, r2, 1.0));  // near
    itsFrustumPlanes[3] = NormalisedPlane(combine(r3, r2, -1.0)); // far
    itsFrustumPlanes[4] = NormalisedPlane(combine(r3, r1, 1.0));  // bottom
    itsFrustumPlanes[5] = NormalisedPlane(combine(r3, r1, -1.0)); // top

    // Side edges: where neighbouring side planes meet, from the eye forwards.
    const int pairs[4][2] = {{0, 4}, {1, 4}, {1, 5}, {0, 5}};
    for (int e = 0; e < 4; ++e) {
        const Row& a = itsFrustumPlanes[size_t(pairs[e][0])];
        const Row& b = itsFrustumPlanes[size_t(pairs[e][1])];
        Vec d = {double(a[1]) * b[2] - double(a[2]) * b[1], double(a[2]) * b[0] - double(a[0]) * b[2],
                 double(a[0]) * b[1] - double(a[1]) * b[0], 0.0};
        if (d[0] * look[0] + d[1] * look[1] + d[2] * look[2] < 0.0)
            d = {-d[0], -d[1], -d[2], 0.0};
        itsFrustumEdges[size_t(e)][0] = {float(eye[0]), float(eye[1]), float(eye[2]), 1.0f};
        itsFrustumEdges[size_t(e)][1] = NormalisedPlane(d);
    }
}

#include "XSliceStackView.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numeric>

namespace {
using Vec = std::array<double, 3>;

double Norm(const Vec& v) { return std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]); }
} // namespace

XSliceStackView::XSliceStackView(const double inModelView[16], bool inOrthographic, const X3DRect& inBox)
    : itsOrthographic(inOrthographic)
{
    // A = upper 3×3 (a(r, c) = m[c * 4 + r]), t = translation.
    auto a = [&](int r, int c) { return inModelView[c * 4 + r]; };
    const double det = a(0, 0) * (a(1, 1) * a(2, 2) - a(1, 2) * a(2, 1)) - a(0, 1) * (a(1, 0) * a(2, 2) - a(1, 2) * a(2, 0)) +
                       a(0, 2) * (a(1, 0) * a(2, 1) - a(1, 1) * a(2, 0));
    if (!std::isfinite(det) || det == 0.0)
        return; // a degenerate view shows nothing useful; keep the z stack
    // inv(r, c) of A by cofactors.
    double inv[3][3];
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) {
            const int r1 = (c + 1) % 3, r2 = (c + 2) % 3, c1 = (r + 1) % 3, c2 = (r + 2) % 3;
            inv[r][c] = (a(r1, c1) * a(r2, c2) - a(r1, c2) * a(r2, c1)) / det;
        }
    auto invTimes = [&](const Vec& v) {
        return Vec{inv[0][0] * v[0] + inv[0][1] * v[1] + inv[0][2] * v[2],
                   inv[1][0] * v[0] + inv[1][1] * v[1] + inv[1][2] * v[2],
                   inv[2][0] * v[0] + inv[2][1] * v[1] + inv[2][2] * v[2]};
    };
    auto aTimes = [&](const Vec& v) {
        return Vec{a(0, 0) * v[0] + a(0, 1) * v[1] + a(0, 2) * v[2], a(1, 0) * v[0] + a(1, 1) * v[1] + a(1, 2) * v[2],
                   a(2, 0) * v[0] + a(2, 1) * v[1] + a(2, 2) * v[2]};
    };

    // d: from the box towards the viewer, in voxel coordinates.
    Vec eye{}, d{};
    if (inOrthographic) {
        d = invTimes(Vec{0.0, 0.0, 1.0});
    } else {
        eye = invTimes(Vec{-inModelView[12], -inModelView[13], -inModelView[14]});
        const Vec centre{0.5 * (inBox.left + inBox.right), 0.5 * (inBox.top + inBox.bottom),
                         0.5 * (inBox.front + inBox.back)};
        d = Vec{eye[0] - centre[0], eye[1] - centre[1], eye[2] - centre[2]};
    }
    // The planes across axis k have the eye-space normal row k of inv(A); the cosine
    // between it and the line of sight A·d is d[k] / (|row k| · |A·d|).
    double best = -1.0;
    for (int k = 0; k < 3; ++k) {
        const double row = Norm(Vec{inv[k][0], inv[k][1], inv[k][2]});
        const double score = row > 0.0 ? std::fabs(d[k]) / row : 0.0;
        if (score > best) {
            best = score;
            itsAxis = k;
        }
    }
    const int k = itsAxis;
    itsEye = eye[k];
    itsViewerAbove = d[k] >= 0.0;

    // One slice step along the ray is d / d[k] in voxels; its eye-space length against
    // the reference length makes the weight.
    const double extent[3] = {double(inBox.GetWidth()), double(inBox.GetHeight()), double(inBox.GetDepth())};
    double longest = 0.0;
    for (int axis = 0; axis < 3; ++axis) {
        Vec side{};
        side[size_t(axis)] = extent[axis];
        longest = std::max(longest, Norm(aTimes(side)));
    }
    const double reference = longest / kSlicesPerLongestSide;
    if (d[k] != 0.0 && reference > 0.0) {
        const Vec step{d[0] / d[k], d[1] / d[k], d[2] / d[k]};
        const double weight = Norm(aTimes(step)) / reference;
        if (std::isfinite(weight))
            itsWeight = weight;
    }
}

std::vector<int> XSliceStackView::GetBackToFrontOrder(int inCount, int inFront) const
{
    std::vector<int> order(size_t(std::max(inCount, 0)));
    std::iota(order.begin(), order.end(), 0);
    if (itsOrthographic) {
        if (!itsViewerAbove)
            std::reverse(order.begin(), order.end());
        return order;
    }
    // With the viewer inside the stack's range the farthest slices lie at both ends.
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        return std::fabs(inFront + a + 0.5 - itsEye) > std::fabs(inFront + b + 0.5 - itsEye);
    });
    return order;
}

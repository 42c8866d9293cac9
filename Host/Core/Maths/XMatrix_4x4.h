#pragma once
// 4x4 transform of the scene-graph layer. Points are row vectors transformed as
// p x M, so A x B applies A first; the translation stands in row 3. Elements are
// stored row after row, which is exactly the column-major order OpenGL and the
// shaders expect for the same transform (hand GetData() to glLoadMatrixf).
//
// View space is right-handed with the camera looking down -z (as gluLookAt);
// projections map the view volume onto clip space with z in [-w, w].
#include "X3DMatrix.h"
#include "XMathVector.h"

#include <algorithm>
#include <cmath>

template <typename T>
class XMatrix_4x4 {
public:
    using XVector3 = XMathVector<T, 3>;
    using XVector4 = XMathVector<T, 4>;

    // The identity.
    constexpr XMatrix_4x4() : itsElements{{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}} {}
    // Sixteen values row after row.
    explicit XMatrix_4x4(const T* inRowMajor)
    {
        for (size_t i = 0; i < 16; ++i)
            itsElements[i / 4][i % 4] = inRowMajor[i];
    }

    T* operator[](size_t inRow) { return itsElements[inRow]; }
    const T* operator[](size_t inRow) const { return itsElements[inRow]; }
    T operator()(size_t inRow, size_t inColumn) const { return itsElements[inRow][inColumn]; }
    T& operator()(size_t inRow, size_t inColumn) { return itsElements[inRow][inColumn]; }
    const T* GetData() const { return &itsElements[0][0]; }

    static XMatrix_4x4 MakeIdentity() { return XMatrix_4x4(); }
    static XMatrix_4x4 MakeTranslation(T inX, T inY, T inZ)
    {
        XMatrix_4x4 m;
        m.itsElements[3][0] = inX;
        m.itsElements[3][1] = inY;
        m.itsElements[3][2] = inZ;
        return m;
    }
    static XMatrix_4x4 MakeTranslation(const XVector3& inOffset) { return MakeTranslation(inOffset[0], inOffset[1], inOffset[2]); }
    static XMatrix_4x4 MakeScale(T inX, T inY, T inZ)
    {
        XMatrix_4x4 m;
        m.itsElements[0][0] = inX;
        m.itsElements[1][1] = inY;
        m.itsElements[2][2] = inZ;
        return m;
    }
    static XMatrix_4x4 MakeScale(const XVector3& inScale) { return MakeScale(inScale[0], inScale[1], inScale[2]); }
    // Right-handed rotation by inRadians about inAxis (normalised here; a zero axis gives the identity).
    static XMatrix_4x4 MakeRotation(const XVector3& inAxis, T inRadians)
    {
        const double length = std::sqrt(double(inAxis[0]) * inAxis[0] + double(inAxis[1]) * inAxis[1] + double(inAxis[2]) * inAxis[2]);
        XMatrix_4x4 m;
        if (!(length > 0.0) || !std::isfinite(length))
            return m;
        const double x = inAxis[0] / length, y = inAxis[1] / length, z = inAxis[2] / length;
        const double c = std::cos(double(inRadians)), s = std::sin(double(inRadians)), t = 1.0 - c;
        // The transpose of the column-vector rotation, as points multiply from the left.
        m.itsElements[0][0] = T(t * x * x + c);
        m.itsElements[1][0] = T(t * x * y - s * z);
        m.itsElements[2][0] = T(t * x * z + s * y);
        m.itsElements[0][1] = T(t * x * y + s * z);
        m.itsElements[1][1] = T(t * y * y + c);
        m.itsElements[2][1] = T(t * y * z - s * x);
        m.itsElements[0][2] = T(t * x * z - s * y);
        m.itsElements[1][2] = T(t * y * z + s * x);
        m.itsElements[2][2] = T(t * z * z + c);
        return m;
    }
    static XMatrix_4x4 MakeRotationX(T inRadians) { return MakeRotation(XVector3(1, 0, 0), inRadians); }
    static XMatrix_4x4 MakeRotationY(T inRadians) { return MakeRotation(XVector3(0, 1, 0), inRadians); }
    static XMatrix_4x4 MakeRotationZ(T inRadians) { return MakeRotation(XVector3(0, 0, 1), inRadians); }
    // The view transform of an eye at inEye looking at inTarget (the same matrix gluLookAt makes).
    // A degenerate set-up (eye on the target, or up along the view) gives the translation alone.
    static XMatrix_4x4 MakeLookAt(const XVector3& inEye, const XVector3& inTarget, const XVector3& inUp)
    {
        XVector3 back = inEye - inTarget;
        XVector3 right = inUp.Cross(back);
        if (!(back.GetLengthSquared() > T(0)) || !(right.GetLengthSquared() > T(0)))
            return MakeTranslation(-inEye);
        back.Normalise();
        right.Normalise();
        const XVector3 up = back.Cross(right);
        return MakeView(inEye, right, up, back);
    }
    // The view transform of a camera at inEye whose own x, y, z axes (right, up and
    // backwards, orthonormal) are the given world directions.
    static XMatrix_4x4 MakeView(const XVector3& inEye, const XVector3& inRight, const XVector3& inUp, const XVector3& inBack)
    {
        XMatrix_4x4 m;
        const XVector3* axes[3] = {&inRight, &inUp, &inBack};
        for (size_t c = 0; c < 3; ++c) {
            for (size_t r = 0; r < 3; ++r)
                m.itsElements[r][c] = (*axes[c])[r];
            m.itsElements[3][c] = -axes[c]->Dot(inEye);
        }
        return m;
    }
    // Perspective projection: inFieldOfViewY (radians) across the height, width / height
    // = inAspect, positive clip distances. Points at -near map to depth -1, at -far to +1.
    static XMatrix_4x4 MakePerspective(T inFieldOfViewY, T inAspect, T inNear, T inFar)
    {
        const double f = 1.0 / std::tan(0.5 * double(inFieldOfViewY));
        XMatrix_4x4 m;
        m.itsElements[0][0] = T(f / inAspect);
        m.itsElements[1][1] = T(f);
        m.itsElements[2][2] = T((double(inFar) + inNear) / (double(inNear) - inFar));
        m.itsElements[2][3] = T(-1);
        m.itsElements[3][2] = T(2.0 * inFar * inNear / (double(inNear) - inFar));
        m.itsElements[3][3] = T(0);
        return m;
    }
    // Perspective projection of an off-centre view volume given at the near plane (as glFrustum).
    static XMatrix_4x4 MakeFrustum(T inLeft, T inRight, T inBottom, T inTop, T inNear, T inFar)
    {
        XMatrix_4x4 m;
        const double w = double(inRight) - inLeft, h = double(inTop) - inBottom, d = double(inFar) - inNear;
        m.itsElements[0][0] = T(2.0 * inNear / w);
        m.itsElements[1][1] = T(2.0 * inNear / h);
        m.itsElements[2][0] = T((double(inRight) + inLeft) / w);
        m.itsElements[2][1] = T((double(inTop) + inBottom) / h);
        m.itsElements[2][2] = T(-(double(inFar) + inNear) / d);
        m.itsElements[2][3] = T(-1);
        m.itsElements[3][2] = T(-2.0 * inFar * inNear / d);
        m.itsElements[3][3] = T(0);
        return m;
    }
    // Orthographic projection of the box left..right, bottom..top, -near..-far (as glOrtho).
    static XMatrix_4x4 MakeOrthographic(T inLeft, T inRight, T inBottom, T inTop, T inNear, T inFar)
    {
        XMatrix_4x4 m;
        const double w = double(inRight) - inLeft, h = double(inTop) - inBottom, d = double(inFar) - inNear;
        m.itsElements[0][0] = T(2.0 / w);
        m.itsElements[1][1] = T(2.0 / h);
        m.itsElements[2][2] = T(-2.0 / d);
        m.itsElements[3][0] = T(-(double(inRight) + inLeft) / w);
        m.itsElements[3][1] = T(-(double(inTop) + inBottom) / h);
        m.itsElements[3][2] = T(-(double(inFar) + inNear) / d);
        return m;
    }

    // (A x B)[i][j] = sum over k of A[i][k] * B[k][j], accumulated from k = 0.
    friend XMatrix_4x4 operator*(const XMatrix_4x4& a, const XMatrix_4x4& b)
    {
        XMatrix_4x4 p;
        for (size_t i = 0; i < 4; ++i)
            for (size_t j = 0; j < 4; ++j) {
                T sum = T(0);
                for (size_t k = 0; k < 4; ++k)
                    sum += a.itsElements[i][k] * b.itsElements[k][j];
                p.itsElements[i][j] = sum;
            }
        return p;
    }
    XMatrix_4x4& operator*=(const XMatrix_4x4& inOther) { return *this = *this * inOther; }
    // The row vector times the matrix.
    friend XVector4 operator*(const XVector4& v, const XMatrix_4x4& m)
    {
        XVector4 r;
        for (size_t j = 0; j < 4; ++j) {
            T sum = T(0);
            for (size_t k = 0; k < 4; ++k)
                sum += v[k] * m.itsElements[k][j];
            r[j] = sum;
        }
        return r;
    }
    // A point (w = 1) through an affine transform; w of the result is ignored.
    XVector3 TransformPoint(const XVector3& inPoint) const { return (XVector4(inPoint, T(1)) * *this).GetXYZ(); }
    // A direction (w = 0): translation does not apply.
    XVector3 TransformVector(const XVector3& inVector) const { return (XVector4(inVector, T(0)) * *this).GetXYZ(); }
    // A point through a projective transform, divided by the resulting w.
    XVector3 TransformCoord(const XVector3& inPoint) const
    {
        const XVector4 h = XVector4(inPoint, T(1)) * *this;
        return h.GetXYZ() / h[3];
    }

    XMatrix_4x4 GetTranspose() const
    {
        XMatrix_4x4 t;
        for (size_t i = 0; i < 4; ++i)
            for (size_t j = 0; j < 4; ++j)
                t.itsElements[j][i] = itsElements[i][j];
        return t;
    }
    // The inverse, computed in double precision; outInvertible (when given) says
    // whether one exists. A singular matrix gives the identity.
    XMatrix_4x4 GetInverse(bool* outInvertible = nullptr) const
    {
        double a[4][8];
        for (size_t i = 0; i < 4; ++i)
            for (size_t j = 0; j < 4; ++j) {
                a[i][j] = itsElements[i][j];
                a[i][j + 4] = i == j ? 1.0 : 0.0;
            }
        double scale = 0.0;
        for (size_t i = 0; i < 4; ++i)
            for (size_t j = 0; j < 4; ++j)
                scale = std::max(scale, std::abs(a[i][j]));
        bool ok = scale > 0.0 && std::isfinite(scale);
        for (size_t c = 0; ok && c < 4; ++c) {
            size_t pivot = c;
            for (size_t r = c + 1; r < 4; ++r)
                if (std::abs(a[r][c]) > std::abs(a[pivot][c]))
                    pivot = r;
            if (!(std::abs(a[pivot][c]) > scale * 1e-12)) {
                ok = false;
                break;
            }
            if (pivot != c)
                for (size_t k = 0; k < 8; ++k)
                    std::swap(a[pivot][k], a[c][k]);
            const double p = a[c][c];
            for (size_t k = 0; k < 8; ++k)
                a[c][k] /= p;
            for (size_t r = 0; r < 4; ++r)
                if (r != c && a[r][c] != 0.0) {
                    const double f = a[r][c];
                    for (size_t k = 0; k < 8; ++k)
                        a[r][k] -= f * a[c][k];
                }
        }
        if (outInvertible)
            *outInvertible = ok;
        XMatrix_4x4 inverse;
        if (ok)
            for (size_t i = 0; i < 4; ++i)
                for (size_t j = 0; j < 4; ++j)
                    inverse.itsElements[i][j] = T(a[i][j + 4]);
        return inverse;
    }

    // Conversions with the column-vector X3DMatrix keep the transform: the elements are transposed.
    static XMatrix_4x4 MakeFromX3DMatrix(const X3DMatrix& inMatrix)
    {
        if (!inMatrix.IsSquare(4))
            throw XMatrixException(XString("a 4 x 4 transform cannot be made from a matrix of %1 x %2")
                                       .Replace(static_cast<int64_t>(inMatrix.GetRows()))
                                       .Replace(static_cast<int64_t>(inMatrix.GetColumns())));
        XMatrix_4x4 m;
        for (size_t i = 0; i < 4; ++i)
            for (size_t j = 0; j < 4; ++j)
                m.itsElements[j][i] = T(inMatrix(i, j));
        return m;
    }
    X3DMatrix ToX3DMatrix() const
    {
        X3DMatrix m(4, 4);
        for (size_t i = 0; i < 4; ++i)
            for (size_t j = 0; j < 4; ++j)
                m(j, i) = double(itsElements[i][j]);
        return m;
    }

    friend bool operator==(const XMatrix_4x4& a, const XMatrix_4x4& b)
    {
        for (size_t i = 0; i < 4; ++i)
            for (size_t j = 0; j < 4; ++j)
                if (!(a.itsElements[i][j] == b.itsElements[i][j]))
                    return false;
        return true;
    }
    bool IsNearlyEqual(const XMatrix_4x4& inOther, T inTolerance) const
    {
        for (size_t i = 0; i < 4; ++i)
            for (size_t j = 0; j < 4; ++j)
                if (!(std::abs(itsElements[i][j] - inOther.itsElements[i][j]) <= inTolerance))
                    return false;
        return true;
    }

private:
    T itsElements[4][4];
};

using XMatrix_4x4F = XMatrix_4x4<float>;

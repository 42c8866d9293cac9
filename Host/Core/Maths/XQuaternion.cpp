#include "XQuaternion.h"

#include <algorithm>
#include <cmath>

const XQuaternion XQuaternion::kIdentity;

XQuaternion XQuaternion::MakeFromAxisAngle(const XMathVectorF3& inAxis, double inRadians)
{
    const double x = inAxis[0], y = inAxis[1], z = inAxis[2];
    const double length = std::sqrt(x * x + y * y + z * z);
    if (!(length > 0.0) || !std::isfinite(length) || !std::isfinite(inRadians))
        return kIdentity;
    const double s = std::sin(0.5 * inRadians) / length;
    return XQuaternion(x * s, y * s, z * s, std::cos(0.5 * inRadians));
}

XQuaternion XQuaternion::MakeFromAxisAngle(const X3DMatrix& inAxis, double inRadians)
{
    if (!inAxis.IsColumnVector() || inAxis.GetRows() < 3)
        throw XMatrixException("a rotation axis must be a column vector of three elements");
    const double x = inAxis(0, 0), y = inAxis(1, 0), z = inAxis(2, 0);
    const double length = std::sqrt(x * x + y * y + z * z);
    if (!(length > 0.0) || !std::isfinite(length) || !std::isfinite(inRadians))
        return kIdentity;
    const double s = std::sin(0.5 * inRadians) / length;
    return XQuaternion(x * s, y * s, z * s, std::cos(0.5 * inRadians));
}

XQuaternion XQuaternion::FromRotation(const double m[3][3])
{
    // Take the square root of the largest of the four diagonal combinations, so
    // the division below never goes through a small number (half turns included).
    const double trace = m[0][0] + m[1][1] + m[2][2];
    XQuaternion q;
    if (trace >= m[0][0] && trace >= m[1][1] && trace >= m[2][2]) {
        const double s = std::sqrt(std::max(0.0, 1.0 + trace)) * 2.0; // 4w
        q = XQuaternion((m[2][1] - m[1][2]) / s, (m[0][2] - m[2][0]) / s, (m[1][0] - m[0][1]) / s, 0.25 * s);
    } else if (m[0][0] >= m[1][1] && m[0][0] >= m[2][2]) {
        const double s = std::sqrt(std::max(0.0, 1.0 + m[0][0] - m[1][1] - m[2][2])) * 2.0; // 4x
        q = XQuaternion(0.25 * s, (m[0][1] + m[1][0]) / s, (m[0][2] + m[2][0]) / s, (m[2][1] - m[1][2]) / s);
    } else if (m[1][1] >= m[2][2]) {
        const double s = std::sqrt(std::max(0.0, 1.0 - m[0][0] + m[1][1] - m[2][2])) * 2.0; // 4y
        q = XQuaternion((m[0][1] + m[1][0]) / s, 0.25 * s, (m[1][2] + m[2][1]) / s, (m[0][2] - m[2][0]) / s);
    } else {
        const double s = std::sqrt(std::max(0.0, 1.0 - m[0][0] - m[1][1] + m[2][2])) * 2.0; // 4z
        q = XQuaternion((m[0][2] + m[2][0]) / s, (m[1][2] + m[2][1]) / s, 0.25 * s, (m[1][0] - m[0][1]) / s);
    }
    // Keep w non-negative so equal rotations give equal quaternions.
    if (q.itsW < 0.0)
        q = XQuaternion(-q.itsX, -q.itsY, -q.itsZ, -q.itsW);
    q.Normalise();
    return q;
}

XQuaternion XQuaternion::MakeFromRotationMatrix(const X3DMatrix& inMatrix)
{
    if (inMatrix.GetRows() < 3 || inMatrix.GetColumns() < 3)
        throw XMatrixException(XString("a rotation needs at least a 3 x 3 matrix, not %1 x %2")
                                   .Replace(static_cast<int64_t>(inMatrix.GetRows()))
                                   .Replace(static_cast<int64_t>(inMatrix.GetColumns())));
    double m[3][3];
    for (size_t r = 0; r < 3; ++r)
        for (size_t c = 0; c < 3; ++c)
            m[r][c] = inMatrix(r, c);
    return FromRotation(m);
}

XQuaternion XQuaternion::MakeFromRotationMatrix(const XMatrix_4x4<float>& inMatrix)
{
    double m[3][3];
    for (size_t r = 0; r < 3; ++r)
        for (size_t c = 0; c < 3; ++c)
            m[r][c] = inMatrix(c, r); // row-vector form is the transpose
    return FromRotation(m);
}

double XQuaternion::GetLength() const
{
    return std::sqrt(GetLengthSquared());
}

bool XQuaternion::IsValid() const
{
    const double length = GetLength();
    return length > 0.0 && std::isfinite(length);
}

void XQuaternion::Normalise()
{
    if (!IsValid()) {
        *this = kIdentity;
        return;
    }
    const double length = GetLength();
    itsX /= length;
    itsY /= length;
    itsZ /= length;
    itsW /= length;
}

XQuaternion XQuaternion::GetNormalised() const
{
    XQuaternion q(*this);
    q.Normalise();
    return q;
}

void XQuaternion::GetAxisAngle(XMathVectorF3& outAxis, double& outRadians) const
{
    const XQuaternion q = GetNormalised();
    const double s = std::sqrt(q.itsX * q.itsX + q.itsY * q.itsY + q.itsZ * q.itsZ);
    outRadians = 2.0 * std::atan2(s, q.itsW);
    if (s > 0.0)
        outAxis = XMathVectorF3(float(q.itsX / s), float(q.itsY / s), float(q.itsZ / s));
    else
        outAxis = XMathVectorF3(1.0f, 0.0f, 0.0f);
}

namespace {
// v + 2w(u x v) + 2u x (u x v) for a unit quaternion (u, w).
void RotateVector(double x, double y, double z, double w, const double v[3], double out[3])
{
    const double tx = 2.0 * (y * v[2] - z * v[1]);
    const double ty = 2.0 * (z * v[0] - x * v[2]);
    const double tz = 2.0 * (x * v[1] - y * v[0]);
    out[0] = v[0] + w * tx + (y * tz - z * ty);
    out[1] = v[1] + w * ty + (z * tx - x * tz);
    out[2] = v[2] + w * tz + (x * ty - y * tx);
}
} // namespace

XMathVectorF3 XQuaternion::Rotate(const XMathVectorF3& inVector) const
{
    const XQuaternion q = GetNormalised();
    const double v[3] = {inVector[0], inVector[1], inVector[2]};
    double r[3];
    RotateVector(q.itsX, q.itsY, q.itsZ, q.itsW, v, r);
    return XMathVectorF3(float(r[0]), float(r[1]), float(r[2]));
}

X3DMatrix XQuaternion::Rotate(const X3DMatrix& inVector) const
{
    if (!inVector.IsColumnVector(3))
        throw XMatrixException("only a column vector of three elements can be rotated");
    const XQuaternion q = GetNormalised();
    const double v[3] = {inVector(0, 0), inVector(1, 0), inVector(2, 0)};
    double r[3];
    RotateVector(q.itsX, q.itsY, q.itsZ, q.itsW, v, r);
    return X3DMatrix::ColumnVector(r[0], r[1], r[2]);
}

X3DMatrix XQuaternion::ToX3DMatrix(size_t inOrder) const
{
    if (inOrder != 3 && inOrder != 4)
        throw XException(XException::kBadArgument,
            XString("a rotation matrix is of order 3 or 4, not %1").Replace(static_cast<int64_t>(inOrder)));
    const XQuaternion q = GetNormalised();
    const double x = q.itsX, y = q.itsY, z = q.itsZ, w = q.itsW;
    X3DMatrix m = X3DMatrix::UnitMatrix(inOrder);
    m(0, 0) = 1.0 - 2.0 * (y * y + z * z);
    m(0, 1) = 2.0 * (x * y - z * w);
    m(0, 2) = 2.0 * (x * z + y * w);
    m(1, 0) = 2.0 * (x * y + z * w);
    m(1, 1) = 1.0 - 2.0 * (x * x + z * z);
    m(1, 2) = 2.0 * (y * z - x * w);
    m(2, 0) = 2.0 * (x * z - y * w);
    m(2, 1) = 2.0 * (y * z + x * w);
    m(2, 2) = 1.0 - 2.0 * (x * x + y * y);
    return m;
}

XMatrix_4x4<float> XQuaternion::ToMatrix() const
{
    const X3DMatrix r = ToX3DMatrix(3);
    XMatrix_4x4<float> m;
    for (size_t i = 0; i < 3; ++i)
        for (size_t j = 0; j < 3; ++j)
            m(j, i) = float(r(i, j));
    return m;
}

XQuaternion XQuaternion::Slerp(const XQuaternion& inFrom, const XQuaternion& inTo, double inT)
{
    const XQuaternion a = inFrom.GetNormalised();
    XQuaternion b = inTo.GetNormalised();
    double cosine = a.itsX * b.itsX + a.itsY * b.itsY + a.itsZ * b.itsZ + a.itsW * b.itsW;
    // q and -q are the same rotation: pick the sign that makes the arc the shorter one.
    if (cosine < 0.0) {
        b = XQuaternion(-b.itsX, -b.itsY, -b.itsZ, -b.itsW);
        cosine = -cosine;
    }
    double wa, wb;
    if (cosine > 0.9995) {
        // Nearly equal: the sine below loses precision, and a straight line is as good.
        wa = 1.0 - inT;
        wb = inT;
    } else {
        const double angle = std::acos(std::min(1.0, cosine));
        const double s = std::sin(angle);
        wa = std::sin((1.0 - inT) * angle) / s;
        wb = std::sin(inT * angle) / s;
    }
    XQuaternion q(wa * a.itsX + wb * b.itsX, wa * a.itsY + wb * b.itsY, wa * a.itsZ + wb * b.itsZ,
        wa * a.itsW + wb * b.itsW);
    q.Normalise();
    return q;
}

XQuaternion operator*(const XQuaternion& a, const XQuaternion& b)
{
    return XQuaternion(a.itsW * b.itsX + a.itsX * b.itsW + a.itsY * b.itsZ - a.itsZ * b.itsY,
        a.itsW * b.itsY - a.itsX * b.itsZ + a.itsY * b.itsW + a.itsZ * b.itsX,
        a.itsW * b.itsZ + a.itsX * b.itsY - a.itsY * b.itsX + a.itsZ * b.itsW,
        a.itsW * b.itsW - a.itsX * b.itsX - a.itsY * b.itsY - a.itsZ * b.itsZ);
}

bool XQuaternion::IsSameRotation(const XQuaternion& inOther, double inTolerance) const
{
    const XQuaternion a = GetNormalised(), b = inOther.GetNormalised();
    const auto near = [&](double sign) {
        return std::abs(a.itsX - sign * b.itsX) <= inTolerance && std::abs(a.itsY - sign * b.itsY) <= inTolerance &&
               std::abs(a.itsZ - sign * b.itsZ) <= inTolerance && std::abs(a.itsW - sign * b.itsW) <= inTolerance;
    };
    return near(1.0) || near(-1.0);
}

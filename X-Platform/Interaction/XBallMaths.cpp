#include "XBallMaths.h"
#include "XAssert.h"
#include "XGLRenderable.h"
#include "XLock.h"

#include <algorithm>
#include <cmath>

namespace {
// Below this the two vectors are (anti)parallel and the cross product gives no
// usable axis: no roll rather than a turn about a direction made of rounding noise.
constexpr double kMinAxisLength = 1e-9;

bool IsFinite(const X3DMatrix& inMatrix)
{
    const double* p = inMatrix.GetData();
    for (size_t i = 0; i < inMatrix.GetRows() * inMatrix.GetColumns(); ++i)
        if (!std::isfinite(p[i]))
            return false;
    return true;
}
} // namespace

XBallMaths::XBallMaths(XGLRenderable* inRenderable)
    : itsStartVector(X3DMatrix::ColumnVector(0, 0, 1)), itsEndVector(X3DMatrix::ColumnVector(0, 0, 1)),
      itsRenderable(inRenderable)
{
    SetRollToNull();
}

void XBallMaths::SetVectors(const X3DMatrix& inStart, const X3DMatrix& inEnd)
{
    X_ASSERT_TEXT(inStart.IsColumnVector(3), "start.IsColumnVector( 3 )");
    X_ASSERT_TEXT(inEnd.IsColumnVector(3), "end.IsColumnVector( 3 )");
    if (!inStart.IsColumnVector(3) || !inEnd.IsColumnVector(3))
        return;
    itsStartVector = inStart.GetL2Norm();
    itsEndVector = inEnd.GetL2Norm();
    SetRollAxisAndAngleFromPoints();
}

void XBallMaths::SetRollAxisAndAngleFromPoints()
{
    const X3DMatrix axis = X3DMatrix::CrossProduct(itsStartVector, itsEndVector);
    const double cosine = X3DMatrix::DotProduct(itsStartVector, itsEndVector);
    const double axisLength = axis.L2Length();
    // A zero, parallel or non-finite pair has no axis; rounding can also push the
    // cosine of nearly parallel unit vectors past 1, where arccos gives NaN.
    if (!IsFinite(axis) || !std::isfinite(cosine) || !(axisLength > kMinAxisLength)) {
        SetRollToNull();
        return;
    }
    itsRollAxis = axis;
    itsRollAngle = float(std::acos(std::clamp(cosine, -1.0, 1.0)));
    ContinueRoll();
}

void XBallMaths::SetRollToNull()
{
    itsRollAxis = X3DMatrix::ColumnVector(0, 1, 0);
    itsRollAngle = 0.0f;
}

XGLMatrix XBallMaths::GetRollMatrix() const
{
    return XGLMatrix(X3DMatrix::RotationMatrix(GetRollAxis(), double(GetRollAngle())));
}

void XBallMaths::ContinueRoll()
{
    if (!itsRenderable || GetRollAngle() == 0.0f)
        return;
    const XGLMatrix roll = GetRollMatrix();
    // M ← M·R, then the 3 × 3 block is made orthonormal again so that rounding does
    // not build up over a long spin. Read and write happen under one hold of the lock:
    // the drawing path reads the matrix, and a change made between the two by another
    // thread would be lost.
    XLock lock(itsRenderable->GetMutex());
    XGLMatrix& rotation = GetObjectsRotationMatrix();
    X3DMatrix turned = static_cast<const X3DMatrix&>(rotation) * roll;
    turned.SetSubMatrix(0, 0, X3DMatrix::OrthoNormalise(turned.GetSubMatrix(0, 0, 3, 3)));
    rotation = XGLMatrix(turned);
}

X3DMatrix XBallMaths::GetPointOnBallFromScreenPoint(const XGLMatrix& inScreenToWorld, double inX, double inY)
{
    const X3DMatrix zero = X3DMatrix::ZeroMatrix(3, 1);
    if (!inScreenToWorld.IsSquare(4))
        return zero;
    auto unproject = [&](double inDepth, double outPoint[3]) {
        const X3DMatrix p = static_cast<const X3DMatrix&>(inScreenToWorld) * X3DMatrix::ColumnVector({inX, inY, inDepth, 1.0});
        const double w = p(3, 0);
        if (w == 0.0 || !std::isfinite(w))
            return false;
        for (int i = 0; i < 3; ++i)
            outPoint[i] = p(size_t(i), 0) / w;
        return std::isfinite(outPoint[0]) && std::isfinite(outPoint[1]) && std::isfinite(outPoint[2]);
    };
    double o[3], f[3];
    if (!unproject(0.0, o) || !unproject(0.5, f))
        return zero;
    X3DMatrix origin = X3DMatrix::ColumnVector(o[0], o[1], o[2]);
    X3DMatrix direction = X3DMatrix::ColumnVector(f[0] - o[0], f[1] - o[1], f[2] - o[2]);
    if (!(direction.L2Length() > 0.0))
        return zero;
    direction.L2Norm();
    // The ray O + t·d against the unit sphere: t² + b·t + c = 0.
    const double b = 2.0 * X3DMatrix::DotProduct(direction, origin);
    const double c = X3DMatrix::DotProduct(origin, origin) - 1.0;
    const double disc = b * b - 4.0 * c;
    const double t = disc > 0.0 ? (-b - std::sqrt(disc)) / 2.0 : -b / 2.0;
    return (origin + direction * t).GetL2Norm();
}

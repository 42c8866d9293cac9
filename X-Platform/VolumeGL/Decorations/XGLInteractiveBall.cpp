#include "XGLInteractiveBall.h"

#include "XGLColourAttachment.h"
#include "XLock.h"
#include "XMatrixException.h"

#include <cmath>

XGLInteractiveBall::XGLInteractiveBall()
{
    AttachColour();
}

XGLInteractiveBall::XGLInteractiveBall(const XGLInteractiveBall& inOther) : XGLTickBall(inOther)
{
    itsScreenToWorld = inOther.GetStoredScreenToWorldMatrix();
    AttachColour();
}

XGLInteractiveBall& XGLInteractiveBall::operator=(const XGLInteractiveBall& inOther)
{
    if (this == &inOther)
        return *this;
    XGLTickBall::operator=(inOther);
    const XGLMatrix matrix = inOther.GetStoredScreenToWorldMatrix();
    XLock lock(itsMutex);
    itsScreenToWorld = matrix;
    return *this;
}

void XGLInteractiveBall::AttachColour()
{
    AddAttachment(new XGLColourAttachment(1.0, 1.0, 1.0, 1.0));
}

XGLMatrix XGLInteractiveBall::GetStoredScreenToWorldMatrix() const
{
    XLock lock(itsMutex);
    return itsScreenToWorld;
}

void XGLInteractiveBall::RenderSelf(XGLRenderable& inFrom)
{
    {
        XLock lock(itsMutex);
        try {
            itsScreenToWorld = XGLMatrix::GetScreenToWorldMatrix();
        } catch (const XMatrixException&) {
            // A degenerate frame (zero scale): keep the last usable mapping.
        }
    }
    XGLTickBall::RenderSelf(inFrom);
}

namespace {
X3DMatrix Unproject(const X3DMatrix& inScreenToWorld, double inX, double inY, double inDepth)
{
    const X3DMatrix p = inScreenToWorld * X3DMatrix::ColumnVector({inX, inY, inDepth, 1.0});
    const double w = p(3, 0);
    return X3DMatrix::ColumnVector({p(0, 0) / w, p(1, 0) / w, p(2, 0) / w, 1.0});
}
} // namespace

X3DMatrix XGLInteractiveBall::GetPointOnBallFromScreenPoint(const XPoint& inPoint) const
{
    const XGLMatrix screenToWorld = GetStoredScreenToWorldMatrix();
    X3DMatrix o = Unproject(screenToWorld, inPoint.x, inPoint.y, 0.0);
    const X3DMatrix f = Unproject(screenToWorld, inPoint.x, inPoint.y, 0.5);
    o(3, 0) = 0.0;
    X3DMatrix d = f - o;
    d(3, 0) = 0.0;
    d.L2Norm();
    // The ray o + t·d against the unit sphere: the nearer hit, or the ray's closest
    // approach to the centre when it misses.
    const double b = 2.0 * d.DotProduct(o);
    const double c = o.DotProduct(o) - 1.0;
    const double disc = b * b - 4.0 * c;
    const double t = disc > 0.0 ? (-b - std::sqrt(disc)) / 2.0 : -b / 2.0;
    const X3DMatrix p = o + t * d;
    X3DMatrix result = X3DMatrix::ColumnVector(p(0, 0), p(1, 0), p(2, 0));
    result.L2Norm();
    // A singular stored mapping gives NaN; the ball's centre-facing point is the safe answer.
    if (!std::isfinite(result(0, 0)) || !std::isfinite(result(1, 0)) || !std::isfinite(result(2, 0)))
        return X3DMatrix::ColumnVector(0.0, 0.0, 1.0);
    return result;
}

#include "XGLInteractiveBall.h"

#include "XBallMaths.h"
#include "XGLColourAttachment.h"
#include "XLock.h"
#include "XMatrixException.h"


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

X3DMatrix XGLInteractiveBall::GetPointOnBallFromScreenPoint(const XPoint& inPoint) const
{
    return XBallMaths::GetPointOnBallFromScreenPoint(GetStoredScreenToWorldMatrix(), inPoint.x, inPoint.y);
}

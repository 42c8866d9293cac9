#include "XGLFitVolumeToUnitCube.h"

#include "XAssert.h"
#include "XGLCapabilitySetter.h"
#include "XGLException.h"
#include "XLock.h"
#include "XOpenGL.h"

#include <algorithm>
#include <cmath>

XGLFitVolumeToUnitCube::XGLFitVolumeToUnitCube(const X3DRect& inRect, XFitStyle inStyle)
    : itsFitRect(inRect), itsFitStyle(inStyle)
{
}

void XGLFitVolumeToUnitCube::Render(XGLRenderable& inFrom)
{
    {
        XLock lock(itsMutex);
        // Until the box has a size there is nothing to fit, and the fit would divide by zero.
        if (itsFitRect.GetWidth() <= 0 || itsFitRect.GetHeight() <= 0 || itsFitRect.GetDepth() <= 0)
            return;
    }
    XGLRenderable::Render(inFrom);
    ThrowIfGLErr();
}

void XGLFitVolumeToUnitCube::TransformSelf()
{
    XLock lock(itsMutex);
    const XGLMatrix& r = GetRotation();
    const double k[3] = {r(0, 0), r(1, 1), r(2, 2)};
    const double e[3] = {double(itsFitRect.GetWidth()), double(itsFitRect.GetHeight()),
                         double(itsFitRect.GetDepth())};
    const double* s = itsSecondaryScaling;
    double d = 0.0;
    if (itsFitStyle == 0) {
        for (int i = 0; i < 3; ++i)
            d += (e[i] * k[i] * s[i]) * (e[i] * k[i] * s[i]);
        d = std::sqrt(d);
    } else {
        d = std::max({e[0] * k[0] * s[0], e[1] * k[1] * s[1], e[2] * k[2] * s[2]});
    }
    // A rotation that zeroes the diagonal, or a zero scaling, leaves no extent to fit.
    if (!(std::isfinite(d) && d != 0.0))
        d = 1.0;
    glScalef(float(s[0] / d), float(s[1] / d), float(s[2] / d));
    glTranslatef(float(-0.5 * e[0]), float(-0.5 * e[1]), float(-0.5 * e[2]));
    glTranslatef(float(-itsFitRect.left), float(-itsFitRect.top), float(-itsFitRect.front));
}

void XGLFitVolumeToUnitCube::RenderSelf(XGLRenderable&)
{
    X3DRect r;
    {
        XLock lock(itsMutex);
        if (!itsFrameVisible)
            return;
        r = itsFitRect;
    }
    const XGLCapabilitySetter lighting(GL_LIGHTING, false);
    const float x0 = float(r.left), x1 = float(r.right), y0 = float(r.top), y1 = float(r.bottom);
    for (float z : {float(r.front), float(r.back)}) {
        glBegin(GL_LINE_LOOP);
        glVertex3f(x0, y0, z);
        glVertex3f(x1, y0, z);
        glVertex3f(x1, y1, z);
        glVertex3f(x0, y1, z);
        glEnd();
    }
    glBegin(GL_LINES);
    for (float x : {x0, x1})
        for (float y : {y0, y1}) {
            glVertex3f(x, y, float(r.front));
            glVertex3f(x, y, float(r.back));
        }
    glEnd();
}

void XGLFitVolumeToUnitCube::SetFitRect(const X3DRect& inRect)
{
    XLock lock(itsMutex);
    itsFitRect = inRect;
}

X3DRect XGLFitVolumeToUnitCube::GetFitRect() const
{
    XLock lock(itsMutex);
    return itsFitRect;
}

void XGLFitVolumeToUnitCube::SetFitStyle(XFitStyle inStyle)
{
    XLock lock(itsMutex);
    itsFitStyle = inStyle;
}

XGLFitVolumeToUnitCube::XFitStyle XGLFitVolumeToUnitCube::GetFitStyle() const
{
    XLock lock(itsMutex);
    return itsFitStyle;
}

void XGLFitVolumeToUnitCube::SetSecondaryXScaling(double inScale)
{
    SetSecondaryScaling(0, inScale);
}

void XGLFitVolumeToUnitCube::SetSecondaryYScaling(double inScale)
{
    SetSecondaryScaling(1, inScale);
}

void XGLFitVolumeToUnitCube::SetSecondaryZScaling(double inScale)
{
    SetSecondaryScaling(2, inScale);
}

void XGLFitVolumeToUnitCube::SetSecondaryScaling(int inAxis, double inScale)
{
    // Zero, negative or NaN scaling would turn the fit and its correction into infinities.
    if (!(inScale > 0.0 && std::isfinite(inScale))) {
        X_REPORT("inScale > 0");
        return;
    }
    XLock lock(itsMutex);
    itsSecondaryScaling[inAxis] = inScale;
}

double XGLFitVolumeToUnitCube::GetSecondaryXScaling() const
{
    XLock lock(itsMutex);
    return itsSecondaryScaling[0];
}

double XGLFitVolumeToUnitCube::GetSecondaryYScaling() const
{
    XLock lock(itsMutex);
    return itsSecondaryScaling[1];
}

double XGLFitVolumeToUnitCube::GetSecondaryZScaling() const
{
    XLock lock(itsMutex);
    return itsSecondaryScaling[2];
}

void XGLFitVolumeToUnitCube::ShowVolumeFrame()
{
    XLock lock(itsMutex);
    itsFrameVisible = true;
}

void XGLFitVolumeToUnitCube::HideVolumeFrame()
{
    XLock lock(itsMutex);
    itsFrameVisible = false;
}

bool XGLFitVolumeToUnitCube::IsVolumeFrameVisible() const
{
    XLock lock(itsMutex);
    return itsFrameVisible;
}

XMathVectorF3 XGLFitVolumeToUnitCube::GetScalingVector() const
{
    XLock lock(itsMutex);
    const double* s = itsSecondaryScaling;
    double length = std::sqrt(s[0] * s[0] + s[1] * s[1] + s[2] * s[2]);
    if (length == 0.0)
        length = 1.0;
    return XMathVectorF3(float(s[0] / length), float(s[1] / length), float(s[2] / length));
}

XGLMatrix XGLFitVolumeToUnitCube::GetScalingCorrectionMatrix() const
{
    XLock lock(itsMutex);
    XGLMatrix m;
    m.Scale(1.0 / itsSecondaryScaling[0], 1.0 / itsSecondaryScaling[1], 1.0 / itsSecondaryScaling[2]);
    return m;
}

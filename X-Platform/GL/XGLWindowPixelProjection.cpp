#include "XGLWindowPixelProjection.h"

#include "XOpenGL.h"

XGLWindowPixelProjection::XGLWindowPixelProjection(XOrigin inOrigin) : XGLWindowPixelProjection(PixelBox(inOrigin)) {}

XGLWindowPixelProjection::XGLWindowPixelProjection(const XBox& inBox)
    : XGLOrthoProjection(inBox.left, inBox.right, inBox.bottom, inBox.top, -1.0, 1.0)
{
}

XGLWindowPixelProjection::XBox XGLWindowPixelProjection::PixelBox(XOrigin inOrigin)
{
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    if (inOrigin == kViewportTopLeft)
        return {0.0, double(viewport[2]), double(viewport[3]), 0.0};
    return {double(viewport[0]), double(viewport[0] + viewport[2]), double(viewport[1]),
            double(viewport[1] + viewport[3])};
}

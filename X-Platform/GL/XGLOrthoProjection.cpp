#include "XGLOrthoProjection.h"

#include "XOpenGL.h"

XGLOrthoProjection::XGLOrthoProjection(double inLeft, double inRight, double inBottom, double inTop, double inNear,
                                       double inFar)
{
    glGetIntegerv(GL_MATRIX_MODE, &itsMatrixMode);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(inLeft, inRight, inBottom, inTop, inNear, inFar);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
}

XGLOrthoProjection::~XGLOrthoProjection()
{
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GLenum(itsMatrixMode));
}

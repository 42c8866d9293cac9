#include "XGLWirePlane.h"

#include "XOpenGL.h"

void XGLWirePlane::RenderSelf(XGLRenderable&)
{
    GLfloat normal[3];
    glGetFloatv(GL_CURRENT_NORMAL, normal);
    glBegin(GL_LINES);
    glNormal3f(0.0f, 0.0f, 1.0f);
    // Left, top, right, bottom.
    glVertex3f(-0.5f, -0.5f, 0.0f);
    glVertex3f(-0.5f, 0.5f, 0.0f);
    glVertex3f(-0.5f, 0.5f, 0.0f);
    glVertex3f(0.5f, 0.5f, 0.0f);
    glVertex3f(0.5f, 0.5f, 0.0f);
    glVertex3f(0.5f, -0.5f, 0.0f);
    glVertex3f(0.5f, -0.5f, 0.0f);
    glVertex3f(-0.5f, -0.5f, 0.0f);
    glEnd();
    glNormal3fv(normal);
}

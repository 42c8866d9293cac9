#include "XGLXYZ.h"

#include "XOpenGL.h"

void XGLXYZ::RenderSelf(XGLRenderable&)
{
    const GLboolean wasLit = glIsEnabled(GL_LIGHTING);
    const GLboolean wasTextured = glIsEnabled(GL_TEXTURE_2D);
    GLfloat savedColour[4];
    glGetFloatv(GL_CURRENT_COLOR, savedColour);
    if (wasLit)
        glDisable(GL_LIGHTING);
    if (wasTextured)
        glDisable(GL_TEXTURE_2D);
    glBegin(GL_LINES);
    glColor3f(1.0f, 0.0f, 0.0f);
    glVertex3f(0.0f, 0.0f, 0.0f);
    glVertex3f(1.0f, 0.0f, 0.0f);
    glColor3f(0.0f, 1.0f, 0.0f);
    glVertex3f(0.0f, 0.0f, 0.0f);
    glVertex3f(0.0f, 1.0f, 0.0f);
    glColor3f(0.0f, 0.0f, 1.0f);
    glVertex3f(0.0f, 0.0f, 0.0f);
    glVertex3f(0.0f, 0.0f, 1.0f);
    glEnd();
    glColor4fv(savedColour);
    if (wasTextured)
        glEnable(GL_TEXTURE_2D);
    if (wasLit)
        glEnable(GL_LIGHTING);
}

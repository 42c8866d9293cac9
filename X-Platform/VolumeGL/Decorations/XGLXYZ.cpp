#include "XGLXYZ.h"

#include "XGLCapabilitySetter.h"
#include "XOpenGL.h"

void XGLXYZ::RenderSelf(XGLRenderable&)
{
    GLfloat savedColour[4];
    glGetFloatv(GL_CURRENT_COLOR, savedColour);
    const XGLCapabilitySetter lighting(GL_LIGHTING, false), texturing(GL_TEXTURE_2D, false);
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
}

#include "XGLDisableAttachment.h"
#include "XOpenGL.h"

void XGLDisableAttachment::PreRender()
{
    GLboolean state = GL_FALSE;
    glGetBooleanv(itsCapability, &state);
    itsWasOn = state != GL_FALSE;
    if (itsWasOn)
        glDisable(itsCapability);
}

void XGLDisableAttachment::PostRender()
{
    if (itsWasOn)
        glEnable(itsCapability);
}

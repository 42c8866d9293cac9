#include "XGLEnableAttachment.h"
#include "XOpenGL.h"

void XGLEnableAttachment::PreRender()
{
    GLboolean state = GL_FALSE;
    glGetBooleanv(itsCapability, &state);
    itsWasOn = state != GL_FALSE;
    if (!itsWasOn)
        glEnable(itsCapability);
}

void XGLEnableAttachment::PostRender()
{
    if (!itsWasOn)
        glDisable(itsCapability);
}

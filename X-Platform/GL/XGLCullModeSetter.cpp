#include "XGLCullModeSetter.h"

XGLCullModeSetter::XGLCullModeSetter(int inMode)
{
    itsWasOn = glIsEnabled(GL_CULL_FACE) != GL_FALSE;
    if (!itsWasOn)
        glEnable(GL_CULL_FACE);
    glGetIntegerv(GL_CULL_FACE_MODE, &itsMode);
    itsChanged = itsMode != inMode;
    if (itsChanged)
        glCullFace(GLenum(inMode));
}

XGLCullModeSetter::~XGLCullModeSetter()
{
    if (itsChanged)
        glCullFace(GLenum(itsMode));
    if (!itsWasOn)
        glDisable(GL_CULL_FACE);
}

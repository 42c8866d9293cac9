#include "XGLAntiAlias.h"
#include "XAssert.h"

XGLAntiAlias::XGLAntiAlias(unsigned int inCapability) : itsCapability(inCapability)
{
    switch (inCapability) {
    case GL_LINE_SMOOTH: itsHint = GL_LINE_SMOOTH_HINT; break;
    case GL_POINT_SMOOTH: itsHint = GL_POINT_SMOOTH_HINT; break;
    case GL_POLYGON_SMOOTH: itsHint = GL_POLYGON_SMOOTH_HINT; break;
    default:
        X_ASSERT(false);
        itsCapability = 0;
        return;
    }
    itsWasOn = glIsEnabled(itsCapability) != GL_FALSE;
    if (!itsWasOn)
        glEnable(itsCapability);
    glGetIntegerv(itsHint, &itsSavedHint);
    itsHintChanged = itsSavedHint != GL_NICEST;
    if (itsHintChanged)
        glHint(itsHint, GL_NICEST);
}

XGLAntiAlias::~XGLAntiAlias()
{
    if (itsCapability == 0)
        return;
    if (itsHintChanged)
        glHint(itsHint, GLenum(itsSavedHint));
    if (!itsWasOn)
        glDisable(itsCapability);
}

#include "XGLBlendFunctionSetter.h"
#include "XOpenGL.h"

XGLBlendFunctionSetter::XGLBlendFunctionSetter(int inSource, int inDestination)
{
    glGetIntegerv(GL_BLEND_SRC, &itsSource);
    glGetIntegerv(GL_BLEND_DST, &itsDestination);
    itsChanged = itsSource != inSource || itsDestination != inDestination;
    if (itsChanged)
        glBlendFunc(GLenum(inSource), GLenum(inDestination));
}

XGLBlendFunctionSetter::~XGLBlendFunctionSetter()
{
    if (itsChanged)
        glBlendFunc(GLenum(itsSource), GLenum(itsDestination));
}

#include "XGLBlendFunctionSaver.h"
#include "XOpenGL.h"

XGLBlendFunctionSaver::XGLBlendFunctionSaver()
{
    glGetIntegerv(GL_BLEND_SRC, &itsSource);
    glGetIntegerv(GL_BLEND_DST, &itsDestination);
}

XGLBlendFunctionSaver::~XGLBlendFunctionSaver()
{
    glBlendFunc(GLenum(itsSource), GLenum(itsDestination));
}

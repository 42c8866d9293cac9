#include "XGLTextureBindSaver.h"
#include "XOpenGL.h"

XGLTextureBindSaver::XGLTextureBindSaver()
{
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &itsTexture);
}

XGLTextureBindSaver::~XGLTextureBindSaver()
{
    glBindTexture(GL_TEXTURE_2D, GLuint(itsTexture));
}

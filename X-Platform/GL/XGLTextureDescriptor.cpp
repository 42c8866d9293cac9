#include "XGLTextureDescriptor.h"
#include "XGLTextureOps.h"
#include "XOpenGL.h"

bool XGLTextureDescriptor::IsInCurrentContext() const
{
    return XGLTextureOps::IsInCurrentContext(*this);
}

void XGLTextureDescriptor::Select() const
{
    glBindTexture(GL_TEXTURE_2D, itsName);
}

#include "XGLRendererException.h"
#include "XGLException.h"
#include "XOpenGL.h"

XGLRendererException::XGLRendererException(uint32_t inGLError)
    : XGLRendererException(inGLError != 0 ? inGLError : XGLException::QueryGLError(), 0)
{
}

XGLRendererException::XGLRendererException(uint32_t inGLError, int)
    : X3DRendererException(kOpenGLError, XGLException::MakeMessage(inGLError)), itsGLError(inGLError)
{
}

void XGLRendererException::ThrowIfGLErr()
{
    GLenum error = glGetError();
    if (error != GL_NO_ERROR)
        throw XGLRendererException(error);
}

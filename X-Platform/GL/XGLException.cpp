#include "XGLException.h"
#include "XOpenGL.h"

namespace {
uint32_t ResolveCode(uint32_t inGLError)
{
    return inGLError != 0 ? inGLError : XGLException::QueryGLError();
}
} // namespace

XGLException::XGLException(uint32_t inGLError)
    : XException(static_cast<int32_t>(ResolveCode(inGLError))),
      itsMessage(MakeMessage(static_cast<uint32_t>(GetErrorCode())))
{
    UpdateWhat();
}

uint32_t XGLException::QueryGLError()
{
    return OpenGLIsLoaded() ? glGetError() : 0;
}

XString XGLException::MakeMessage(uint32_t inGLError)
{
    // GLU is optional: without it the code alone must do.
    const GLubyte* text = nullptr;
    if (OpenGLIsLoaded())
        text = XGLEntry::TryGLUErrorString(inGLError);
    XString name = text ? XString(reinterpret_cast<const char*>(text)) : XString("unknown error");
    return XString("an OpenGL error occurred (%1, %2)").Replace(name).Replace(static_cast<int64_t>(inGLError));
}

void ThrowIfGLErr()
{
    GLenum error = glGetError();
    if (error != GL_NO_ERROR)
        throw XGLException(error);
}

void ThrowIfGLErr(bool inOK)
{
    if (!inOK)
        throw XGLException(0);
}

void ThrowIfGLNULL(const void* inPointer)
{
    if (!inPointer)
        throw XGLException(0);
}

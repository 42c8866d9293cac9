#pragma once
// An OpenGL error as an exception: the error number is the GL error code.
#include "XException.h"

#include <cstdint>

class XGLException : public XException {
public:
    // inGLError 0 asks glGetError() now and takes its answer.
    explicit XGLException(uint32_t inGLError = 0);

    uint32_t GetGLError() const { return static_cast<uint32_t>(GetErrorCode()); }
    // "an OpenGL error occurred (<GLU's text for the code>, <code>)".
    XString GetRawErrorMessage() const override { return itsMessage; }
    XString GetErrorMessage() const override { return itsMessage; }

    // The text for a GL error code.
    static XString MakeMessage(uint32_t inGLError);
    // glGetError() when OpenGL is loaded, else 0.
    static uint32_t QueryGLError();

private:
    XString itsMessage;
};

// Throw XGLException when glGetError() reports an error.
void ThrowIfGLErr();
// Throw XGLException (with glGetError()'s code) when inOK is false.
void ThrowIfGLErr(bool inOK);
// Throw XGLException (with glGetError()'s code) when inPointer is null.
void ThrowIfGLNULL(const void* inPointer);

#pragma once
// An OpenGL error met by the scene-graph renderers: error number 3504 always,
// with the GL error code kept beside it.
#include "X3DRendererException.h"

#include <cstdint>

class XGLRendererException : public X3DRendererException {
public:
    // inGLError 0 asks glGetError() now and takes its answer.
    explicit XGLRendererException(uint32_t inGLError = 0);

    uint32_t GetGLError() const { return itsGLError; }

    // Throw when glGetError() reports an error.
    static void ThrowIfGLErr();

private:
    XGLRendererException(uint32_t inGLError, int);
    uint32_t itsGLError;
};

#pragma once
// Tables that turn device enumerations into OpenGL values.
#include "X3DGC.h"
#include "XOpenGL.h"

#include <cstdint>

namespace XOpenGLUtilities {
struct XGLPixelFormat {
    uint32_t bytesPerTexel = 0; // 0 for a format without a texel size
    GLint internalFormat = 0;
    GLenum uploadFormat = 0;
    GLenum uploadType = 0;
};
// Reports an unknown format and returns an empty entry.
XGLPixelFormat GetPixelFormat(X3DGC::XPixelFormat inFormat);

struct XGLPrimitive {
    GLenum mode = GL_POINTS;
    GLsizei count = 0;
    bool known = false;
};
// The mode and vertex or index count of inPrimitiveCount primitives of inType.
XGLPrimitive GetPrimitive(X3DGC::XPrimitiveType inType, uint32_t inPrimitiveCount);

// Throws XGLRendererException when OpenGL has an error pending.
void CheckGLError();
// Drops every pending error.
void ClearGLErrors();

// 2^ceil(log2 e), at least 1.
uint32_t NextPowerOfTwo(uint32_t inExtent);
} // namespace XOpenGLUtilities

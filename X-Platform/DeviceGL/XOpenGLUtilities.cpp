#include "XOpenGLUtilities.h"

#include "XAssert.h"
#include "XGLRendererException.h"

namespace XOpenGLUtilities {
XGLPixelFormat GetPixelFormat(X3DGC::XPixelFormat inFormat)
{
    switch (inFormat) {
    case X3DGC::kLuminance8:
        return {1, GL_LUMINANCE, GL_LUMINANCE, GL_UNSIGNED_BYTE};
    case X3DGC::kLuminanceAlpha16:
        return {2, GL_LUMINANCE8_ALPHA8, GL_LUMINANCE_ALPHA, GL_UNSIGNED_BYTE};
    case X3DGC::kBGRA32Alternate:
    case X3DGC::kBGRA32:
        return {4, GL_RGBA8, GL_BGRA, GL_UNSIGNED_BYTE};
    default:
        X_ASSERT(false);
        return {};
    }
}

XGLPrimitive GetPrimitive(X3DGC::XPrimitiveType inType, uint32_t inPrimitiveCount)
{
    const auto n = GLsizei(inPrimitiveCount);
    switch (inType) {
    case X3DGC::kPointList: return {GL_POINTS, n, true};
    case X3DGC::kLineList: return {GL_LINES, 2 * n, true};
    case X3DGC::kLineStrip: return {GL_LINE_STRIP, n + 1, true};
    case X3DGC::kTriangleList: return {GL_TRIANGLES, 3 * n, true};
    case X3DGC::kTriangleStrip: return {GL_TRIANGLE_STRIP, n + 2, true};
    case X3DGC::kTriangleFan: return {GL_TRIANGLE_FAN, n + 2, true};
    case X3DGC::kQuadList: return {GL_QUADS, 4 * n, true};
    }
    X_ASSERT(false);
    return {};
}

void CheckGLError() { XGLRendererException::ThrowIfGLErr(); }

void ClearGLErrors()
{
    // Bounded: a context that is not current reports an error on every call.
    for (int i = 0; i < 32 && glGetError() != GL_NO_ERROR; ++i) {
    }
}

uint32_t NextPowerOfTwo(uint32_t inExtent)
{
    uint32_t p = 1;
    while (p < inExtent && p < 0x80000000u)
        p <<= 1;
    return p;
}
} // namespace XOpenGLUtilities

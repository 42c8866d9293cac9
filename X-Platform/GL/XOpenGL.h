#pragma once
// Run-time loading of OpenGL, GLU and EGL. The module links none of them: it opens
// the libraries when asked (OpenGLInit), keeps every core entry point in a
// process-wide pointer and reaches extensions through eglGetProcAddress on every
// call. Include this header instead of <GL/gl.h>; calls keep their usual names.
//
// The library names can be overridden with KESTRIN_GL_LIBRARY, KESTRIN_GLU_LIBRARY
// and KESTRIN_EGL_LIBRARY (used to check how a machine without OpenGL behaves).
#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>
#include <GL/glext.h>
#include <GL/glu.h>

#include "XOpenGLFunctionList.h"

namespace XGLEntry {
#define XGL_DECLARE_ENTRY(name) extern decltype(&::name) name;
XGL_EGL_FUNCTION_LIST(XGL_DECLARE_ENTRY)
XGL_CORE_FUNCTION_LIST(XGL_DECLARE_ENTRY)
XGL_GLU_FUNCTION_LIST(XGL_DECLARE_ENTRY)
#undef XGL_DECLARE_ENTRY

// The extension entry point inName when the current context offers it: inRequirement
// lists alternatives separated by spaces, each an extension name or a version
// "GL_VERSION_x_y". Throws XException 2303 when none is offered.
void* ResolveExtension(const char* inName, const char* inRequirement);

template <class F>
inline F Extension(const char* inName, const char* inRequirement)
{
    return reinterpret_cast<F>(ResolveExtension(inName, inRequirement));
}

// GLU's text for a GL error, or null when GLU is not loaded.
const GLubyte* TryGLUErrorString(GLenum inError);

// Throws when GLU did not load (it is optional).
[[noreturn]] void ThrowGLUMissing(const char* inName);

template <class F>
inline F RequireGLU(F inFunction, const char* inName)
{
    if (!inFunction)
        ThrowGLUMissing(inName);
    return inFunction;
}
} // namespace XGLEntry

// Loads the libraries and resolves every entry point. Counted: only the first call
// loads; later calls return that first result until the matching OpenGLUnInit calls
// bring the count back to zero. 0 success, -666 OpenGL (or its window-system
// library) is missing, -1 a core or GLU entry point is missing.
int OpenGLInit();
// Drops one count; at zero the libraries are freed and every pointer cleared.
void OpenGLUnInit();
// Whether OpenGL is loaded and resolved now.
bool OpenGLIsLoaded();
// Called before the libraries are freed (the window-system layer ends its display).
void OpenGLAddUnloadHook(void (*inHook)());

// The raw address eglGetProcAddress gives for a name; null when OpenGL is not loaded.
// EGL gives an address even for names no driver implements, so availability is
// decided by the extension strings (OpenGLCheckExtension), as the forwarders do.
void* OpenGLGetExtensionFunction(const char* inName);
// Whether the current context names inName, as a whole word, in GL_EXTENSIONS.
bool OpenGLCheckExtension(const char* inName);
// Whether the window-system binding names inName, as a whole word, among the
// display's extensions (or the client extensions for EGL_NO_DISPLAY).
bool OpenGLCheckWGLExtension(EGLDisplay inDisplay, const char* inName);
// Whole-word test of a space-separated extension list.
bool OpenGLExtensionListContains(const char* inList, const char* inName);

// Texture uploads of the module go through these: sizes are checked before the
// call and GL_OUT_OF_MEMORY from the driver becomes XGLException 0x0505.
void exceptglTexImage1D(GLenum inTarget, GLint inLevel, GLint inInternalFormat, GLsizei inWidth, GLint inBorder,
                        GLenum inFormat, GLenum inType, const GLvoid* inPixels);
void exceptglTexImage2D(GLenum inTarget, GLint inLevel, GLint inInternalFormat, GLsizei inWidth, GLsizei inHeight,
                        GLint inBorder, GLenum inFormat, GLenum inType, const GLvoid* inPixels);

#ifndef XGL_NO_REDIRECTS
#include "XOpenGLRedirects.h"
#endif

#pragma once
// The process's EGL display, headless: Mesa's surfaceless platform or the first EGL
// device when the implementation offers them, else the default display. Pixel
// formats are EGL configs; a config's ID is its pixel-format number.
#include "XOpenGL.h"

#include <cstdint>

class WEGLDisplay {
public:
    // The initialised display (OpenGL must be loaded). Throws XException when there is none.
    static EGLDisplay Get();
    // A config for pbuffers with OpenGL, 8-bit RGBA, depth and stencil and no
    // multisampling (pictures must not depend on the driver's sample pattern).
    static EGLConfig ChooseConfig();
    static EGLConfig FindConfig(uint64_t inConfigID);
    static uint64_t GetConfigID(EGLConfig inConfig);
    static EGLint GetConfigAttrib(EGLConfig inConfig, EGLint inAttribute);
    // Ends the display (called when OpenGL is unloaded).
    static void Terminate();
};

#pragma once
// Turns face culling on with a mode for a scope.
#include "XOpenGL.h"

class XGLCullModeSetter {
public:
    explicit XGLCullModeSetter(int inMode = GL_BACK);
    ~XGLCullModeSetter();
    XGLCullModeSetter(const XGLCullModeSetter&) = delete;
    XGLCullModeSetter& operator=(const XGLCullModeSetter&) = delete;

private:
    bool itsWasOn = false;
    int itsMode = 0;
    bool itsChanged = false;
};

#pragma once
// Smoothing of lines, points or polygons for a scope: enables the capability and
// asks for the nicest quality, restoring both afterwards.
#include "XOpenGL.h"

class XGLAntiAlias {
public:
    // inCapability: GL_LINE_SMOOTH, GL_POINT_SMOOTH or GL_POLYGON_SMOOTH.
    explicit XGLAntiAlias(unsigned int inCapability = GL_LINE_SMOOTH);
    ~XGLAntiAlias();
    XGLAntiAlias(const XGLAntiAlias&) = delete;
    XGLAntiAlias& operator=(const XGLAntiAlias&) = delete;

private:
    unsigned int itsCapability;
    unsigned int itsHint = 0;
    bool itsWasOn = false;
    int itsSavedHint = 0;
    bool itsHintChanged = false;
};

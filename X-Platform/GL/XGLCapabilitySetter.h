#pragma once
// Switches a GL capability on or off for a scope and puts back the state it found,
// so a throw in the middle of a drawing leaves the capability as it was.
#include "XOpenGL.h"

class XGLCapabilitySetter {
public:
    XGLCapabilitySetter(GLenum inCapability, bool inOn);
    ~XGLCapabilitySetter();
    XGLCapabilitySetter(const XGLCapabilitySetter&) = delete;
    XGLCapabilitySetter& operator=(const XGLCapabilitySetter&) = delete;

private:
    GLenum itsCapability;
    bool itsWasOn;
    bool itsChanged;
};

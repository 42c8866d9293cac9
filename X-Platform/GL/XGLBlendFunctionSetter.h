#pragma once
// Sets a blend function for a scope, touching the GL only when it differs.
class XGLBlendFunctionSetter {
public:
    XGLBlendFunctionSetter(int inSource, int inDestination);
    ~XGLBlendFunctionSetter();
    XGLBlendFunctionSetter(const XGLBlendFunctionSetter&) = delete;
    XGLBlendFunctionSetter& operator=(const XGLBlendFunctionSetter&) = delete;

private:
    int itsSource = 0;
    int itsDestination = 0;
    bool itsChanged = false;
};

#pragma once
// Restores the blend function in force at construction.
class XGLBlendFunctionSaver {
public:
    XGLBlendFunctionSaver();
    ~XGLBlendFunctionSaver();
    XGLBlendFunctionSaver(const XGLBlendFunctionSaver&) = delete;
    XGLBlendFunctionSaver& operator=(const XGLBlendFunctionSaver&) = delete;

private:
    int itsSource = 0;
    int itsDestination = 0;
};

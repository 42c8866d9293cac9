#pragma once
// An ARB fragment program; loading also checks the error position and the native limits.
#include "XGLLowLevelShaderProgram.h"

class XGLFragmentProgram : public XGLLowLevelShaderProgram {
public:
    XGLFragmentProgram();
    void Bind() override;

    // Throws XGLFragmentProgramException when the bound program was rejected or
    // exceeds native limits, XGLException on any other GL error.
    static void ThrowIfGLFPErr();

protected:
    void CheckProgram() override;
};

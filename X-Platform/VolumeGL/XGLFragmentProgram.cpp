#include "XGLFragmentProgram.h"

#include "XGLException.h"
#include "XGLFragmentProgramException.h"
#include "XOpenGL.h"

XGLFragmentProgram::XGLFragmentProgram() : XGLLowLevelShaderProgram(GL_FRAGMENT_PROGRAM_ARB) {}

void XGLFragmentProgram::Bind()
{
    if (itsID != 0 && itsLoaded && glIsProgramARB(itsID)) {
        glBindProgramARB(itsTarget, itsID);
        ThrowIfGLErr();
        SetParameters();
        return;
    }
    if (itsID != 0)
        Unload();
    Load();
}

void XGLFragmentProgram::CheckProgram() { ThrowIfGLFPErr(); }

void XGLFragmentProgram::ThrowIfGLFPErr()
{
    GLint position = -1;
    glGetIntegerv(GL_PROGRAM_ERROR_POSITION_ARB, &position);
    GLint native = 1;
    glGetProgramivARB(GL_FRAGMENT_PROGRAM_ARB, GL_PROGRAM_UNDER_NATIVE_LIMITS_ARB, &native);
    if (position != -1 || native != 1) {
        const GLubyte* message = glGetString(GL_PROGRAM_ERROR_STRING_ARB);
        const uint32_t error = glGetError();
        throw XGLFragmentProgramException(error, native == 0, position,
                                          message ? XString(reinterpret_cast<const char*>(message)) : XString());
    }
    const uint32_t error = glGetError();
    if (error == GL_INVALID_OPERATION)
        throw XGLFragmentProgramException(error, false, position);
    if (error != 0)
        throw XGLException(error);
}

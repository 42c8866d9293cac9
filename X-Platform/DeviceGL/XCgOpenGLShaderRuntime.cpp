#include "XCgOpenGLShaderRuntime.h"

#include "XCgException.h"
#include "cgGL.h"

namespace {
XCgOpenGLShaderRuntime sRuntime;
[[maybe_unused]] const bool sInstalled = (XOpenGLShaderRuntime::Install(&sRuntime), true);
} // namespace

CGprofile XCgOpenGLShaderRuntime::GetProfile(const char* inName) { return cgGetProfile(inName); }
bool XCgOpenGLShaderRuntime::IsProfileSupported(CGprofile inProfile) { return cgGLIsProfileSupported(inProfile) == CG_TRUE; }
bool XCgOpenGLShaderRuntime::IsProgramLoaded(_CGprogram* inProgram) { return cgGLIsProgramLoaded(inProgram) == CG_TRUE; }
void XCgOpenGLShaderRuntime::SetOptimalOptions(CGprofile inProfile) { cgGLSetOptimalOptions(inProfile); }
void XCgOpenGLShaderRuntime::LoadProgram(_CGprogram* inProgram) { cgGLLoadProgram(inProgram); }
void XCgOpenGLShaderRuntime::EnableProfile(CGprofile inProfile) { cgGLEnableProfile(inProfile); }
void XCgOpenGLShaderRuntime::DisableProfile(CGprofile inProfile) { cgGLDisableProfile(inProfile); }
void XCgOpenGLShaderRuntime::BindProgram(_CGprogram* inProgram) { cgGLBindProgram(inProgram); }
void XCgOpenGLShaderRuntime::UnbindProgram(CGprofile inProfile) { cgGLUnbindProgram(inProfile); }

void XCgOpenGLShaderRuntime::SetTextureParameter(_CGparameter* inSampler, uint32_t inTextureName)
{
    cgGLSetTextureParameter(inSampler, inTextureName);
}

void XCgOpenGLShaderRuntime::CheckError() { XCgException::ThrowIfError(); }

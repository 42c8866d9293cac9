#pragma once
// The shader runtime's OpenGL layer as the OpenGL device calls it: loading, binding
// and texture parameters of programs. The runtime installs itself when it starts;
// until then the device offers no program profiles and draws with fixed function.
#include "cg.h"

#include <cstdint>

class XOpenGLShaderRuntime {
public:
    virtual ~XOpenGLShaderRuntime() = default;

    // CG_PROFILE_UNKNOWN for a name the runtime does not know.
    virtual CGprofile GetProfile(const char* inName) = 0;
    virtual bool IsProfileSupported(CGprofile inProfile) = 0;
    virtual bool IsProgramLoaded(_CGprogram* inProgram) = 0;
    virtual void SetOptimalOptions(CGprofile inProfile) = 0;
    virtual void LoadProgram(_CGprogram* inProgram) = 0;
    virtual void EnableProfile(CGprofile inProfile) = 0;
    virtual void DisableProfile(CGprofile inProfile) = 0;
    virtual void BindProgram(_CGprogram* inProgram) = 0;
    virtual void UnbindProgram(CGprofile inProfile) = 0;
    virtual void SetTextureParameter(_CGparameter* inSampler, uint32_t inTextureName) = 0;
    // Throws the runtime's exception when its last call failed.
    virtual void CheckError() = 0;

    // Not owned; null removes it.
    static void Install(XOpenGLShaderRuntime* inRuntime);
    static XOpenGLShaderRuntime* Get();
    // Get(), or an XException (kNoShaderProfile) saying the runtime is missing.
    static XOpenGLShaderRuntime& Require();
};

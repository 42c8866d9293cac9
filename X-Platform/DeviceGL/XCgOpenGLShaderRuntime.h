#pragma once
// The OpenGL device's shader runtime: the shader stand-in's OpenGL layer, installed
// for every OpenGL device when the module loads.
#include "XOpenGLShaderRuntime.h"

class XCgOpenGLShaderRuntime : public XOpenGLShaderRuntime {
public:
    CGprofile GetProfile(const char* inName) override;
    bool IsProfileSupported(CGprofile inProfile) override;
    bool IsProgramLoaded(_CGprogram* inProgram) override;
    void SetOptimalOptions(CGprofile inProfile) override;
    void LoadProgram(_CGprogram* inProgram) override;
    void EnableProfile(CGprofile inProfile) override;
    void DisableProfile(CGprofile inProfile) override;
    void BindProgram(_CGprogram* inProgram) override;
    void UnbindProgram(CGprofile inProfile) override;
    void SetTextureParameter(_CGparameter* inSampler, uint32_t inTextureName) override;
    // Throws XCgException.
    void CheckError() override;
};

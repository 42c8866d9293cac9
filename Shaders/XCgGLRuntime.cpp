// The shader runtime's OpenGL layer: profiles, loading and binding separable
// programs in a per-context pipeline, and samplers.
#include "XCgRuntimeImp.h"
#include "XOpenGL.h"
#include "cgGL.h"

#include <cstdlib>
#include <map>
#include <mutex>

namespace {
// What a GL context runs: pipelines are not shared between contexts, so each
// context has its own, with the stages' enable flags and bound programs.
struct XContextState {
    GLuint pipeline = 0;
    bool enabled[2] = {false, false};
    CGprogram bound[2] = {nullptr, nullptr};
};

std::recursive_mutex sStateMutex;
std::map<EGLContext, XContextState> sStates;

int SlotOf(CGprofile inProfile)
{
    switch (inProfile) {
    case CG_PROFILE_ARBVP1: return 0;
    case CG_PROFILE_ARBFP1: return 1;
    default: return -1;
    }
}

XContextState& CurrentState() { return sStates[eglGetCurrentContext()]; }

// Puts the enabled, bound programs into the context's pipeline and makes it current;
// with no stage programmed, fixed function runs.
void Apply(XContextState& inOutState)
{
    if (inOutState.pipeline == 0 || !glIsProgramPipeline(inOutState.pipeline)) {
        glGenProgramPipelines(1, &inOutState.pipeline);
        glBindProgramPipeline(inOutState.pipeline);
    }
    constexpr GLbitfield kStageBits[2] = {GL_VERTEX_SHADER_BIT, GL_FRAGMENT_SHADER_BIT};
    bool any = false;
    for (int slot = 0; slot < 2; ++slot) {
        const CGprogram program = inOutState.enabled[slot] ? inOutState.bound[slot] : nullptr;
        glUseProgramStages(inOutState.pipeline, kStageBits[slot], program ? program->glProgram : 0);
        any = any || program != nullptr;
    }
    if (any) {
        glUseProgram(0);
        glBindProgramPipeline(inOutState.pipeline);
    } else {
        glBindProgramPipeline(0);
    }
}

GLenum TextureTargetOf(CGtype inType)
{
    switch (inType) {
    case CG_SAMPLER1D: return GL_TEXTURE_1D;
    case CG_SAMPLER3D: return GL_TEXTURE_3D;
    case CG_SAMPLERCUBE: return GL_TEXTURE_CUBE_MAP;
    default: return GL_TEXTURE_2D;
    }
}

bool CheckSampler(CGparameter inParameter)
{
    if (!XCgRuntime::CheckParameter(inParameter))
        return false;
    if (inParameter->parameterClass == CG_PARAMETERCLASS_SAMPLER)
        return true;
    XCgRuntime::SetError(CG_INVALID_PARAMETER_ERROR);
    return false;
}

// Binds inTexture to the sampler's unit, leaving the active unit as it was.
void BindToUnit(CGparameter inParameter, GLuint inTexture)
{
    GLint active = GL_TEXTURE0;
    glGetIntegerv(GL_ACTIVE_TEXTURE, &active);
    glActiveTexture(GLenum(GL_TEXTURE0 + inParameter->unit));
    glBindTexture(TextureTargetOf(inParameter->type), inTexture);
    glActiveTexture(GLenum(active));
}
} // namespace

bool XCgRuntime::HasCurrentContext() { return OpenGLIsLoaded() && eglGetCurrentContext() != EGL_NO_CONTEXT; }

void XCgRuntime::ForgetProgram(CGprogram inProgram)
{
    std::lock_guard<std::recursive_mutex> lock(sStateMutex);
    const EGLContext current = HasCurrentContext() ? eglGetCurrentContext() : EGL_NO_CONTEXT;
    for (auto& [context, state] : sStates) {
        bool changed = false;
        for (CGprogram& bound : state.bound)
            if (bound == inProgram) {
                bound = nullptr;
                changed = true;
            }
        if (changed && context == current)
            Apply(state);
    }
}

CGbool cgGLIsProfileSupported(CGprofile inProfile)
{
    if (SlotOf(inProfile) < 0 || !XCgRuntime::HasCurrentContext())
        return CG_FALSE;
    const GLubyte* versionText = glGetString(GL_VERSION);
    const double version = versionText ? std::atof(reinterpret_cast<const char*>(versionText)) : 0.0;
    // GLSL 1.50 with the compatibility built-ins (the device feeds fixed-function arrays).
    if (version + 1e-9 < 3.2)
        return CG_FALSE;
    GLint profileMask = 0;
    glGetIntegerv(GL_CONTEXT_PROFILE_MASK, &profileMask);
    if ((profileMask & GL_CONTEXT_COMPATIBILITY_PROFILE_BIT) == 0)
        return CG_FALSE;
    return version + 1e-9 >= 4.1 || OpenGLCheckExtension("GL_ARB_separate_shader_objects") ? CG_TRUE : CG_FALSE;
}

CGprofile cgGLGetLatestProfile(CGGLenum inProfileType)
{
    CGprofile profile = CG_PROFILE_UNKNOWN;
    if (inProfileType == CG_GL_VERTEX)
        profile = CG_PROFILE_ARBVP1;
    else if (inProfileType == CG_GL_FRAGMENT)
        profile = CG_PROFILE_ARBFP1;
    else
        XCgRuntime::SetError(CG_INVALID_ENUMERANT_ERROR);
    return profile != CG_PROFILE_UNKNOWN && cgGLIsProfileSupported(profile) ? profile : CG_PROFILE_UNKNOWN;
}

void cgGLSetOptimalOptions(CGprofile inProfile)
{
    // The driver's compiler chooses its own optimisations; only the profile is checked.
    if (SlotOf(inProfile) < 0)
        XCgRuntime::SetError(CG_INVALID_PROFILE_ERROR);
}

static void SetProfileEnabled(CGprofile inProfile, bool inEnabled)
{
    const int slot = SlotOf(inProfile);
    if (slot < 0) {
        XCgRuntime::SetError(CG_INVALID_PROFILE_ERROR);
        return;
    }
    if (!cgGLIsProfileSupported(inProfile)) {
        XCgRuntime::SetError(CG_UNSUPPORTED_GL_EXTENSION_ERROR);
        return;
    }
    std::lock_guard<std::recursive_mutex> lock(sStateMutex);
    XContextState& state = CurrentState();
    state.enabled[slot] = inEnabled;
    Apply(state);
}

void cgGLEnableProfile(CGprofile inProfile) { SetProfileEnabled(inProfile, true); }
void cgGLDisableProfile(CGprofile inProfile) { SetProfileEnabled(inProfile, false); }

void cgGLLoadProgram(CGprogram inProgram)
{
    if (!XCgRuntime::CheckProgram(inProgram))
        return;
    // The program was built when it was created; loading checks it can run here.
    if (inProgram->glProgram == 0 || !XCgRuntime::HasCurrentContext() || !glIsProgram(inProgram->glProgram)) {
        XCgRuntime::SetError(CG_PROGRAM_LOAD_ERROR);
        return;
    }
    inProgram->loaded = true;
}

CGbool cgGLIsProgramLoaded(CGprogram inProgram)
{
    return XCgRuntime::CheckProgram(inProgram) && inProgram->loaded ? CG_TRUE : CG_FALSE;
}

// Binding state belongs to the current GL context; without one the call is an error.
static bool NeedsCurrentContext()
{
    if (XCgRuntime::HasCurrentContext())
        return true;
    XCgRuntime::SetError(CG_PROGRAM_BIND_ERROR);
    return false;
}

void cgGLBindProgram(CGprogram inProgram)
{
    if (!XCgRuntime::CheckProgram(inProgram))
        return;
    if (!inProgram->loaded) {
        XCgRuntime::SetError(CG_PROGRAM_NOT_LOADED_ERROR);
        return;
    }
    if (!NeedsCurrentContext())
        return;
    std::lock_guard<std::recursive_mutex> lock(sStateMutex);
    XContextState& state = CurrentState();
    state.bound[SlotOf(inProgram->profile)] = inProgram;
    Apply(state);
}

void cgGLUnbindProgram(CGprofile inProfile)
{
    const int slot = SlotOf(inProfile);
    if (slot < 0) {
        XCgRuntime::SetError(CG_INVALID_PROFILE_ERROR);
        return;
    }
    if (!NeedsCurrentContext())
        return;
    std::lock_guard<std::recursive_mutex> lock(sStateMutex);
    XContextState& state = CurrentState();
    state.bound[slot] = nullptr;
    Apply(state);
}

void cgGLSetTextureParameter(CGparameter inParameter, unsigned int inTexture)
{
    if (CheckSampler(inParameter))
        inParameter->texture = inTexture;
}

unsigned int cgGLGetTextureParameter(CGparameter inParameter)
{
    return CheckSampler(inParameter) ? inParameter->texture : 0;
}

void cgGLEnableTextureParameter(CGparameter inParameter)
{
    if (!CheckSampler(inParameter))
        return;
    if (!NeedsCurrentContext())
        return;
    BindToUnit(inParameter, inParameter->texture);
}

void cgGLDisableTextureParameter(CGparameter inParameter)
{
    if (!CheckSampler(inParameter))
        return;
    if (!NeedsCurrentContext())
        return;
    BindToUnit(inParameter, 0);
}

unsigned int cgGLGetTextureEnum(CGparameter inParameter)
{
    return CheckSampler(inParameter) ? GLenum(GL_TEXTURE0 + inParameter->unit) : 0;
}

#pragma once
// The shader runtime's OpenGL layer. Profile "arbvp1" runs vertex programs and
// "arbfp1" fragment programs, each a separable GLSL program in a pipeline of the
// current context; a stage with no program bound or with its profile disabled falls
// back to fixed function. Every call needs a current context.
#include "cg.h"

typedef enum {
    CG_GL_VERTEX = 8,
    CG_GL_FRAGMENT = 9,
} CGGLenum;

// Whether the current context can run the profile's programs (separable programs
// need OpenGL 4.1 or GL_ARB_separate_shader_objects, with GLSL 1.50).
CGbool cgGLIsProfileSupported(CGprofile inProfile);
// The profile for CG_GL_VERTEX or CG_GL_FRAGMENT, CG_PROFILE_UNKNOWN when unsupported.
CGprofile cgGLGetLatestProfile(CGGLenum inProfileType);
void cgGLSetOptimalOptions(CGprofile inProfile);
void cgGLEnableProfile(CGprofile inProfile);
void cgGLDisableProfile(CGprofile inProfile);

void cgGLLoadProgram(CGprogram inProgram);
CGbool cgGLIsProgramLoaded(CGprogram inProgram);
// Runs the program for its profile's stage (once the profile is enabled).
void cgGLBindProgram(CGprogram inProgram);
void cgGLUnbindProgram(CGprofile inProfile);

// Samplers: the texture a sampler reads; enabling binds it to the sampler's unit
// (callers that bind the texture to that unit themselves need not enable).
void cgGLSetTextureParameter(CGparameter inParameter, unsigned int inTexture);
unsigned int cgGLGetTextureParameter(CGparameter inParameter);
void cgGLEnableTextureParameter(CGparameter inParameter);
void cgGLDisableTextureParameter(CGparameter inParameter);
// GL_TEXTURE0 + the sampler's unit.
unsigned int cgGLGetTextureEnum(CGparameter inParameter);

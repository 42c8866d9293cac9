#pragma once
// The shader runtime's objects behind its opaque handles, shared by the core calls
// and the OpenGL layer. Handles are checked against the live objects before use, so a
// stale or null handle is an error code, not a crash.
#include "cg.h"

#include <memory>
#include <string>
#include <vector>

struct _CGparameter {
    _CGprogram* program = nullptr;
    size_t index = 0; // position in the program's declaration order
    std::string name;
    CGtype type = CG_UNKNOWN_TYPE;
    CGparameterclass parameterClass = CG_PARAMETERCLASS_UNKNOWN;
    int location = -1;
    int arraySize = 1;
    int unit = -1;          // samplers: the texture unit the sampler reads
    unsigned int texture = 0; // samplers: set by cgGLSetTextureParameter
};

struct _CGprogram {
    _CGcontext* context = nullptr;
    CGprofile profile = CG_PROFILE_UNKNOWN;
    std::string source;
    std::string entry;
    unsigned int glProgram = 0;
    bool loaded = false;
    std::vector<std::unique_ptr<_CGparameter>> parameters;
};

struct _CGcontext {
    std::vector<std::unique_ptr<_CGprogram>> programs;
    std::string lastListing;
};

namespace XCgRuntime {
void SetError(CGerror inError);
// Whether the handle names a live object; sets the matching error when not.
bool CheckContext(CGcontext inContext);
bool CheckProgram(CGprogram inProgram);
bool CheckParameter(CGparameter inParameter);
// The GL stage (GL_VERTEX_SHADER or GL_FRAGMENT_SHADER) of a known profile, else 0.
unsigned int StageOf(CGprofile inProfile);
// Whether a GL context is current and OpenGL is loaded.
bool HasCurrentContext();
} // namespace XCgRuntime

namespace XCgRuntime {
// Called before a program goes, so that no context keeps it bound.
void ForgetProgram(CGprogram inProgram);
} // namespace XCgRuntime

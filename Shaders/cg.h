#pragma once
// The shader runtime's core calls: contexts, programs compiled from source for a
// profile, their parameters, errors and listings. Programs are GLSL; each profile
// compiles one stage as a separable program (see cgGL.h). Compiling needs a current
// OpenGL context, so programs are created with the device locked.
//
// Source conventions: the entry point is a function `void entry()` that becomes the
// stage's main; KESTRIN_VERTEX_PROGRAM or KESTRIN_FRAGMENT_PROGRAM is defined for the
// stage being compiled, so one source may hold both stages. Without a #version line
// the source is compiled as "#version 150 compatibility". Parameters are the active
// uniforms, in the order the source declares them; samplers take texture units 0, 1,
// ... in that order.

struct _CGcontext;
struct _CGprogram;
struct _CGparameter;

typedef struct _CGcontext* CGcontext;
typedef struct _CGprogram* CGprogram;
typedef struct _CGparameter* CGparameter;

typedef int CGbool;
#define CG_FALSE ((CGbool)0)
#define CG_TRUE ((CGbool)1)

// A compilation target; unknown means the device cannot run programs of that kind.
typedef enum {
    CG_PROFILE_UNKNOWN = 6145,
    CG_PROFILE_ARBVP1 = 6150,
    CG_PROFILE_ARBFP1 = 7000,
} CGprofile;

typedef enum {
    CG_UNKNOWN = 4096,
    CG_PROGRAM_SOURCE = 4104,
    CG_PROGRAM_ENTRY = 4105,
    CG_PROGRAM_PROFILE = 4107,
    CG_GLOBAL = 4108,
    CG_PROGRAM = 4109,
    CG_SOURCE = 4112,
    CG_OBJECT = 4113,
    CG_VERSION = 4151,
} CGenum;

typedef enum {
    CG_NO_ERROR = 0,
    CG_COMPILER_ERROR = 1,
    CG_INVALID_PARAMETER_ERROR = 2,
    CG_INVALID_PROFILE_ERROR = 3,
    CG_PROGRAM_LOAD_ERROR = 4,
    CG_PROGRAM_BIND_ERROR = 5,
    CG_PROGRAM_NOT_LOADED_ERROR = 6,
    CG_UNSUPPORTED_GL_EXTENSION_ERROR = 7,
    CG_INVALID_VALUE_TYPE_ERROR = 8,
    CG_NOT_MATRIX_PARAM_ERROR = 9,
    CG_INVALID_ENUMERANT_ERROR = 10,
    CG_INVALID_CONTEXT_HANDLE_ERROR = 16,
    CG_INVALID_PROGRAM_HANDLE_ERROR = 17,
    CG_INVALID_PARAM_HANDLE_ERROR = 18,
    CG_UNKNOWN_PROFILE_ERROR = 19,
} CGerror;

typedef enum {
    CG_UNKNOWN_TYPE = 0,
    CG_FLOAT,
    CG_FLOAT2,
    CG_FLOAT3,
    CG_FLOAT4,
    CG_FLOAT2x2,
    CG_FLOAT3x3,
    CG_FLOAT4x4,
    CG_INT,
    CG_INT2,
    CG_INT3,
    CG_INT4,
    CG_BOOL,
    CG_SAMPLER1D,
    CG_SAMPLER2D,
    CG_SAMPLER3D,
    CG_SAMPLERCUBE,
} CGtype;

// What a program parameter is; the device pairs texture units with sampler parameters.
typedef enum {
    CG_PARAMETERCLASS_UNKNOWN = 0,
    CG_PARAMETERCLASS_SCALAR = 1,
    CG_PARAMETERCLASS_VECTOR = 2,
    CG_PARAMETERCLASS_MATRIX = 3,
    CG_PARAMETERCLASS_STRUCT = 4,
    CG_PARAMETERCLASS_ARRAY = 5,
    CG_PARAMETERCLASS_SAMPLER = 6,
    CG_PARAMETERCLASS_OBJECT = 7,
} CGparameterclass;

// Contexts own their programs: destroying one destroys them.
CGcontext cgCreateContext(void);
void cgDestroyContext(CGcontext inContext);
CGbool cgIsContext(CGcontext inContext);
// The compiler's messages from the context's latest compilation (empty when none).
const char* cgGetLastListing(CGcontext inContext);

// inProgramType is CG_SOURCE; inArgs (null-terminated) are extra lines of the form
// "-DNAME" or "-DNAME=VALUE". Null, with CG_COMPILER_ERROR and the listing, when the
// source does not compile.
CGprogram cgCreateProgram(CGcontext inContext, CGenum inProgramType, const char* inProgram, CGprofile inProfile,
                          const char* inEntry, const char** inArgs);
void cgDestroyProgram(CGprogram inProgram);
CGbool cgIsProgram(CGprogram inProgram);
CGcontext cgGetProgramContext(CGprogram inProgram);
CGprofile cgGetProgramProfile(CGprogram inProgram);
// CG_PROGRAM_SOURCE, CG_PROGRAM_ENTRY or CG_PROGRAM_PROFILE.
const char* cgGetProgramString(CGprogram inProgram, CGenum inWhich);

// Parameters: inNameSpace is CG_PROGRAM (or CG_GLOBAL, the same set here).
CGparameter cgGetFirstParameter(CGprogram inProgram, CGenum inNameSpace);
CGparameter cgGetNextParameter(CGparameter inParameter);
CGparameter cgGetNamedParameter(CGprogram inProgram, const char* inName);
const char* cgGetParameterName(CGparameter inParameter);
CGtype cgGetParameterType(CGparameter inParameter);
CGparameterclass cgGetParameterClass(CGparameter inParameter);
CGprogram cgGetParameterProgram(CGparameter inParameter);
CGbool cgIsParameter(CGparameter inParameter);

// Values go to the program at once; extra components are ignored, missing ones are 0.
void cgSetParameter1f(CGparameter inParameter, float inX);
void cgSetParameter2f(CGparameter inParameter, float inX, float inY);
void cgSetParameter3f(CGparameter inParameter, float inX, float inY, float inZ);
void cgSetParameter4f(CGparameter inParameter, float inX, float inY, float inZ, float inW);
void cgSetParameter1fv(CGparameter inParameter, const float* inValues);
void cgSetParameter2fv(CGparameter inParameter, const float* inValues);
void cgSetParameter3fv(CGparameter inParameter, const float* inValues);
void cgSetParameter4fv(CGparameter inParameter, const float* inValues);
// Square matrices: ...fr reads the values row by row, ...fc column by column.
void cgSetMatrixParameterfr(CGparameter inParameter, const float* inMatrix);
void cgSetMatrixParameterfc(CGparameter inParameter, const float* inMatrix);

// The latest error, which the call clears.
CGerror cgGetError(void);
const char* cgGetErrorString(CGerror inError);

CGprofile cgGetProfile(const char* inName);
const char* cgGetProfileString(CGprofile inProfile);
// CG_VERSION: the runtime's version text.
const char* cgGetString(CGenum inWhich);

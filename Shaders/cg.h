#pragma once
// The shader runtime's core types as the graphics device carries them: opaque
// handles to the runtime's context, programs and parameters, and the enumerations
// the device stores. The runtime's calls arrive with the runtime itself.

struct _CGcontext;
struct _CGprogram;
struct _CGparameter;

typedef struct _CGcontext* CGcontext;
typedef struct _CGprogram* CGprogram;
typedef struct _CGparameter* CGparameter;

// A compilation target; unknown means the device cannot run programs of that kind.
typedef enum {
    CG_PROFILE_UNKNOWN = 6145,
} CGprofile;

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

#pragma once
// The shader runtime's OpenGL layer. It adds calls only (loading, binding and
// texture parameters of programs), which arrive with the runtime; the types are
// those of cg.h.
#include "cg.h"

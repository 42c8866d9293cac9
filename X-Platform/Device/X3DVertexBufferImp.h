#pragma once
// What a render system implements for a vertex buffer.
#include "X3DGCBufferImp.h"

class X3DVertexBufferImp : public X3DGCBufferImp {};

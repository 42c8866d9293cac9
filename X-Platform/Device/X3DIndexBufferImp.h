#pragma once
// What a render system implements for an index buffer.
#include "X3DGCBufferImp.h"

class X3DIndexBufferImp : public X3DGCBufferImp {
public:
    // What indexed draws pass as the index pointer: 0 for device storage, the
    // storage address for host memory.
    virtual const void* GetBaseElementAddress() const = 0;
};

#pragma once
// Keeps the device's vertex definition and bound buffers while a node draws with its
// own, and puts them back: by Restore on the normal path (which may throw like any
// device call), or by the destructor when drawing threw.
#include "X3DGC.h"

#include <cstdint>

class X3DGeometryStateSaver {
public:
    enum XWhat : uint32_t { kDefinition = 1, kVertexBuffer = 2, kIndexBuffer = 4, kAll = 7 };

    X3DGeometryStateSaver(X3DGC& inGC, uint32_t inWhat);
    ~X3DGeometryStateSaver();
    X3DGeometryStateSaver(const X3DGeometryStateSaver&) = delete;
    X3DGeometryStateSaver& operator=(const X3DGeometryStateSaver&) = delete;

    // Index buffer, vertex buffer, then definition; a definition never set (empty) is
    // left as it is, since the device takes no definition without a position.
    void Restore();

private:
    X3DGC& itsGC;
    uint32_t itsWhat;
    bool itsRestored = false;
    X3DGC::XVertexDefinition itsDefinition;
    X3DVertexBuffer* itsVertices = nullptr;
    X3DIndexBuffer* itsIndices = nullptr;
};

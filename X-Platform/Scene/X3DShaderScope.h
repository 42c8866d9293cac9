#pragma once
// Attaches a node's programs to the device and begins them for a draw; End (or, when
// the draw threw, the destructor) ends them and detaches them again, so that no
// program of a node stays on the device after the node has drawn.
#include "X3DGC.h"
#include "XShader.h"

class X3DShaderScope {
public:
    // Either program may be null (the fixed-function stage then draws that part).
    X3DShaderScope(X3DGC& inGC, XShader* inVertex, XShader* inFragment);
    ~X3DShaderScope();
    X3DShaderScope(const X3DShaderScope&) = delete;
    X3DShaderScope& operator=(const X3DShaderScope&) = delete;

    void End();

private:
    X3DGC& itsGC;
    XShader* itsVertex;
    XShader* itsFragment;
    bool itsEnded = false;
};

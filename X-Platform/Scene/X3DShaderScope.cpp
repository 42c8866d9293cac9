#include "X3DShaderScope.h"

X3DShaderScope::X3DShaderScope(X3DGC& inGC, XShader* inVertex, XShader* inFragment)
    : itsGC(inGC), itsVertex(inVertex), itsFragment(inFragment)
{
    try {
        if (itsVertex)
            itsGC.AttachShader(*itsVertex);
        if (itsFragment)
            itsGC.AttachShader(*itsFragment);
        itsGC.BeginShaders();
    } catch (...) {
        End();
        throw;
    }
}

X3DShaderScope::~X3DShaderScope()
{
    if (itsEnded)
        return;
    try {
        End();
    } catch (...) {
        // Already unwinding a failed draw; that failure is the one the caller hears of.
    }
}

void X3DShaderScope::End()
{
    itsEnded = true;
    // Ends only what this scope attached; programs the caller had attached stay.
    if (itsVertex && itsGC.GetCurrentVertexShader() == itsVertex)
        itsGC.EndShader(*itsVertex);
    if (itsFragment && itsGC.GetCurrentFragmentShader() == itsFragment)
        itsGC.EndShader(*itsFragment);
    if (itsFragment && itsGC.GetCurrentFragmentShader() == itsFragment)
        itsGC.UnattachShader(*itsFragment);
    if (itsVertex && itsGC.GetCurrentVertexShader() == itsVertex)
        itsGC.UnattachShader(*itsVertex);
}

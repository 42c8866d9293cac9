#include "X3DGeometryStateSaver.h"

X3DGeometryStateSaver::X3DGeometryStateSaver(X3DGC& inGC, uint32_t inWhat) : itsGC(inGC), itsWhat(inWhat)
{
    if (itsWhat & kDefinition)
        itsDefinition = inGC.GetVertexDefinition();
    if (itsWhat & kVertexBuffer)
        itsVertices = inGC.GetVertexBuffer();
    if ((itsWhat & kIndexBuffer) && inGC.HasIndexBuffer())
        itsIndices = inGC.GetIndexBuffer();
}

X3DGeometryStateSaver::~X3DGeometryStateSaver()
{
    if (itsRestored)
        return;
    try {
        Restore();
    } catch (...) {
        // Already unwinding a failed draw; that failure is the one the caller hears of.
    }
}

void X3DGeometryStateSaver::Restore()
{
    itsRestored = true;
    if (itsWhat & kIndexBuffer)
        itsGC.SetIndicies(itsIndices);
    if (itsWhat & kVertexBuffer)
        itsGC.SetVerticies(itsVertices);
    if ((itsWhat & kDefinition) && !itsDefinition.elements.empty())
        itsGC.SetVertexDefinition(itsDefinition);
}

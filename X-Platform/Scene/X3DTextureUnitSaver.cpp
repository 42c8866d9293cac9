#include "X3DTextureUnitSaver.h"

X3DTextureUnitSaver::X3DTextureUnitSaver(X3DGC& inGC)
    : itsGC(inGC), itsUnit{inGC.GetTexture(0), inGC.GetTextureSampler(0)}, itsBlendMode(inGC.GetBlendMode())
{
}

X3DTextureUnitSaver::~X3DTextureUnitSaver()
{
    if (itsRestored)
        return;
    try {
        Restore();
    } catch (...) {
        // Unwinding already: the first failure is the one to report.
    }
}

void X3DTextureUnitSaver::Restore()
{
    itsRestored = true;
    itsGC.SetTextureSampler(0, itsUnit.sampler);
    itsGC.SetTexture(0, itsUnit.texture);
    itsGC.SetBlendMode(itsBlendMode);
}

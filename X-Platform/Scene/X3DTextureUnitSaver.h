#pragma once
// Keeps texture unit 0 (texture and sampler) and the blend mode while a node draws with
// its own, and puts them back: by Restore on the normal path (which may throw like any
// device call), or by the destructor when drawing threw.
#include "X3DGC.h"

class X3DTextureUnitSaver {
public:
    explicit X3DTextureUnitSaver(X3DGC& inGC);
    ~X3DTextureUnitSaver();
    X3DTextureUnitSaver(const X3DTextureUnitSaver&) = delete;
    X3DTextureUnitSaver& operator=(const X3DTextureUnitSaver&) = delete;

    // Sampler first, so that a texture put back is bound with its own sampler.
    void Restore();

private:
    X3DGC& itsGC;
    bool itsRestored = false;
    X3DGC::XTextureUnitState itsUnit;
    X3DGC::XBlendMode itsBlendMode;
};

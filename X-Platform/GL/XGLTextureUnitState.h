#pragma once
// Records which texture target one unit has switched on (3D over 2D over 1D, or
// none) and puts exactly that back at the end of the scope.
#include <cstdint>

class XGLTextureUnitState {
public:
    // inUnit is GL_TEXTURE0 + n; the active unit is left as it was.
    explicit XGLTextureUnitState(uint32_t inUnit);
    ~XGLTextureUnitState();
    XGLTextureUnitState(const XGLTextureUnitState&) = delete;
    XGLTextureUnitState& operator=(const XGLTextureUnitState&) = delete;

    uint32_t GetUnit() const { return itsUnit; }
    // GL_TEXTURE_3D, GL_TEXTURE_2D, GL_TEXTURE_1D or 0 for none.
    uint32_t GetEnabledTarget() const { return itsEnabledTarget; }

private:
    uint32_t itsUnit;
    uint32_t itsEnabledTarget = 0;
};

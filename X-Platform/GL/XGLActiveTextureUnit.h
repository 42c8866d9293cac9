#pragma once
// Makes a texture unit the active one for a scope and switches back afterwards.
#include <cstdint>

class XGLActiveTextureUnit {
public:
    // Only remembers the active unit, to restore it at the end of the scope.
    XGLActiveTextureUnit();
    // inUnit is GL_TEXTURE0 + n.
    explicit XGLActiveTextureUnit(uint32_t inUnit);
    ~XGLActiveTextureUnit();
    XGLActiveTextureUnit(const XGLActiveTextureUnit&) = delete;
    XGLActiveTextureUnit& operator=(const XGLActiveTextureUnit&) = delete;

    uint32_t GetSavedUnit() const { return itsSavedUnit; }

private:
    uint32_t itsSavedUnit = 0;
};

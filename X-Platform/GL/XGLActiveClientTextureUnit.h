#pragma once
// Makes a texture unit the active one for client arrays (texture coordinate
// pointers) for a scope and switches back afterwards.
#include <cstdint>

class XGLActiveClientTextureUnit {
public:
    // Only remembers the client unit, to restore it at the end of the scope.
    XGLActiveClientTextureUnit();
    // inUnit is GL_TEXTURE0 + n.
    explicit XGLActiveClientTextureUnit(uint32_t inUnit);
    ~XGLActiveClientTextureUnit();
    XGLActiveClientTextureUnit(const XGLActiveClientTextureUnit&) = delete;
    XGLActiveClientTextureUnit& operator=(const XGLActiveClientTextureUnit&) = delete;

    uint32_t GetSavedUnit() const { return itsSavedUnit; }

private:
    uint32_t itsSavedUnit = 0;
};

#include "XGLActiveClientTextureUnit.h"
#include "XOpenGL.h"

namespace {
uint32_t ActiveClientUnit()
{
    GLint unit = GL_TEXTURE0_ARB;
    glGetIntegerv(GL_CLIENT_ACTIVE_TEXTURE_ARB, &unit);
    return uint32_t(unit);
}
} // namespace

XGLActiveClientTextureUnit::XGLActiveClientTextureUnit() : itsSavedUnit(ActiveClientUnit()) {}

XGLActiveClientTextureUnit::XGLActiveClientTextureUnit(uint32_t inUnit) : itsSavedUnit(ActiveClientUnit())
{
    if (inUnit != itsSavedUnit)
        glClientActiveTextureARB(inUnit);
}

XGLActiveClientTextureUnit::~XGLActiveClientTextureUnit()
{
    try {
        if (ActiveClientUnit() != itsSavedUnit)
            glClientActiveTextureARB(itsSavedUnit);
    } catch (...) {
        // Only a context without multitexturing throws here, and it has one unit only.
    }
}

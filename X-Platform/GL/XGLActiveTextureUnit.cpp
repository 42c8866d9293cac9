#include "XGLActiveTextureUnit.h"
#include "XOpenGL.h"

namespace {
uint32_t ActiveUnit()
{
    GLint unit = GL_TEXTURE0_ARB;
    glGetIntegerv(GL_ACTIVE_TEXTURE_ARB, &unit);
    return uint32_t(unit);
}
} // namespace

XGLActiveTextureUnit::XGLActiveTextureUnit() : itsSavedUnit(ActiveUnit()) {}

XGLActiveTextureUnit::XGLActiveTextureUnit(uint32_t inUnit) : itsSavedUnit(ActiveUnit())
{
    if (inUnit != itsSavedUnit)
        glActiveTextureARB(inUnit);
}

XGLActiveTextureUnit::~XGLActiveTextureUnit()
{
    try {
        if (ActiveUnit() != itsSavedUnit)
            glActiveTextureARB(itsSavedUnit);
    } catch (...) {
        // Only a context without multitexturing throws here, and it has one unit only.
    }
}

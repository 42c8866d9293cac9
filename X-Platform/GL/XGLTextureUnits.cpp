#include "XGLTextureUnits.h"
#include "XOpenGL.h"

uint32_t GetMaxTextureUnits()
{
    GLint count = 0;
    glGetIntegerv(GL_MAX_TEXTURE_UNITS_ARB, &count);
    // Without multitexturing the query is an unknown enum: one unit, and no error left behind.
    if (glGetError() != GL_NO_ERROR || count < 1)
        return 1;
    return uint32_t(count);
}

uint32_t GetLastTextureUnit()
{
    return GL_TEXTURE0_ARB + GetMaxTextureUnits() - 1;
}

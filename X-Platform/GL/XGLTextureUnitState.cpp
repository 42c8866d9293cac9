#include "XGLTextureUnitState.h"
#include "XGLActiveTextureUnit.h"
#include "XOpenGL.h"

XGLTextureUnitState::XGLTextureUnitState(uint32_t inUnit) : itsUnit(inUnit)
{
    XGLActiveTextureUnit active(inUnit);
    if (glIsEnabled(GL_TEXTURE_3D))
        itsEnabledTarget = GL_TEXTURE_3D;
    else if (glIsEnabled(GL_TEXTURE_2D))
        itsEnabledTarget = GL_TEXTURE_2D;
    else if (glIsEnabled(GL_TEXTURE_1D))
        itsEnabledTarget = GL_TEXTURE_1D;
}

XGLTextureUnitState::~XGLTextureUnitState()
{
    try {
        XGLActiveTextureUnit active(itsUnit);
        // Targets of higher precedence than the recorded one would hide it: switch them off.
        switch (itsEnabledTarget) {
        case GL_TEXTURE_3D:
            glEnable(GL_TEXTURE_3D);
            break;
        case GL_TEXTURE_2D:
            glDisable(GL_TEXTURE_3D);
            glEnable(GL_TEXTURE_2D);
            break;
        case GL_TEXTURE_1D:
            glDisable(GL_TEXTURE_3D);
            glDisable(GL_TEXTURE_2D);
            glEnable(GL_TEXTURE_1D);
            break;
        default:
            glDisable(GL_TEXTURE_1D);
            glDisable(GL_TEXTURE_2D);
            glDisable(GL_TEXTURE_3D);
            break;
        }
    } catch (...) {
        // Switching units can fail only without multitexturing; nothing to restore then.
    }
}

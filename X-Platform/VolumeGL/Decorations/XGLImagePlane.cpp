#include "XGLImagePlane.h"

#include "XGLException.h"
#include "XGLTextureBindSaver.h"
#include "XLock.h"
#include "XOpenGL.h"

void XGLImagePlane::SetVolume(const XVolume* inVolume)
{
    XLock lock(itsMutex);
    itsTexture.SetVolume(inVolume);
}

void XGLImagePlane::RenderSelf(XGLRenderable&)
{
    XLock lock(itsMutex);
    const XRect& textureBounds = itsTexture.GetBounds();
    const XRect& content = itsTexture.GetContentBounds();
    if (textureBounds.GetWidth() <= 0 || textureBounds.GetHeight() <= 0)
        return; // no picture yet
    // The part of the power-of-two texture that the picture fills.
    const double s = double(content.GetWidth()) / double(textureBounds.GetWidth());
    const double t = double(content.GetHeight()) / double(textureBounds.GetHeight());

    const GLboolean wasTextured = glIsEnabled(GL_TEXTURE_2D);
    const GLboolean wasCulled = glIsEnabled(GL_CULL_FACE);
    const GLboolean wasBlended = glIsEnabled(GL_BLEND);
    GLint cullMode = GL_BACK, textureEnvMode = GL_MODULATE;
    glGetIntegerv(GL_CULL_FACE_MODE, &cullMode);
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &textureEnvMode);
    GLfloat normal[3];
    glGetFloatv(GL_CURRENT_NORMAL, normal);
    XGLTextureBindSaver textureBinding;
    auto restore = [&] {
        glNormal3fv(normal);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, textureEnvMode);
        glCullFace(GLenum(cullMode));
        if (wasBlended)
            glEnable(GL_BLEND);
        if (!wasCulled)
            glDisable(GL_CULL_FACE);
        if (!wasTextured)
            glDisable(GL_TEXTURE_2D);
    };

    try {
        if (!wasTextured)
            glEnable(GL_TEXTURE_2D);
        itsTexture.SelectTexture();
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
        glCullFace(GL_BACK);
        ThrowIfGLErr();
    } catch (...) {
        restore();
        throw;
    }
    if (!wasCulled)
        glEnable(GL_CULL_FACE);
    if (wasBlended)
        glDisable(GL_BLEND);

    // Each face is culled from behind, so each side shows its own face, a hair in
    // front of the plane so that the two never fight in the depth buffer.
    const double z = 0.0001;
    glBegin(GL_QUADS);
    glNormal3f(0.0f, 0.0f, -1.0f);
    glTexCoord2d(0.0, 0.0);
    glVertex3d(-0.5, -0.5, z);
    glTexCoord2d(s, 0.0);
    glVertex3d(0.5, -0.5, z);
    glTexCoord2d(s, t);
    glVertex3d(0.5, 0.5, z);
    glTexCoord2d(0.0, t);
    glVertex3d(-0.5, 0.5, z);

    glNormal3f(0.0f, 0.0f, 1.0f);
    glTexCoord2d(0.0, t);
    glVertex3d(-0.5, 0.5, -z);
    glTexCoord2d(s, t);
    glVertex3d(0.5, 0.5, -z);
    glTexCoord2d(s, 0.0);
    glVertex3d(0.5, -0.5, -z);
    glTexCoord2d(0.0, 0.0);
    glVertex3d(-0.5, -0.5, -z);
    glEnd();

    restore();
}

#include "XGLImagePlane.h"

#include "XGLCapabilitySetter.h"
#include "XGLCullModeSetter.h"
#include "XGLException.h"
#include "XGLTextureBindSaver.h"
#include "XLock.h"
#include "XOpenGL.h"

namespace {
// Both faces of the square, textured over s × t of the texture.
void DrawFaces(double s, double t)
{
    // A hair in front of the plane on each side, so that the two faces never fight
    // in the depth buffer.
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
}
} // namespace

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

    GLint textureEnvMode = GL_MODULATE;
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &textureEnvMode);
    GLfloat normal[3];
    glGetFloatv(GL_CURRENT_NORMAL, normal);
    {
        const XGLTextureBindSaver textureBinding;
        // Each face is culled from behind, so each side shows its own face.
        const XGLCapabilitySetter texturing(GL_TEXTURE_2D, true), blending(GL_BLEND, false);
        const XGLCullModeSetter culling(GL_BACK);
        itsTexture.SelectTexture();
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        ThrowIfGLErr();
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
        DrawFaces(s, t);
    }
    glNormal3fv(normal);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, textureEnvMode);
}

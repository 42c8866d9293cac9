#include "XGLTexture.h"
#include "XAssert.h"
#include "XException.h"
#include "XGLContext.h"
#include "XGLException.h"
#include "XGLTextureOps.h"
#include "XOpenGL.h"

XGLTexture::~XGLTexture()
{
    if (itsTextureName != 0 && itsContextID != 0 && XGLContext::GetCurrentContextID() == itsContextID) {
        GLuint name = itsTextureName;
        glDeleteTextures(1, &name);
    }
}

void XGLTexture::SelectTexture()
{
    X_ASSERT_TEXT(XGLContext::GetCurrentContext() != nullptr, "XGLContext::GetCurrentContext()");
    if (!XGLContext::GetCurrentContext())
        return;
    const uint32_t current = XGLContext::GetCurrentContextID();
    if (itsContextID != current)
        itsTextureName = 0; // another context's name: not ours to use or delete here
    if (itsNeedsUpdate) {
        if (itsTextureName != 0) {
            GLuint name = itsTextureName;
            glDeleteTextures(1, &name);
        }
        itsTextureName = 0;
        itsNeedsUpdate = false;
    }
    itsContextID = current;
    if (itsTextureName != 0) {
        glBindTexture(GL_TEXTURE_2D, itsTextureName);
        ThrowIfGLErr();
        return;
    }
    GLuint name = 0;
    glGenTextures(1, &name);
    ThrowIfGLErr();
    if (name == 0)
        throw XException(XGLTextureOps::kNoTextureName,
                         "OpenGL gave no texture name; close other 3D views and try again");
    itsTextureName = name;
    try {
        glBindTexture(GL_TEXTURE_2D, name);
        ThrowIfGLErr();
        UploadTexture();
    } catch (...) {
        // A half-filled texture must not be bound as though it were complete next time.
        itsNeedsUpdate = true;
        throw;
    }
}

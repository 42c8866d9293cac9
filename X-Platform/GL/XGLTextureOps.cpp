#include "XGLTextureOps.h"
#include "XAssert.h"
#include "XException.h"
#include "XGLContext.h"
#include "XGLException.h"
#include "XOpenGL.h"

uint32_t XGLTextureOps::GetCurrentContextID()
{
    return XGLContext::GetCurrentContextID();
}

bool XGLTextureOps::IsInCurrentContext(const XGLTextureDescriptor& inDescriptor)
{
    return inDescriptor.GetContextID() == GetCurrentContextID();
}

bool XGLTextureOps::IsUseable(const XGLTextureDescriptor& inDescriptor)
{
    return GetCurrentContextID() != 0 && IsInCurrentContext(inDescriptor) && !inDescriptor.IsInvalid();
}

void XGLTextureOps::Free(XGLTextureDescriptor& inOutDescriptor)
{
    if (IsUseable(inOutDescriptor)) {
        GLuint name = inOutDescriptor.GetName();
        glDeleteTextures(1, &name);
    }
    inOutDescriptor.Invalidate();
}

XGLTextureDescriptor XGLTextureOps::ManufactureTexture()
{
    X_ASSERT_TEXT(XGLContext::GetCurrentContext() != nullptr, "XGLContext::GetCurrentContext()");
    if (!XGLContext::GetCurrentContext())
        return XGLTextureDescriptor();
    XGLTextureDescriptor descriptor(GetCurrentContextID(), 0);
    glGenTextures(1, descriptor.GetNameAddress());
    ThrowIfGLErr();
    if (descriptor.IsInvalid())
        throw XException(kNoTextureName, "OpenGL gave no texture name; close other 3D views and try again");
    return descriptor;
}

bool XGLTextureOps::ConfigureBlankTexture(int32_t inInternalFormat, int32_t inWidth, int32_t inHeight)
{
    try {
        exceptglTexImage2D(GL_TEXTURE_2D, 0, inInternalFormat, inWidth, inHeight, 0, GL_LUMINANCE, GL_UNSIGNED_BYTE,
                           nullptr);
    } catch (const XGLException&) {
        return false; // the driver refused the size or format: that is the answer asked for
    }
    GLint width = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    if (width != inWidth)
        return false;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    return true;
}

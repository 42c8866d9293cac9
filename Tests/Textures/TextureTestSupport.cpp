#include "TextureTestSupport.h"

#include <cstddef>
#include <tuple>
#include <utility>

TextureTest::XTexels TextureTest::ReadBoundTexture(GLenum inFormat, int inComponents)
{
    XTexels texels;
    std::tie(texels.width, texels.height) = BoundTextureSize();
    texels.bytes.assign(size_t(texels.width) * size_t(texels.height) * size_t(inComponents), 0xAB);
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glPixelStorei(GL_PACK_ROW_LENGTH, 0);
    glGetTexImage(GL_TEXTURE_2D, 0, inFormat, GL_UNSIGNED_BYTE, texels.bytes.data());
    glPopClientAttrib();
    return texels;
}

std::pair<int32_t, int32_t> TextureTest::BoundTextureSize()
{
    GLint w = 0, h = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &w);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &h);
    return {w, h};
}

bool TextureTest::IsTexture(uint32_t inName)
{
    return inName != 0 && glIsTexture(inName) == GL_TRUE;
}

GLint TextureTest::GLInteger(GLenum inName)
{
    GLint value = -1;
    glGetIntegerv(inName, &value);
    return value;
}

GLint TextureTest::BoundTextureParameter(GLenum inName)
{
    GLint value = -1;
    glGetTexParameteriv(GL_TEXTURE_2D, inName, &value);
    return value;
}

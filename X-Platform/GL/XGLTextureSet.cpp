#include "XGLTextureSet.h"
#include "XAssert.h"
#include "XException.h"
#include "XGLContext.h"
#include "XGLException.h"
#include "XGLPackedPixelStore.h"
#include "XOpenGL.h"

#include <mutex>

namespace {
// Shared by every clear and grown as needed; clears run on the main thread, the
// mutex only keeps a stray caller elsewhere from corrupting it.
std::mutex sZeroMutex;
std::vector<uint8_t> sZeroBuffer;


uint64_t NextPowerOfTwo(uint64_t inValue)
{
    uint64_t p = 1;
    while (p < inValue)
        p *= 2;
    return p;
}
} // namespace

XGLTextureSet::~XGLTextureSet()
{
    if (AreTexturesInCurrentContext() && !itsTextureNames.empty())
        glDeleteTextures(GLsizei(itsTextureNames.size()), itsTextureNames.data());
}

void XGLTextureSet::AllocateTexturesInCurrentContext(uint32_t inCount)
{
    FreeTexturesInCurrentContext();
    const XGLContext* current = XGLContext::GetCurrentContext();
    X_ASSERT_TEXT(current != nullptr, "currentContext != NULL");
    if (!current)
        return;
    itsTextureNames.assign(inCount, 0);
    if (inCount > 0) {
        glGenTextures(GLsizei(inCount), itsTextureNames.data());
        ThrowIfGLErr();
    }
    itsContextID = current->GetContextID();
}

bool XGLTextureSet::CheckIndex(uint32_t inIndex) const
{
    X_ASSERT_TEXT(inIndex < itsTextureNames.size(), "inIndex < GetTextureCount()");
    return inIndex < itsTextureNames.size();
}

void XGLTextureSet::SelectTexture(uint32_t inIndex)
{
    const bool here = AreTexturesInCurrentContext();
    X_ASSERT_TEXT(here, "AreTexturesInCurrentContext()");
    if (here && CheckIndex(inIndex))
        glBindTexture(GL_TEXTURE_2D, itsTextureNames[inIndex]);
}

bool XGLTextureSet::AreTexturesInCurrentContext() const
{
    return itsContextID != 0 && itsContextID == XGLContext::GetCurrentContextID();
}

void XGLTextureSet::FreeTexturesInCurrentContext()
{
    if (AreTexturesInCurrentContext() && !itsTextureNames.empty())
        glDeleteTextures(GLsizei(itsTextureNames.size()), itsTextureNames.data());
    itsTextureNames.clear();
    itsContextID = 0;
}

uint32_t XGLTextureSet::GetTextureName(uint32_t inIndex) const
{
    return CheckIndex(inIndex) ? itsTextureNames[inIndex] : 0;
}

void XGLTextureSet::ClearTexture(uint32_t inWidth, uint32_t inHeight)
{
    const uint64_t width = NextPowerOfTwo(inWidth);
    const uint64_t height = NextPowerOfTwo(inHeight);
    GLint maxSize = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
    if (maxSize <= 0 || width > uint64_t(maxSize) || height > uint64_t(maxSize))
        throw XException(XException::kBadArgument,
                         XString("a texture of %1 × %2 pixels is larger than the %3 pixels a side OpenGL allows; "
                                 "use a smaller image")
                             .Replace(int64_t(width))
                             .Replace(int64_t(height))
                             .Replace(int64_t(maxSize)));
    std::lock_guard<std::mutex> lock(sZeroMutex);
    if (sZeroBuffer.size() < width * height)
        sZeroBuffer.resize(width * height, 0);
    {
        XGLPackedPixelStore packed(1);
        exceptglTexImage2D(GL_TEXTURE_2D, 0, GL_INTENSITY, GLsizei(width), GLsizei(height), 0, GL_LUMINANCE,
                           GL_UNSIGNED_BYTE, sZeroBuffer.data());
    }
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    ThrowIfGLErr();
}

void XGLTextureSet::ClearTextures(uint32_t inWidth, uint32_t inHeight)
{
    if (!AreTexturesInCurrentContext())
        return;
    for (uint32_t i = 0; i < itsTextureNames.size(); ++i) {
        glBindTexture(GL_TEXTURE_2D, itsTextureNames[i]);
        ClearTexture(inWidth, inHeight);
    }
}

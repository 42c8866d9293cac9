#include "XGLVolumeTextureStack.h"
#include "XARGB32Volume.h"
#include "XAssert.h"
#include "XException.h"
#include "XGLContext.h"
#include "XGLException.h"
#include "XGLPackedPixelStore.h"
#include "XGLTextureBindSaver.h"
#include "XOpenGL.h"

#include <algorithm>
#include <bit>
#include <utility>

namespace {
// The next power of two at or above inValue (a power of two stays as it is).
uint64_t TextureSide(uint64_t inValue)
{
    return std::bit_ceil(inValue);
}

// The upload format that reads XARGB32Colour memory (alpha, red, green, blue bytes)
// as it stands: a packed 32-bit BGRA word whose byte order follows the machine's.
constexpr GLenum kARGBMemoryType =
    std::endian::native == std::endian::little ? GL_UNSIGNED_INT_8_8_8_8 : GL_UNSIGNED_INT_8_8_8_8_REV;

} // namespace

XGLVolumeTextureStack::XGLVolumeTextureStack(const XARGB32Volume& inVolume)
{
    LoadVolume(inVolume);
}

XGLVolumeTextureStack::XGLVolumeTextureStack(XGLVolumeTextureStack&& inOther) noexcept
    : itsWidth(std::exchange(inOther.itsWidth, 0)), itsHeight(std::exchange(inOther.itsHeight, 0)),
      itsTextureWidth(std::exchange(inOther.itsTextureWidth, 0)),
      itsTextureHeight(std::exchange(inOther.itsTextureHeight, 0)), textureNames(std::move(inOther.textureNames)),
      itsContextID(std::exchange(inOther.itsContextID, 0))
{
    inOther.textureNames.clear();
}

XGLVolumeTextureStack& XGLVolumeTextureStack::operator=(XGLVolumeTextureStack&& inOther) noexcept
{
    if (this != &inOther) {
        ForgetVolume();
        itsWidth = std::exchange(inOther.itsWidth, 0);
        itsHeight = std::exchange(inOther.itsHeight, 0);
        itsTextureWidth = std::exchange(inOther.itsTextureWidth, 0);
        itsTextureHeight = std::exchange(inOther.itsTextureHeight, 0);
        textureNames = std::move(inOther.textureNames);
        inOther.textureNames.clear();
        itsContextID = std::exchange(inOther.itsContextID, 0);
    }
    return *this;
}

XGLVolumeTextureStack::~XGLVolumeTextureStack()
{
    ForgetVolume();
}

void XGLVolumeTextureStack::ForgetVolume()
{
    if (!textureNames.empty() && itsContextID != 0 && itsContextID == XGLContext::GetCurrentContextID())
        glDeleteTextures(GLsizei(textureNames.size()), textureNames.data());
    textureNames.clear();
    itsWidth = itsHeight = itsTextureWidth = itsTextureHeight = 0;
    itsContextID = 0;
}

void XGLVolumeTextureStack::LoadVolume(const XARGB32Volume& inVolume)
{
    X_ASSERT_TEXT(XGLContext::GetCurrentContext() != nullptr, "XGLContext::GetCurrentContext()");
    if (!XGLContext::GetCurrentContext())
        return;
    // The old textures would otherwise be lost while still holding memory.
    ForgetVolume();

    XVolume::XReadLock lock(inVolume);
    const int32_t depth = inVolume.GetDepth();
    const int32_t width = inVolume.GetWidth();
    const int32_t height = inVolume.GetHeight();
    if (inVolume.IsEmpty() || !inVolume.GetData())
        return;
    const uint64_t textureWidth = TextureSide(uint64_t(width));
    const uint64_t textureHeight = TextureSide(uint64_t(height));
    GLint maxSize = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
    if (maxSize <= 0 || textureWidth > uint64_t(maxSize) || textureHeight > uint64_t(maxSize))
        throw XException(XException::kBadArgument,
                         XString("a slice of %1 × %2 pixels needs a texture of %3 × %4, larger than the %5 pixels a "
                                 "side OpenGL allows; resample the volume to a smaller size")
                             .Replace(int64_t(width))
                             .Replace(int64_t(height))
                             .Replace(int64_t(textureWidth))
                             .Replace(int64_t(textureHeight))
                             .Replace(int64_t(maxSize)));

    // Each slice is defined at full size without data, filled from the volume's own
    // memory and its padding from one shared black buffer: every texel is written
    // once and the slices are never copied into padded buffers.
    const uint64_t rightPad = (textureWidth - uint64_t(width)) * uint64_t(height);
    const uint64_t topPad = textureWidth * (textureHeight - uint64_t(height));
    const std::vector<uint8_t> zero(size_t(std::max(rightPad, topPad) * 4), 0);
    textureNames.assign(size_t(depth), 0);
    glGenTextures(GLsizei(depth), textureNames.data());
    itsContextID = XGLContext::GetCurrentContextID();
    itsWidth = uint32_t(width);
    itsHeight = uint32_t(height);
    itsTextureWidth = uint32_t(textureWidth);
    itsTextureHeight = uint32_t(textureHeight);
    ThrowIfGLErr();

    XGLTextureBindSaver bindSaver;
    XGLPackedPixelStore packed;
    const GLsizei tw = GLsizei(textureWidth), th = GLsizei(textureHeight);
    for (int32_t z = 0; z < depth; ++z) {
        X_ASSERT_TEXT(size_t(z) < textureNames.size(), "slice < textureNames.size()");
        glBindTexture(GL_TEXTURE_2D, textureNames[size_t(z)]);
        exceptglTexImage2D(GL_TEXTURE_2D, 0, GL_RGB8, tw, th, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
        InitialiseTexture();
        glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, width, height, GL_BGRA, kARGBMemoryType,
                        inVolume.GetVoxelLayer(z));
        if (tw > width)
            glTexSubImage2D(GL_TEXTURE_2D, 0, width, 0, tw - width, height, GL_RGBA, GL_UNSIGNED_BYTE, zero.data());
        if (th > height)
            glTexSubImage2D(GL_TEXTURE_2D, 0, 0, height, tw, th - height, GL_RGBA, GL_UNSIGNED_BYTE, zero.data());
    }
    ThrowIfGLErr();
}

void XGLVolumeTextureStack::BindSliceTexture(unsigned int inSlice)
{
    X_ASSERT_TEXT(inSlice < textureNames.size(), "slice < textureNames.size()");
    if (inSlice < textureNames.size())
        glBindTexture(GL_TEXTURE_2D, textureNames[inSlice]);
}

uint32_t XGLVolumeTextureStack::GetSliceTextureName(unsigned int inSlice) const
{
    return inSlice < textureNames.size() ? textureNames[inSlice] : 0;
}

void XGLVolumeTextureStack::InitialiseTexture()
{
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP);
}

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

bool XGLVolumeTextureStack::Begin(int32_t inWidth, int32_t inHeight, int32_t inSlices)
{
    X_ASSERT_TEXT(XGLContext::GetCurrentContext() != nullptr, "XGLContext::GetCurrentContext()");
    if (!XGLContext::GetCurrentContext())
        return false;
    // The old textures would otherwise be lost while still holding memory.
    ForgetVolume();
    if (inWidth <= 0 || inHeight <= 0 || inSlices <= 0)
        return false;
    const uint64_t textureWidth = TextureSide(uint64_t(inWidth));
    const uint64_t textureHeight = TextureSide(uint64_t(inHeight));
    GLint maxSize = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
    if (maxSize <= 0 || textureWidth > uint64_t(maxSize) || textureHeight > uint64_t(maxSize))
        throw XException(XException::kBadArgument,
                         XString("a slice of %1 × %2 pixels needs a texture of %3 × %4, larger than the %5 pixels a "
                                 "side OpenGL allows; resample the volume to a smaller size")
                             .Replace(int64_t(inWidth))
                             .Replace(int64_t(inHeight))
                             .Replace(int64_t(textureWidth))
                             .Replace(int64_t(textureHeight))
                             .Replace(int64_t(maxSize)));
    textureNames.assign(size_t(inSlices), 0);
    glGenTextures(GLsizei(inSlices), textureNames.data());
    itsContextID = XGLContext::GetCurrentContextID();
    itsWidth = uint32_t(inWidth);
    itsHeight = uint32_t(inHeight);
    itsTextureWidth = uint32_t(textureWidth);
    itsTextureHeight = uint32_t(textureHeight);
    ThrowIfGLErr();
    return true;
}

void XGLVolumeTextureStack::LoadVolume(const XARGB32Volume& inVolume)
{
    XVolume::XReadLock lock(inVolume);
    const int32_t depth = inVolume.GetDepth();
    const int32_t width = inVolume.GetWidth();
    const int32_t height = inVolume.GetHeight();
    if (!Begin(inVolume.GetData() ? width : 0, height, depth))
        return;

    // Each slice is defined at full size without data, filled from the volume's own
    // memory and its padding from one shared black buffer: every texel is written
    // once and the slices are never copied into padded buffers.
    const uint64_t rightPad = (uint64_t(itsTextureWidth) - uint64_t(width)) * uint64_t(height);
    const uint64_t topPad = uint64_t(itsTextureWidth) * (uint64_t(itsTextureHeight) - uint64_t(height));
    const std::vector<uint8_t> zero(size_t(std::max(rightPad, topPad) * 4), 0);
    XGLTextureBindSaver bindSaver;
    XGLPackedPixelStore packed;
    const GLsizei tw = GLsizei(itsTextureWidth), th = GLsizei(itsTextureHeight);
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

void XGLVolumeTextureStack::LoadGreySlices(int32_t inWidth, int32_t inHeight, int32_t inSlices, const XSliceFill& inFill)
{
    if (!Begin(inWidth, inHeight, inSlices))
        return;
    // The slice, padded black to the texture's size, so each texture is filled by one upload.
    const size_t tw = itsTextureWidth, th = itsTextureHeight;
    std::vector<uint8_t> padded(tw * th, 0);
    std::vector<uint8_t> slice(tw == size_t(inWidth) ? 0 : size_t(inWidth) * size_t(inHeight));
    XGLTextureBindSaver bindSaver;
    XGLPackedPixelStore packed;
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    for (int32_t s = 0; s < inSlices; ++s) {
        if (slice.empty())
            inFill(s, padded.data());
        else {
            inFill(s, slice.data());
            for (int32_t y = 0; y < inHeight; ++y)
                std::copy_n(slice.data() + size_t(y) * size_t(inWidth), inWidth, padded.data() + size_t(y) * tw);
        }
        glBindTexture(GL_TEXTURE_2D, textureNames[size_t(s)]);
        exceptglTexImage2D(GL_TEXTURE_2D, 0, GL_LUMINANCE8, GLsizei(tw), GLsizei(th), 0, GL_LUMINANCE,
                           GL_UNSIGNED_BYTE, padded.data());
        InitialiseTexture();
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

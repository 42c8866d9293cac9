#include "XGLTexturePainter.h"
#include "XAssert.h"
#include "XException.h"
#include "XGLException.h"
#include "XGLPackedPixelStore.h"
#include "XOpenGL.h"

namespace {
// Larger paint buffers than this are refused rather than allocated.
constexpr uint64_t kMaxPaintBytes = uint64_t(1) << 30;
constexpr uint32_t kFormats[] = {GL_LUMINANCE, GL_LUMINANCE_ALPHA, GL_RGB, GL_RGBA};
} // namespace

void XGLTexturePainter::SetChannelCountAndSize(uint32_t inChannels, uint32_t inWidth, uint32_t inHeight)
{
    if (inChannels < 1 || inChannels > 4)
        throw XException(XException::kBadArgument,
                         XString("a texture painter takes 1 to 4 channels, not %1").Replace(int64_t(inChannels)));
    const uint64_t bytes = uint64_t(inChannels) * inWidth * inHeight;
    if (bytes > kMaxPaintBytes)
        throw XException(XException::kBadArgument,
                         XString("a painted texture of %1 × %2 pixels is too large; use a smaller size")
                             .Replace(int64_t(inWidth))
                             .Replace(int64_t(inHeight)));
    itsChannelCount = inChannels;
    itsWidth = inWidth;
    itsHeight = inHeight;
    if (itsPaintBuffer.size() != bytes)
        itsPaintBuffer.assign(bytes, 255);
}

void XGLTexturePainter::LoadChannel(uint32_t inChannel, const short* inData, long inXStride, long inYStride)
{
    X_ASSERT_TEXT(inChannel < itsChannelCount, "inChannel < GetChannelCount()");
    X_ASSERT_TEXT(inData != nullptr, "inData != NULL");
    if (inChannel >= itsChannelCount || !inData)
        return;
    uint8_t* out = itsPaintBuffer.data() + inChannel;
    for (uint32_t y = 0; y < itsHeight; ++y) {
        const short* row = inData + long(y) * inYStride;
        for (uint32_t x = 0; x < itsWidth; ++x, out += itsChannelCount)
            *out = uint8_t(uint16_t(row[long(x) * inXStride]) & 0xFF);
    }
}

uint32_t XGLTexturePainter::GetType() const
{
    return GL_UNSIGNED_BYTE;
}

uint32_t XGLTexturePainter::GetFormat() const
{
    return kFormats[itsChannelCount - 1];
}

void XGLTexturePainter::TransferToTexture(int inX, int inY) const
{
    Transfer(0, 0, int(itsWidth), int(itsHeight), inX, inY);
}

void XGLTexturePainter::TransferToTexture(int inX, int inY, int inWidth, int inHeight) const
{
    const bool inside = inX >= 0 && inY >= 0 && inWidth >= 0 && inHeight >= 0 &&
                        int64_t(inX) + inWidth <= int64_t(itsWidth) && int64_t(inY) + inHeight <= int64_t(itsHeight);
    X_ASSERT_TEXT(inside, "the rectangle lies inside the paint buffer");
    if (inside)
        Transfer(inX, inY, inWidth, inHeight, inX, inY);
}

void XGLTexturePainter::Transfer(int inBufferX, int inBufferY, int inWidth, int inHeight, int inTextureX,
                                 int inTextureY) const
{
    if (inWidth <= 0 || inHeight <= 0)
        return;
    {
        XGLPackedPixelStore region(1, GLint(itsWidth), inBufferY, inBufferX); // 1- and 3-byte pixels leave rows unaligned
        glTexSubImage2D(GL_TEXTURE_2D, 0, inTextureX, inTextureY, inWidth, inHeight, GetFormat(), GL_UNSIGNED_BYTE,
                        itsPaintBuffer.data());
    }
    ThrowIfGLErr();
}

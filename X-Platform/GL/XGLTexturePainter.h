#pragma once
// A client-side image of 1 to 4 byte channels, interleaved per pixel and stored row
// by row, that is painted channel by channel and then copied into a texture.
#include <cstdint>
#include <vector>

class XGLTexturePainter {
public:
    XGLTexturePainter() = default;

    // Resizes the paint buffer; a buffer whose size changes is filled with 255.
    // Throws XException for a channel count outside 1-4 or a buffer too large to hold.
    void SetChannelCountAndSize(uint32_t inChannels, uint32_t inWidth, uint32_t inHeight);
    void SetChannelCountAndSize(uint32_t inChannels, uint32_t inSize) { SetChannelCountAndSize(inChannels, inSize, inSize); }
    // Channel inChannel of pixel (x, y) takes the low byte of
    // inData[y × inYStride + x × inXStride], for every pixel.
    void LoadChannel(uint32_t inChannel, const short* inData, long inXStride, long inYStride);

    uint8_t* GetPaintBuffer() { return itsPaintBuffer.data(); }
    const uint8_t* GetPaintBuffer() const { return itsPaintBuffer.data(); }
    uint32_t GetChannelCount() const { return itsChannelCount; }
    uint32_t GetWidth() const { return itsWidth; }
    uint32_t GetHeight() const { return itsHeight; }
    // GL_UNSIGNED_BYTE.
    uint32_t GetType() const;
    // GL_LUMINANCE, GL_LUMINANCE_ALPHA, GL_RGB or GL_RGBA for 1 to 4 channels.
    uint32_t GetFormat() const;

    // Replaces the bound 2D texture's level 0 from (0, 0) with the whole buffer.
    void TransferToTexture() const { TransferToTexture(0, 0); }
    // Places the whole buffer at texel (inX, inY).
    void TransferToTexture(int inX, int inY) const;
    // Copies the buffer's rectangle at (inX, inY) of inWidth × inHeight pixels to the
    // same texels of the texture, for updating part of a painted image. A rectangle
    // outside the buffer is reported and nothing is copied.
    void TransferToTexture(int inX, int inY, int inWidth, int inHeight) const;

private:
    void Transfer(int inBufferX, int inBufferY, int inWidth, int inHeight, int inTextureX, int inTextureY) const;

    uint32_t itsChannelCount = 1;
    uint32_t itsWidth = 0;
    uint32_t itsHeight = 0;
    std::vector<uint8_t> itsPaintBuffer;
};

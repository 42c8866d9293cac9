#pragma once
// Describes one upload of a power-of-two region of an image in client memory into
// the bound 2D texture: the source image (size, address, layout), the texture's
// size as powers of two, its place in the source and an optional one-pixel border
// taken from the pixels around that place.
#include "XRect.h"

#include <cstdint>

class XGLTextureLoader {
public:
    XGLTextureLoader() = default;

    void SetSourceWidth(int32_t inWidth) { itsSourceWidth = inWidth; }
    void SetSourceHeight(int32_t inHeight) { itsSourceHeight = inHeight; }
    void SetSourceBaseAddress(const void* inAddress) { itsSourceBaseAddress = inAddress; }
    void SetSourceDataType(uint32_t inType) { itsSourceDataType = inType; }
    // 1 to 4 channels: luminance, luminance-alpha, RGB, RGBA. Also sets the texture's
    // channels when none were set.
    void SetSourceChannels(uint32_t inChannels);
    void SetTextureChannels(uint32_t inChannels);
    void SetTextureWidthLog2(uint32_t inLog2);
    void SetTextureHeightLog2(uint32_t inLog2);
    // The texture's left edge at source column inX.
    void PositionTextureLeftEdge(uint32_t inX);
    // The texture ends at source column inX (exclusive).
    void PositionTextureRightEdge(uint32_t inX);
    void PositionTextureTopEdge(uint32_t inY);
    void PositionTextureBottomEdge(uint32_t inY);
    // 0 or 1; the border pixels come from around the texture's place in the source.
    void SetBorderWidth(uint32_t inWidth);

    int32_t GetSourceWidth() const { return itsSourceWidth; }
    int32_t GetSourceHeight() const { return itsSourceHeight; }
    const void* GetSourceBaseAddress() const { return itsSourceBaseAddress; }
    uint32_t GetSourceDataType() const { return itsSourceDataType; }
    uint32_t GetSourceFormat() const { return itsSourceFormat; }
    uint32_t GetTextureWidthLog2() const { return itsTextureWidthLog2; }
    uint32_t GetTextureHeightLog2() const { return itsTextureHeightLog2; }
    uint32_t GetTextureLeft() const { return itsTextureLeft; }
    uint32_t GetTextureTop() const { return itsTextureTop; }
    uint32_t GetBorderWidth() const { return itsBorderWidth; }
    uint32_t GetTextureInternalFormat() const { return itsTextureInternalFormat; }
    // 2^log2 + 2 × border.
    uint64_t GetTextureWidthWithBorder() const;
    uint64_t GetTextureHeightWithBorder() const;

    // Uploads level 0 of the bound GL_TEXTURE_2D. Refuses (reports and returns false,
    // touching nothing) when the source is missing or the texture with its border
    // does not lie inside it.
    bool Load() const;
    // Draws the region at the current raster position instead (a diagnostic); refuses as Load does.
    bool Dump() const;

    // GL_MAX_TEXTURE_SIZE, read once, never more than kMaxTextureSizeCap.
    static uint32_t GetMaxTextureSize();
    // The largest power-of-two size, halving inBounds' width and height together,
    // that the driver accepts for the internal format; the empty rectangle when not
    // even 1 × 1 is accepted.
    static XRect GetMaxLoadableTextureBounds(const XRect& inBounds, uint32_t inInternalFormat);

    static constexpr uint32_t kMaxTextureSizeCap = 1024;

private:
    // Whether the described region can be read from the source; reports what is wrong.
    bool CheckUpload() const;

    int32_t itsSourceWidth = 0;
    int32_t itsSourceHeight = 0;
    const void* itsSourceBaseAddress = nullptr;
    uint32_t itsSourceDataType = 0x1401; // GL_UNSIGNED_BYTE
    uint32_t itsSourceFormat = 0;
    uint32_t itsTextureWidthLog2 = 0;
    uint32_t itsTextureHeightLog2 = 0;
    uint32_t itsTextureLeft = 0;
    uint32_t itsTextureTop = 0;
    uint32_t itsBorderWidth = 0;
    uint32_t itsTextureInternalFormat = 0;
};

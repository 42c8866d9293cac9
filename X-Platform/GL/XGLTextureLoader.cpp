#include "XGLTextureLoader.h"
#include "XAssert.h"
#include "XGLContext.h"
#include "XGLException.h"
#include "XGLPackedPixelStore.h"
#include "XOpenGL.h"

#include <algorithm>
#include <atomic>
#include <cstdint>

namespace {
std::atomic<uint32_t> sMaxTextureSize{0};

// 2^n, saturating instead of shifting past the width of the type.
uint64_t Pow2(uint32_t inLog2)
{
    return inLog2 < 62 ? uint64_t(1) << inLog2 : uint64_t(1) << 62;
}

// a + 2^log2 <= limit, in a width where neither side can wrap.
bool EndsBy(uint32_t inStart, uint32_t inLog2, int64_t inLimit)
{
    return int64_t(inStart) + int64_t(Pow2(inLog2)) <= inLimit;
}

const uint32_t kSourceFormats[] = {GL_LUMINANCE, GL_LUMINANCE_ALPHA, GL_RGB, GL_RGBA};
const uint32_t kInternalFormats[] = {GL_LUMINANCE8, GL_LUMINANCE8_ALPHA8, GL_RGB8, GL_RGBA8};

bool IsPowerOfTwoOrZero(int32_t inValue)
{
    return ((inValue - 1) & inValue) == 0;
}

// The largest power of two not above inValue (1 for anything below 2).
int32_t FloorPowerOfTwo(int32_t inValue)
{
    int32_t p = 1;
    while (p <= inValue / 2)
        p *= 2;
    return p;
}
} // namespace

void XGLTextureLoader::SetSourceChannels(uint32_t inChannels)
{
    X_ASSERT_TEXT(inChannels >= 1, "numberOfChannels >= 1");
    X_ASSERT_TEXT(inChannels <= 4, "numberOfChannels <= 4");
    if (inChannels < 1 || inChannels > 4)
        return;
    itsSourceFormat = kSourceFormats[inChannels - 1];
    if (itsTextureInternalFormat == 0)
        itsTextureInternalFormat = kInternalFormats[inChannels - 1];
}

void XGLTextureLoader::SetTextureChannels(uint32_t inChannels)
{
    X_ASSERT_TEXT(inChannels >= 1, "numberOfChannels >= 1");
    X_ASSERT_TEXT(inChannels <= 4, "numberOfChannels <= 4");
    if (inChannels < 1 || inChannels > 4)
        return;
    itsTextureInternalFormat = kInternalFormats[inChannels - 1];
}

void XGLTextureLoader::SetTextureWidthLog2(uint32_t inLog2)
{
    itsTextureWidthLog2 = inLog2;
    X_ASSERT_TEXT(EndsBy(itsTextureLeft, inLog2, int64_t(itsSourceWidth) - itsBorderWidth),
                  "textureLeft + (1 << textureWidthLog2) <= sourceWidth - borderWidth");
    X_ASSERT_TEXT(Pow2(inLog2) <= GetMaxTextureSize(), "(1UL << textureWidthLog2) <= GetMaxTextureSize()");
}

void XGLTextureLoader::SetTextureHeightLog2(uint32_t inLog2)
{
    itsTextureHeightLog2 = inLog2;
    X_ASSERT_TEXT(EndsBy(itsTextureTop, inLog2, int64_t(itsSourceHeight) - itsBorderWidth),
                  "textureTop + (1 << textureHeightLog2) <= sourceHeight - borderWidth");
    X_ASSERT_TEXT(Pow2(inLog2) <= GetMaxTextureSize(), "(1UL << textureHeightLog2) <= GetMaxTextureSize()");
}

void XGLTextureLoader::PositionTextureLeftEdge(uint32_t inX)
{
    itsTextureLeft = inX;
    X_ASSERT_TEXT(itsTextureLeft >= itsBorderWidth, "textureLeft >= borderWidth");
    X_ASSERT_TEXT(EndsBy(itsTextureLeft, itsTextureWidthLog2, int64_t(itsSourceWidth) - itsBorderWidth),
                  "textureLeft + (1 << textureWidthLog2) <= sourceWidth - borderWidth");
}

void XGLTextureLoader::PositionTextureRightEdge(uint32_t inX)
{
    const int64_t left = int64_t(inX) - int64_t(Pow2(itsTextureWidthLog2));
    X_ASSERT_TEXT(int64_t(inX) <= int64_t(itsSourceWidth) - itsBorderWidth, "newRight <= sourceWidth - borderWidth");
    X_ASSERT_TEXT(left >= int64_t(itsBorderWidth), "SInt(newRight) - (1 << textureWidthLog2) >= SInt(borderWidth)");
    // A left edge before the source start cannot be held; Load refuses the wrapped value.
    itsTextureLeft = uint32_t(left);
}

void XGLTextureLoader::PositionTextureTopEdge(uint32_t inY)
{
    itsTextureTop = inY;
    X_ASSERT_TEXT(itsTextureTop >= itsBorderWidth, "textureTop >= borderWidth");
    X_ASSERT_TEXT(EndsBy(itsTextureTop, itsTextureHeightLog2, itsSourceHeight),
                  "textureTop + (1 << textureHeightLog2) <= sourceHeight");
}

void XGLTextureLoader::PositionTextureBottomEdge(uint32_t inY)
{
    const int64_t top = int64_t(inY) - int64_t(Pow2(itsTextureHeightLog2));
    X_ASSERT_TEXT(int64_t(inY) <= int64_t(itsSourceHeight) - itsBorderWidth, "newBottom <= sourceHeight - borderWidth");
    X_ASSERT_TEXT(top >= int64_t(itsBorderWidth), "SInt(newBottom) - (1 << textureHeightLog2) >= SInt(borderWidth)");
    itsTextureTop = uint32_t(top);
}

void XGLTextureLoader::SetBorderWidth(uint32_t inWidth)
{
    X_ASSERT_TEXT((inWidth == 0) || (inWidth == 1), "(newBorderWidth == 0) || (newBorderWidth == 1)");
    itsBorderWidth = inWidth;
}

uint64_t XGLTextureLoader::GetTextureWidthWithBorder() const
{
    return Pow2(itsTextureWidthLog2) + 2 * uint64_t(itsBorderWidth);
}

uint64_t XGLTextureLoader::GetTextureHeightWithBorder() const
{
    return Pow2(itsTextureHeightLog2) + 2 * uint64_t(itsBorderWidth);
}

bool XGLTextureLoader::CheckUpload() const
{
    bool ok = true;
    auto check = [&ok](bool inCondition, const char* inText) {
        if (!inCondition) {
            X_REPORT(inText);
            ok = false;
        }
    };
    check(itsSourceWidth > 0, "sourceWidth > 0");
    check(itsSourceHeight > 0, "sourceHeight > 0");
    check(itsSourceBaseAddress != nullptr, "sourceBaseAddress != NULL");
    check(itsSourceFormat != 0, "sourceFormat != 0");
    check(itsBorderWidth <= 1, "(borderWidth == 0) || (borderWidth == 1)");
    // A texture side must fit a GLsizei; larger shifts would also be undefined.
    check(itsTextureWidthLog2 < 31, "textureWidthLog2 < 31");
    check(itsTextureHeightLog2 < 31, "textureHeightLog2 < 31");
    if (!ok)
        return false;
    // The texture and its border must be read from inside the source image.
    check(itsTextureLeft >= itsBorderWidth, "textureLeft >= borderWidth");
    check(itsTextureTop >= itsBorderWidth, "textureTop >= borderWidth");
    check(int64_t(itsTextureLeft) - itsBorderWidth + int64_t(GetTextureWidthWithBorder()) <= itsSourceWidth,
          "textureLeft + (1 << textureWidthLog2) + borderWidth <= sourceWidth");
    check(int64_t(itsTextureTop) - itsBorderWidth + int64_t(GetTextureHeightWithBorder()) <= itsSourceHeight,
          "textureTop + (1 << textureHeightLog2) + borderWidth <= sourceHeight");
    return ok;
}

bool XGLTextureLoader::Load() const
{
    if (!CheckUpload())
        return false;
    {
        // The region with its border starts one pixel up and left of the texture's place.
        // Source rows are packed without padding, whatever their byte width.
        XGLPackedPixelStore region(1, itsSourceWidth, int32_t(itsTextureTop - itsBorderWidth),
                                   int32_t(itsTextureLeft - itsBorderWidth));
        exceptglTexImage2D(GL_TEXTURE_2D, 0, GLint(itsTextureInternalFormat), GLsizei(GetTextureWidthWithBorder()),
                           GLsizei(GetTextureHeightWithBorder()), GLint(itsBorderWidth), itsSourceFormat,
                           itsSourceDataType, itsSourceBaseAddress);
    }
    ThrowIfGLErr();
    return true;
}

bool XGLTextureLoader::Dump() const
{
    if (!CheckUpload())
        return false;
    {
        // Source rows are packed without padding, whatever their byte width.
        XGLPackedPixelStore region(1, itsSourceWidth, int32_t(itsTextureTop - itsBorderWidth),
                                   int32_t(itsTextureLeft - itsBorderWidth));
        glDrawPixels(GLsizei(GetTextureWidthWithBorder()), GLsizei(GetTextureHeightWithBorder()), itsSourceFormat,
                     itsSourceDataType, itsSourceBaseAddress);
    }
    ThrowIfGLErr();
    return true;
}

uint32_t XGLTextureLoader::GetMaxTextureSize()
{
    uint32_t cached = sMaxTextureSize.load();
    if (cached != 0)
        return cached;
    if (!XGLContext::GetCurrentContext())
        return kMaxTextureSizeCap; // nothing to ask yet; every driver in use offers at least this
    GLint size = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &size);
    if (size <= 0)
        return kMaxTextureSizeCap;
    cached = std::min<uint32_t>(uint32_t(size), kMaxTextureSizeCap);
    sMaxTextureSize.store(cached);
    return cached;
}

XRect XGLTextureLoader::GetMaxLoadableTextureBounds(const XRect& inBounds, uint32_t inInternalFormat)
{
    int32_t w = inBounds.GetWidth();
    int32_t h = inBounds.GetHeight();
    X_ASSERT_TEXT(IsPowerOfTwoOrZero(w), "((w - 1) & w) == 0");
    X_ASSERT_TEXT(IsPowerOfTwoOrZero(h), "((h - 1) & h) == 0");
    w = FloorPowerOfTwo(w);
    h = FloorPowerOfTwo(h);
    const int32_t limit = int32_t(GetMaxTextureSize());
    while (w > limit || h > limit) {
        w = std::max(w / 2, 1);
        h = std::max(h / 2, 1);
    }
    // An error left by earlier code says nothing about this size.
    while (glGetError() != GL_NO_ERROR) {
    }
    for (;;) {
        glTexImage2D(GL_PROXY_TEXTURE_2D, 0, GLint(inInternalFormat), w, h, 0, GL_LUMINANCE, GL_UNSIGNED_BYTE, nullptr);
        GLint width = 0;
        glGetTexLevelParameteriv(GL_PROXY_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
        bool failed = false;
        while (glGetError() != GL_NO_ERROR)
            failed = true;
        if (!failed && width == w)
            return XRect(0, 0, w, h);
        if (w == 1 && h == 1)
            return XRect(); // the driver takes no size at all in this format
        w = std::max(w / 2, 1);
        h = std::max(h / 2, 1);
    }
}

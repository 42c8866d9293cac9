#include "XGLXVolumeTexture.h"
#include "SwapBuffer32.h"
#include "XARGB32Volume.h"
#include "XAssert.h"
#include "XGLException.h"
#include "XGLPackedPixelStore.h"
#include "XOpenGL.h"

#include <algorithm>
#include <bit>
#include <cmath>

XGLXVolumeTexture::XGLXVolumeTexture() = default;

XGLXVolumeTexture::XGLXVolumeTexture(const XVolume* inVolume)
{
    SetVolume(inVolume);
}

XGLXVolumeTexture::~XGLXVolumeTexture() = default;

void XGLXVolumeTexture::SetVolume(const XVolume* inVolume)
{
    itsVolume.reset();
    std::unique_ptr<XARGB32Volume> substitute;
    if (!inVolume || inVolume->IsEmpty()) {
        substitute = std::make_unique<XARGB32Volume>(32, 32, 1);
        substitute->Clear();
        inVolume = substitute.get();
    }
    X_ASSERT_TEXT(inVolume->IsXYPlane(), "inVolume->IsXYPlane()");

    const X3DRect& bounds = inVolume->GetBounds();
    itsPlaneBounds = bounds.GetXYRect().MovedToOrigin();
    // Sides are worked out in 64 bits: the power of two above a wide plane need not
    // fit the rectangle's 32-bit edges.
    const int64_t planeWidth = itsPlaneBounds.GetWidth(), planeHeight = itsPlaneBounds.GetHeight();
    int64_t targetWidth = int64_t(std::bit_ceil(uint64_t(planeWidth)));
    int64_t targetHeight = int64_t(std::bit_ceil(uint64_t(planeHeight)));
    int64_t contentWidth = planeWidth, contentHeight = planeHeight;
    if (targetWidth > kMaxSide || targetHeight > kMaxSide) {
        // Scale the texture to fit kMaxSide × kMaxSide and the plane with it.
        const double scale = std::min(double(kMaxSide) / double(targetWidth), double(kMaxSide) / double(targetHeight));
        const int64_t scaledWidth = std::min<int64_t>(std::llround(double(targetWidth) * scale), kMaxSide);
        const int64_t scaledHeight = std::min<int64_t>(std::llround(double(targetHeight) * scale), kMaxSide);
        contentWidth = std::llround(double(planeWidth) * double(scaledWidth) / double(targetWidth));
        contentHeight = std::llround(double(planeHeight) * double(scaledHeight) / double(targetHeight));
        targetWidth = scaledWidth;
        targetHeight = scaledHeight;
    }
    // A very thin plane can shrink to nothing; keep at least one texel of it.
    const XRect target(0, 0, int32_t(std::max<int64_t>(targetWidth, 1)), int32_t(std::max<int64_t>(targetHeight, 1)));
    const XRect content(0, 0, int32_t(std::max<int64_t>(contentWidth, 1)), int32_t(std::max<int64_t>(contentHeight, 1)));
    itsContentBounds = content;

    auto prepared = std::make_unique<XARGB32Volume>(target, 1);
    {
        XVolume::XWriteLock writeLock(*prepared);
        prepared->Clear();
        XVolume::XReadLock readLock(*inVolume);
        const X3DRect from(bounds.GetXYRect(), bounds.front, 1);
        inVolume->CopyInto(*prepared, from, X3DRect(content, 0, 1));
        SwapBytes(*prepared);
    }
    itsVolume = std::move(prepared);
    SetBounds(target);
    SetNeedsUpdate();
}

void XGLXVolumeTexture::UploadTexture()
{
    if (!itsVolume)
        return;
    XVolume::XReadLock lock(*itsVolume);
    {
        XGLPackedPixelStore packed;
        exceptglTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, itsVolume->GetWidth(), itsVolume->GetHeight(), 0, GL_BGRA_EXT,
                           GL_UNSIGNED_BYTE, itsVolume->GetData());
    }
    // Without mipmaps the default minification filter would leave the texture incomplete.
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    ThrowIfGLErr();
}

void XGLXVolumeTexture::SwapBytes(XARGB32Volume& inOutVolume)
{
    if (inOutVolume.GetData())
        SwapBuffer32(inOutVolume.GetLayerPtr(0), size_t(inOutVolume.GetWidth()) * size_t(inOutVolume.GetHeight()));
}

#pragma once
// A colour volume as one 2D texture per z-slice, for drawing it as a stack of
// blended planes. Each slice sits in the lower-left width × height part of a
// power-of-two texture (the rest is black): map texture coordinates
// 0…width / texture width and 0…height / texture height onto the slice's quad.
// The names belong to the context current during LoadVolume; they are deleted only
// there. A stack owns its textures, so it can be moved but not copied.
#include <cstdint>
#include <functional>
#include <vector>

class XARGB32Volume;

class XGLVolumeTextureStack {
public:
    XGLVolumeTextureStack() = default;
    // Loads the volume (the base InitialiseTexture runs: this is a constructor).
    explicit XGLVolumeTextureStack(const XARGB32Volume& inVolume);
    XGLVolumeTextureStack(const XGLVolumeTextureStack&) = delete;
    XGLVolumeTextureStack& operator=(const XGLVolumeTextureStack&) = delete;
    XGLVolumeTextureStack(XGLVolumeTextureStack&& inOther) noexcept;
    // Forgets this stack's textures first (see ForgetVolume).
    XGLVolumeTextureStack& operator=(XGLVolumeTextureStack&& inOther) noexcept;
    virtual ~XGLVolumeTextureStack();

    // Replaces the textures with one per slice of inVolume, in the current context.
    // The slice's red, green and blue bytes become the texels; alpha is not kept.
    // Throws XException when a slice is larger than OpenGL allows, XGLException on
    // GL errors.
    void LoadVolume(const XARGB32Volume& inVolume);
    // Replaces the textures with inSlices grey (luminance) slices of inWidth × inHeight
    // texels, each filled by inFill into one reused buffer (rows packed, one byte a
    // texel) just before its upload: no whole volume of texels is ever held. A texel
    // samples as (level, level, level, 1), as an opaque grey colour slice would, at a
    // quarter of the texture memory. Throws as LoadVolume does.
    using XSliceFill = std::function<void(int32_t inSlice, uint8_t* outTexels)>;
    void LoadGreySlices(int32_t inWidth, int32_t inHeight, int32_t inSlices, const XSliceFill& inFill);
    // Binds slice inSlice's texture to GL_TEXTURE_2D; reports a slice out of range.
    void BindSliceTexture(unsigned int inSlice);
    unsigned int GetSliceCount() const { return unsigned(textureNames.size()); }
    // Deletes the textures when their context is current (otherwise they are left
    // to it) and empties the stack.
    void ForgetVolume();

    uint32_t GetWidth() const { return itsWidth; }
    uint32_t GetHeight() const { return itsHeight; }
    uint32_t GetTextureWidth() const { return itsTextureWidth; }
    uint32_t GetTextureHeight() const { return itsTextureHeight; }
    uint32_t GetSliceTextureName(unsigned int inSlice) const;
    // The context that owns the textures (0 when there are none).
    uint32_t GetContextID() const { return itsContextID; }

protected:
    // Called with each new slice texture bound: linear filtering, clamped wrapping.
    // Derived renderers choose other parameters here.
    virtual void InitialiseTexture();

private:
    // Names, checks and sizes the textures for inSlices slices of inWidth × inHeight;
    // false when there is nothing to load.
    bool Begin(int32_t inWidth, int32_t inHeight, int32_t inSlices);

    uint32_t itsWidth = 0;
    uint32_t itsHeight = 0;
    uint32_t itsTextureWidth = 0;
    uint32_t itsTextureHeight = 0;
    std::vector<uint32_t> textureNames; // one per slice, slice 0 first
    uint32_t itsContextID = 0;
};

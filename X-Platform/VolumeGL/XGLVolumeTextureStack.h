#pragma once
// A colour volume as one 2D texture per z-slice, for drawing it as a stack of
// blended planes. Each slice sits in the lower-left width × height part of a
// power-of-two texture (the rest is black): map texture coordinates
// 0…width / texture width and 0…height / texture height onto the slice's quad.
// The names belong to the context current during LoadVolume; they are deleted only
// there. A stack owns its textures, so it can be moved but not copied.
#include <cstdint>
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
    uint32_t itsWidth = 0;
    uint32_t itsHeight = 0;
    uint32_t itsTextureWidth = 0;
    uint32_t itsTextureHeight = 0;
    std::vector<uint32_t> textureNames; // one per slice, slice 0 first
    uint32_t itsContextID = 0;
};

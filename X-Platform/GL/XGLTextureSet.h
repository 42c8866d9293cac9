#pragma once
// A plain set of 2D texture names of one GL context (no listener: the owner frees
// them in that context, or they are dropped when another context is current).
#include <cstdint>
#include <vector>

class XGLTextureSet {
public:
    XGLTextureSet() = default;
    // Deletes the names only when their context is current.
    ~XGLTextureSet();
    XGLTextureSet(const XGLTextureSet&) = delete;
    XGLTextureSet& operator=(const XGLTextureSet&) = delete;

    // inCount fresh names in the current context; the old ones are deleted when they
    // belong to it and dropped otherwise.
    void AllocateTexturesInCurrentContext(uint32_t inCount);
    // Binds texture inIndex to GL_TEXTURE_2D (only in the owning context).
    void SelectTexture(uint32_t inIndex);
    bool AreTexturesInCurrentContext() const;
    // Deletes the names when their context is current; forgets them in any case.
    void FreeTexturesInCurrentContext();
    uint32_t GetTextureCount() const { return uint32_t(itsTextureNames.size()); }
    uint32_t GetTextureName(uint32_t inIndex) const;
    uint32_t GetContextID() const { return itsContextID; }

    // Defines the bound GL_TEXTURE_2D as a black GL_INTENSITY image of the next powers
    // of two of the sizes, with linear filtering and repeat wrapping. Throws
    // XException when the size is beyond what the driver takes.
    static void ClearTexture(uint32_t inWidth, uint32_t inHeight);
    // Binds and clears every texture of the set.
    void ClearTextures(uint32_t inWidth, uint32_t inHeight);

private:
    bool CheckIndex(uint32_t inIndex) const;

    std::vector<uint32_t> itsTextureNames;
    uint32_t itsContextID = 0;
};

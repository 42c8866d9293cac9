#pragma once
// A numbered set of texture names of one GL context, with the size in bytes last
// bound under each. It listens to its context so that the names are deleted while
// that context still exists; names of a context that is not current are dropped,
// never deleted (the number may name another texture there).
#include "XGLContextListener.h"

#include <cstdint>
#include <vector>

class XGLTextureNameArray : public XGLContextListener {
public:
    XGLTextureNameArray() = default;
    ~XGLTextureNameArray() override;

    // inCount fresh names in the current context. Names held for another context are
    // given up first: deleted when that context is current, else dropped.
    void AllocateNames(uint32_t inCount);
    // Deletes the names (when their context is current) and forgets the context.
    void FreeNames();
    // Deletes one texture; its slot gets a new name when it is next bound.
    void FreeName(uint32_t inIndex);
    // Binds name inIndex to GL_TEXTURE_2D and records its size in bytes.
    void BindTexture2D(uint32_t inIndex, uint64_t inSize);
    // Binds name inIndex to GL_TEXTURE_3D (a driver without 3D textures is let be)
    // and records its size.
    void BindTexture3D(uint32_t inIndex, uint64_t inSize);
    // Makes inUnit (GL_TEXTURE0 + n) the active unit - it stays active - enables
    // GL_TEXTURE_3D there and binds as above.
    void BindTexture3D(uint32_t inUnit, uint32_t inIndex, uint64_t inSize);

    bool HasTexturesInCurrentContext() const;
    uint32_t GetTextureCount() const { return uint32_t(itsTextureNames.size()); }
    uint32_t GetTextureName(uint32_t inIndex) const;
    uint64_t GetTextureSize(uint32_t inIndex) const;
    // The bytes recorded for all names.
    uint64_t GetTotalTextureSize() const;
    uint32_t GetContextID() const { return itsContextID; }

    // The context is about to go: free the names while it is still current.
    void PreContextDispose() override;

    // When on, generating and freeing names is written to the session log.
    static void SetDebugMode(bool inOn);
    static bool IsDebugMode();

private:
    bool CheckIndex(uint32_t inIndex) const;
    // The name of slot inIndex, generated anew when the slot was freed.
    uint32_t NameForBinding(uint32_t inIndex);
    void Unregister();

    uint32_t itsContextID = 0;
    std::vector<uint32_t> itsTextureNames;
    std::vector<uint64_t> itsTextureSizes;
};

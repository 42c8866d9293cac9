#pragma once
// A 2D texture that fills itself on demand. The name belongs to the context that
// generated it: selected under another context the texture makes and fills a new
// name there and leaves the old one alone. Subclasses supply the pixels in
// UploadTexture, which runs with the new name bound.
#include "XRect.h"

#include <cstdint>

class XGLTexture {
public:
    XGLTexture() = default;
    // Deletes the name only when its context is current; otherwise it is left to
    // that context (a number from another context may name someone else's texture).
    virtual ~XGLTexture();
    // Two objects must not own one name.
    XGLTexture(const XGLTexture&) = delete;
    XGLTexture& operator=(const XGLTexture&) = delete;

    // Binds the texture to GL_TEXTURE_2D in the current context, generating and
    // filling a name first when it has none here or needs an update.
    void SelectTexture();
    // The next SelectTexture deletes the name and uploads again.
    void SetNeedsUpdate() { itsNeedsUpdate = true; }
    bool NeedsUpdate() const { return itsNeedsUpdate; }

    const XRect& GetBounds() const { return itsBounds; }
    uint32_t GetTextureName() const { return itsTextureName; }
    // The context that owns the name (0 when there is none).
    uint32_t GetContextID() const { return itsContextID; }

protected:
    // Fills the bound texture (level 0 and its parameters).
    virtual void UploadTexture() = 0;
    void SetBounds(const XRect& inBounds) { itsBounds = inBounds; }

private:
    uint32_t itsTextureName = 0;
    XRect itsBounds;
    uint32_t itsContextID = 0;
    bool itsNeedsUpdate = true;
};

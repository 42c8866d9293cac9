#pragma once
// A texture name together with the ID of the GL context that generated it. The name
// means something only while that context is current; elsewhere it is treated as absent.
#include <cstdint>

class XGLTextureDescriptor {
public:
    XGLTextureDescriptor() = default;
    XGLTextureDescriptor(uint32_t inContextID, uint32_t inName) : itsContextID(inContextID), itsName(inName) {}

    uint32_t GetContextID() const { return itsContextID; }
    uint32_t GetName() const { return itsName; }
    // For glGenTextures into the descriptor.
    uint32_t* GetNameAddress() { return &itsName; }
    void SetName(uint32_t inName) { itsName = inName; }
    // Forgets both the name and its context (deletes nothing).
    void Invalidate()
    {
        itsContextID = 0;
        itsName = 0;
    }
    bool IsInvalid() const { return itsName == 0; }
    bool IsInCurrentContext() const;
    // Binds the name to GL_TEXTURE_2D.
    void Select() const;

private:
    uint32_t itsContextID = 0;
    uint32_t itsName = 0;
};

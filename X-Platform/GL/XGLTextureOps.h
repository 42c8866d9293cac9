#pragma once
// Operations on texture descriptors that follow the context rule: a name is used or
// deleted only while the context that generated it is current.
#include "XGLTextureDescriptor.h"

#include <cstdint>

class XGLTextureOps {
public:
    XGLTextureOps() = delete;

    // The current GL context's ID; 0 when none is current.
    static uint32_t GetCurrentContextID();
    static bool IsInCurrentContext(const XGLTextureDescriptor& inDescriptor);
    // In the current context and holding a name.
    static bool IsUseable(const XGLTextureDescriptor& inDescriptor);
    static bool IsUnuseable(const XGLTextureDescriptor& inDescriptor) { return !IsUseable(inDescriptor); }
    // Deletes the name when it belongs to the current context (in any other context
    // that number may name someone else's texture) and invalidates the descriptor.
    static void Free(XGLTextureDescriptor& inOutDescriptor);
    // A fresh name in the current context. Throws XException 2301 when none is
    // generated; reports and gives an invalid descriptor without a current context.
    static XGLTextureDescriptor ManufactureTexture();
    // Defines the bound 2D texture as an empty inWidth × inHeight image. When the
    // driver took that size, sets linear filtering and repeat wrapping and returns true.
    static bool ConfigureBlankTexture(int32_t inInternalFormat, int32_t inWidth, int32_t inHeight);

    // The code of the failure to generate a texture name.
    static constexpr int32_t kNoTextureName = 2301;
};

#pragma once
// Reading textures back for the texture tests.
#include "WGLWnd.h"
#include "XGLContextLock.h"
#include "XOpenGL.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <utility>
#include <vector>

namespace TextureTest {
// A test that runs with a small window's context current throughout.
class XContextTest : public ::testing::Test {
protected:
    WGLWnd itsWindow{8, 8};
    XGLContextLock itsLock{itsWindow};
};

struct XTexels {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint8_t> bytes; // rows packed, bottom row first as GL stores them
};

// Level 0 of the texture bound to GL_TEXTURE_2D, as inFormat/GL_UNSIGNED_BYTE with
// inComponents bytes per texel.
XTexels ReadBoundTexture(GLenum inFormat, int inComponents);
// Level 0's size as (width, height); (0, 0) when undefined.
std::pair<int32_t, int32_t> BoundTextureSize();
// Whether the current context knows inName as a texture object.
bool IsTexture(uint32_t inName);
// One integer of the current context's state (-1 when the query wrote nothing).
GLint GLInteger(GLenum inName);
// One integer parameter of the texture bound to GL_TEXTURE_2D.
GLint BoundTextureParameter(GLenum inName);
} // namespace TextureTest

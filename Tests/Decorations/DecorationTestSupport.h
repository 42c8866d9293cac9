#pragma once
// Windows, pixel helpers and GL state snapshots shared by the decoration tests.
#include "TestPicture.h"
#include "WGLWnd.h"
#include "XARGB32Colour.h"
#include "XGLRenderable.h"
#include "XOpenGL.h"
#include "XVolume.h"

#include <array>
#include <memory>
#include <string>

namespace DecorationTest {
using TestPicture::IsBackground;
using TestPicture::PixelAt;
using TestPicture::SavePNG;
// Renders the window's whole frame and returns the picture.
std::unique_ptr<XVolume> Picture(WGLWnd& inWindow);

// The state a well-behaved decoration leaves as it found it.
struct XGLStateSnapshot {
    std::array<GLboolean, 10> enabled{};
    std::array<GLfloat, 4> colour{};
    std::array<GLfloat, 3> normal{};
    std::array<GLfloat, 4> ambient{}, diffuse{}, specular{};
    std::array<GLint, 4> viewport{}, scissor{};
    std::array<GLint, 2> polygonMode{};
    std::array<GLint, 2> blendFunction{};
    std::array<GLboolean, 6> clientArrays{};
    std::array<GLint, 4> unpack{};
    GLint matrixMode = 0, modelViewDepth = 0, projectionDepth = 0, textureBinding = 0, textureEnvMode = 0;
    GLint clientStackDepth = 0;
    GLfloat lineWidth = 0.0f;
    const GLvoid* vertexPointer = nullptr;
    std::array<GLdouble, 16> modelView{}, projection{};

    static XGLStateSnapshot Take();
    // The names of the parts that differ, empty when none.
    std::string Difference(const XGLStateSnapshot& inOther) const;
};

// Puts the current context into a deliberately unusual state, so that a decoration
// that switches something without restoring it is caught either way round.
void SetUnusualState(bool inColourMaterial);
} // namespace DecorationTest

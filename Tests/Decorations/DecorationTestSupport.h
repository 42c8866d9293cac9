#pragma once
// Windows, pixel helpers and GL state snapshots shared by the decoration tests.
#include "TestPicture.h"
#include "WGLWnd.h"
#include "XARGB32Colour.h"
#include "XGLRenderable.h"
#include "XOpenGL.h"
#include "XVolume.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace DecorationTest {
using TestPicture::IsBackground;
using TestPicture::PixelAt;
using TestPicture::SavePNG;
// Renders the window's whole frame, with inNode in the window for that frame only.
std::unique_ptr<XVolume> Picture(WGLWnd& inWindow, XGLRenderable& inNode);

// The state a well-behaved decoration leaves as it found it: each named part's values.
struct XGLStateSnapshot {
    std::vector<std::pair<std::string, std::vector<double>>> parts;

    static XGLStateSnapshot Take();
    // The names of the parts that differ, empty when none.
    std::string Difference(const XGLStateSnapshot& inOther) const;
};

// Puts the current context into a deliberately unusual state, so that a decoration
// that switches something without restoring it is caught either way round.
void SetUnusualState(bool inColourMaterial);
} // namespace DecorationTest

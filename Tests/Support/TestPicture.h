#pragma once
// Pixel helpers shared by the picture tests: read back, count and save what a GL
// test drew, so a person can look at it.
#include "XARGB32Colour.h"
#include "XARGB32Volume.h"
#include "XVolume.h"

#include <cstdint>
#include <string>

namespace TestPicture {
// The pixel at column x, row y (row 0 at the top) of plane 0.
XARGB32Colour PixelAt(const XVolume& inPicture, int inX, int inY);
// Black (alpha aside): the tests clear to black.
bool IsBackground(const XARGB32Colour& inPixel);
// Pixels that differ between two pictures of one size.
int CountDifferences(const XVolume& inA, const XVolume& inB);
int CountNonBackground(const XVolume& inPicture);
// Saves plane 0, made opaque, as <name>.png in the images folder beside the test
// programs' folder; returns the path.
std::string SavePNG(const XVolume& inPicture, const std::string& inName);
// A volume of the given size filled with one colour.
XARGB32Volume SolidVolume(int32_t inWidth, int32_t inHeight, int32_t inDepth, const XARGB32Colour& inColour);
} // namespace TestPicture

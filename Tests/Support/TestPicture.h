#pragma once
// Pixel helpers shared by the picture tests: read back and count what a GL test drew,
// and keep pictures so that a person can look at them when a test fails.
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
// Pixels that differ between two pictures of one size. Should the running test fail,
// both pictures and their difference are written (see SavePNG), named after the test.
int CountDifferences(const XVolume& inA, const XVolume& inB);
int CountNonBackground(const XVolume& inPicture);
// Keeps plane 0, made opaque: should the running test fail, it is written as
// <name>.png into the images folder beside the test programs' folder, and its path
// printed. Passing tests write nothing.
void SavePNG(const XVolume& inPicture, const std::string& inName);
// A volume of the given size filled with one colour.
XARGB32Volume SolidVolume(int32_t inWidth, int32_t inHeight, int32_t inDepth, const XARGB32Colour& inColour);
} // namespace TestPicture

#pragma once
// Pixel helpers shared by the picture tests: read back and count what a GL test drew,
// and keep pictures so that a person can look at them when a test fails.
#include "XARGB32Colour.h"
#include "XARGB32Volume.h"
#include "XVolume.h"

#include <cstdint>
#include <functional>
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
// Where the pixels that pass a test lie: how many, their bounding box and their centre
// (pixel centres at +0.5).
struct XSpread {
    int count = 0;
    int left = 0, top = 0, right = -1, bottom = -1; // inclusive
    double centreX = 0, centreY = 0;
    // The share of the bounding box the pixels fill.
    double GetFill() const { return count ? count / double((right - left + 1) * (bottom - top + 1)) : 0.0; }
};
XSpread SpreadOf(const XVolume& inPicture, const std::function<bool(const XARGB32Colour&)>& inTest);
// Keeps plane 0, made opaque: should the running test fail, it is written as
// <name>.png into the images folder beside the test programs' folder, and its path
// printed. Passing tests write nothing.
void SavePNG(const XVolume& inPicture, const std::string& inName);
// A volume of the given size filled with one colour.
XARGB32Volume SolidVolume(int32_t inWidth, int32_t inHeight, int32_t inDepth, const XARGB32Colour& inColour);
} // namespace TestPicture

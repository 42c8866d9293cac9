#pragma once
// Reverses the byte order of each 32-bit word of a buffer in place, turning
// ARGB memory order into BGRA and back.
#include <cstddef>
#include <cstdint>

void SwapBuffer32(void* inOutBuffer, size_t inWordCount);
// From one buffer into another (they may be the same, not partly overlapping).
void SwapBuffer32(const void* inSource, void* outTarget, size_t inWordCount);

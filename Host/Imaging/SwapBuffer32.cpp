#include "SwapBuffer32.h"

#include <cstring>

void SwapBuffer32(const void* inSource, void* outTarget, size_t inWordCount)
{
    const uint8_t* s = static_cast<const uint8_t*>(inSource);
    uint8_t* t = static_cast<uint8_t*>(outTarget);
    // memcpy keeps the words free of alignment demands; the compiler turns this into bswap.
    for (size_t i = 0; i < inWordCount; ++i) {
        uint32_t w;
        std::memcpy(&w, s + i * 4, 4);
        w = __builtin_bswap32(w);
        std::memcpy(t + i * 4, &w, 4);
    }
}

void SwapBuffer32(void* inOutBuffer, size_t inWordCount)
{
    SwapBuffer32(inOutBuffer, inOutBuffer, inWordCount);
}

#include "X3DGCBuffer.h"

#include "XException.h"

#include <string>

void X3DGCBuffer::CheckRange(uint64_t inOffsetBytes, uint64_t inSizeBytes) const
{
    // Written so that no sum can wrap around.
    if (inOffsetBytes <= itsSizeBytes && inSizeBytes <= itsSizeBytes - inOffsetBytes)
        return;
    throw XException(XException::kBadArgument,
        XString("the range of " + std::to_string(inSizeBytes) + " bytes at offset " + std::to_string(inOffsetBytes) +
            " does not fit in the device buffer of " + std::to_string(itsSizeBytes) +
            " bytes; pass a range inside the buffer or make the buffer larger"));
}

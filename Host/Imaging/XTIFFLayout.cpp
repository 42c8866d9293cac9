#include "XTIFFLayout.h"

#include <algorithm>
#include <limits>

uint64_t XTIFFLayout::GetTotalBytes() const
{
    uint64_t total = GetBytesPerVoxel(voxelType);
    for (uint64_t factor : {uint64_t(std::max(width, 0)), uint64_t(std::max(height, 0)), uint64_t(channelCount),
             uint64_t(sliceCount), uint64_t(timepointCount)}) {
        if (factor != 0 && total > std::numeric_limits<uint64_t>::max() / factor)
            return std::numeric_limits<uint64_t>::max();
        total *= factor;
    }
    return total;
}

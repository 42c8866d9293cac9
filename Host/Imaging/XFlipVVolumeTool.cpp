#include "XFlipVVolumeTool.h"

#include "XVolume.h"

#include <cstring>
#include <vector>

void XFlipVVolumeTool::Flip(XVolume& inOutVolume)
{
    if (inOutVolume.IsEmpty())
        return;
    const size_t rowBytes = inOutVolume.GetRowBytes();
    std::vector<uint8_t> spare(rowBytes);
    const int32_t height = inOutVolume.GetHeight();
    for (int32_t z = 0; z < inOutVolume.GetDepth(); ++z) {
        for (int32_t y = 0; y < height / 2; ++y) {
            uint8_t* a = inOutVolume.GetRowPtr(y, z);
            uint8_t* b = inOutVolume.GetRowPtr(height - 1 - y, z);
            std::memcpy(spare.data(), a, rowBytes);
            std::memcpy(a, b, rowBytes);
            std::memcpy(b, spare.data(), rowBytes);
        }
    }
}

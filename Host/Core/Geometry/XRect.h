#pragma once
// An integer rectangle (pixels); right and bottom are exclusive (see XRectT).
#include "XRectT.h"

#include <cstdint>

using XRect = XRectT<int32_t>;

#pragma once
// Input as the GL window passes it to its hooks; tests make these to drive hooks.
#include "XPoint.h"

#include <cstdint>

struct WGLEvent {
    enum Kind : uint32_t { kMouseDown, kMouseMove, kMouseUp, kKeyDown, kSize };
    enum Button : uint32_t { kNoButton = 0, kLeftButton = 1, kMiddleButton = 2, kRightButton = 4 };
    enum Modifier : uint32_t { kNoModifier = 0, kShift = 1, kControl = 2, kAlt = 4 };

    Kind kind = kMouseMove;
    XPoint point;         // window coordinates, y down
    uint32_t buttons = 0; // Button bits held (for kMouseUp: the button released)
    uint32_t modifiers = 0;
    uint32_t key = 0;     // kKeyDown: the key's character or code
    int32_t width = 0;    // kSize: the new size
    int32_t height = 0;
};

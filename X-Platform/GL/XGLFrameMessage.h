#pragma once
// Draws a line of text into the current frame (failures that stop a frame are shown
// where the picture would be): red, 14 points, at (5, 15) from the top left.
#include "XString.h"

class XGLFrameMessage {
public:
    // Never throws: it runs while a failure is already on its way out.
    static void Draw(const XString& inText);
};

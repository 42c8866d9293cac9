#pragma once
// Turns a volume upside down: in every plane the top row and the bottom row trade
// places (GL reads pixels bottom-up, pictures are top-down).
class XVolume;

class XFlipVVolumeTool {
public:
    static void Flip(XVolume& inOutVolume);
};

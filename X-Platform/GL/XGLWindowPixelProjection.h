#pragma once
// Draws in pixels for a scope (see XGLOrthoProjection), depths −1 to 1. Window
// coordinates have y growing upwards from the window's bottom left, as the screen
// matrices give them; viewport coordinates have y growing downwards from the
// viewport's top left, as text and panels are laid out.
#include "XGLOrthoProjection.h"

class XGLWindowPixelProjection : public XGLOrthoProjection {
public:
    enum XOrigin { kWindowBottomLeft, kViewportTopLeft };

    explicit XGLWindowPixelProjection(XOrigin inOrigin);

private:
    struct XBox {
        double left, right, bottom, top;
    };
    XGLWindowPixelProjection(const XBox& inBox);
    static XBox PixelBox(XOrigin inOrigin);
};

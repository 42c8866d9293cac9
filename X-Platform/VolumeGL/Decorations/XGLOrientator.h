#pragma once
// The orientation marker: three arrows, x red, y green, z blue, with their letters,
// drawn in a square in the bottom-left corner of the window and turned with the
// frame it hangs in (the volume's).
#include "XGLOrientatorAxis.h"
#include "XGLRenderable.h"

class XGLOrientator : public XGLRenderable {
public:
    XGLOrientator();
    XGLOrientator(const XGLOrientator& inOther);
    XGLOrientator& operator=(const XGLOrientator& inOther);
    ~XGLOrientator() override;

    void Render(XGLRenderable& inFrom) override;
    // The side of the marker's square for a window of the given size, in pixels;
    // 0 when the window is too small to show it.
    static int GetMarkerSize(int inWindowWidth, int inWindowHeight);

    XGLOrientatorAxis& GetAxis(int inIndex) { return itsAxes[inIndex]; }

private:
    void Build();

    XGLOrientatorAxis itsAxes[3];
};

#pragma once
// The host view's frame that a volume renderer puts its GL window in. It does not own
// that window; resizing the frame resizes the window to fill it.
#include <cstdint>

class WGLWnd;

class WRendererEnclosureWnd {
public:
    WRendererEnclosureWnd(int32_t inWidth, int32_t inHeight);
    WRendererEnclosureWnd(const WRendererEnclosureWnd&) = delete;
    WRendererEnclosureWnd& operator=(const WRendererEnclosureWnd&) = delete;

    void SetRendererWnd(WGLWnd* inWnd);
    WGLWnd* GetRendererWnd() const { return itsRendererWnd; }
    // Sizes below one pixel become one pixel.
    void SetSize(int32_t inWidth, int32_t inHeight);
    int32_t GetWidth() const { return itsWidth; }
    int32_t GetHeight() const { return itsHeight; }

private:
    WGLWnd* itsRendererWnd = nullptr;
    int32_t itsWidth = 1;
    int32_t itsHeight = 1;
};

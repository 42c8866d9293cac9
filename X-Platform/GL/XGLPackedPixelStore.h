#pragma once
// Client rows for an upload read as given here (by default tightly packed),
// whatever the caller left set; the caller's pixel-store state comes back on destruction.
class XGLPackedPixelStore {
public:
    // inAlignment: 4 for 32-bit texels, 1 for rows of 1- or 3-byte pixels. A row
    // length of 0 means the upload's own width; the skips pick a region of the source.
    explicit XGLPackedPixelStore(int inAlignment = 4, int inRowLength = 0, int inSkipRows = 0, int inSkipPixels = 0);
    ~XGLPackedPixelStore();
    XGLPackedPixelStore(const XGLPackedPixelStore&) = delete;
    XGLPackedPixelStore& operator=(const XGLPackedPixelStore&) = delete;
};

#pragma once
// Restores the 2D texture binding in force at construction.
class XGLTextureBindSaver {
public:
    XGLTextureBindSaver();
    ~XGLTextureBindSaver();
    XGLTextureBindSaver(const XGLTextureBindSaver&) = delete;
    XGLTextureBindSaver& operator=(const XGLTextureBindSaver&) = delete;

private:
    int itsTexture = 0;
};

#include "XGLPackedPixelStore.h"
#include "XOpenGL.h"

XGLPackedPixelStore::XGLPackedPixelStore(int inAlignment, int inRowLength, int inSkipRows, int inSkipPixels)
{
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glPixelStorei(GL_UNPACK_ALIGNMENT, inAlignment);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, inRowLength);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, inSkipRows);
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, inSkipPixels);
    glPixelStorei(GL_UNPACK_SWAP_BYTES, GL_FALSE);
    glPixelStorei(GL_UNPACK_LSB_FIRST, GL_FALSE);
}

XGLPackedPixelStore::~XGLPackedPixelStore()
{
    glPopClientAttrib();
}

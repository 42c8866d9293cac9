#include "XGLFrameMessage.h"
#include "XOpenGL.h"

#include <cairo.h>

void XGLFrameMessage::Draw(const XString& inText)
{
    try {
        if (!OpenGLIsLoaded())
            return;
        GLint viewport[4] = {};
        glGetIntegerv(GL_VIEWPORT, viewport);
        const int w = viewport[2], h = viewport[3];
        if (w <= 0 || h <= 0)
            return;
        const int textHeight = std::min(h, 20);
        cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, textHeight);
        cairo_t* cr = cairo_create(surface);
        cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
        cairo_set_font_size(cr, 14.0 * 96.0 / 72.0);
        cairo_set_source_rgba(cr, 1, 0, 0, 1);
        cairo_move_to(cr, 5, 15);
        cairo_show_text(cr, inText.GetCString());
        cairo_destroy(cr);
        cairo_surface_flush(surface);

        glPushAttrib(GL_ALL_ATTRIB_BITS);
        glMatrixMode(GL_PROJECTION);
        glPushMatrix();
        glLoadIdentity();
        glOrtho(0, w, 0, h, -1, 1);
        glMatrixMode(GL_MODELVIEW);
        glPushMatrix();
        glLoadIdentity();
        glDisable(GL_DEPTH_TEST);
        glDisable(GL_LIGHTING);
        glDisable(GL_TEXTURE_2D);
        glDisable(GL_STENCIL_TEST);
        glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
        glEnable(GL_BLEND);
        glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA); // cairo's pixels are premultiplied
        glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
        glPixelStorei(GL_UNPACK_ROW_LENGTH, cairo_image_surface_get_stride(surface) / 4);
        // Cairo's rows run top down: start at the top edge and draw downwards.
        glRasterPos2i(0, 0);
        glBitmap(0, 0, 0, 0, 0, GLfloat(h), nullptr);
        glPixelZoom(1.0f, -1.0f);
        glDrawPixels(w, textHeight, GL_BGRA_EXT, GL_UNSIGNED_BYTE, cairo_image_surface_get_data(surface));
        glPixelZoom(1.0f, 1.0f);
        glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
        glPopMatrix();
        glMatrixMode(GL_PROJECTION);
        glPopMatrix();
        glMatrixMode(GL_MODELVIEW);
        glPopAttrib();
        cairo_surface_destroy(surface);
    } catch (...) {
    }
}

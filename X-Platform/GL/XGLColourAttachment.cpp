#include "XGLColourAttachment.h"
#include "XOpenGL.h"

void XGLColourAttachment::SetColour(double inRed, double inGreen, double inBlue, double inAlpha)
{
    itsRed = inRed;
    itsGreen = inGreen;
    itsBlue = inBlue;
    itsAlpha = inAlpha;
}

void XGLColourAttachment::PreRender()
{
    glGetFloatv(GL_CURRENT_COLOR, itsSavedColour);
    glColor4f(GLfloat(itsRed), GLfloat(itsGreen), GLfloat(itsBlue), GLfloat(itsAlpha));
}

void XGLColourAttachment::PostRender()
{
    glColor4fv(itsSavedColour);
}

#include "XGLColourSetter.h"
#include "XOpenGL.h"

void XGLColourSetter::Save()
{
    glGetFloatv(GL_CURRENT_COLOR, itsSaved);
}

XGLColourSetter::XGLColourSetter(float inRed, float inGreen, float inBlue, float inAlpha)
{
    Save();
    glColor4f(inRed, inGreen, inBlue, inAlpha);
}

XGLColourSetter::XGLColourSetter(const XARGB32Colour& inColour)
{
    Save();
    glColor3f(GLfloat(inColour.red / 255.0), GLfloat(inColour.green / 255.0), GLfloat(inColour.blue / 255.0));
}

XGLColourSetter::XGLColourSetter(const XRGBFloat32Colour& inColour)
{
    Save();
    glColor3f(inColour.red, inColour.green, inColour.blue);
}

XGLColourSetter::~XGLColourSetter()
{
    glColor4fv(itsSaved);
}

#include "XGLAlphaTestSetter.h"
#include "XOpenGL.h"

XGLAlphaTestSetter::XGLAlphaTestSetter(int inFunction, float inReference)
{
    itsWasOn = glIsEnabled(GL_ALPHA_TEST) != GL_FALSE;
    if (!itsWasOn)
        glEnable(GL_ALPHA_TEST);
    glGetIntegerv(GL_ALPHA_TEST_FUNC, &itsFunction);
    glGetFloatv(GL_ALPHA_TEST_REF, &itsReference);
    itsChanged = itsFunction != inFunction || itsReference != inReference;
    if (itsChanged)
        glAlphaFunc(GLenum(inFunction), inReference);
}

XGLAlphaTestSetter::~XGLAlphaTestSetter()
{
    if (itsChanged)
        glAlphaFunc(GLenum(itsFunction), itsReference);
    if (!itsWasOn)
        glDisable(GL_ALPHA_TEST);
}

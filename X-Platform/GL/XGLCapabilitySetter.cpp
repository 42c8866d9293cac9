#include "XGLCapabilitySetter.h"

XGLCapabilitySetter::XGLCapabilitySetter(GLenum inCapability, bool inOn)
    : itsCapability(inCapability), itsWasOn(glIsEnabled(inCapability) != GL_FALSE), itsChanged(itsWasOn != inOn)
{
    // Only a real change touches GL: redundant switches cost a state validation.
    if (itsChanged)
        inOn ? glEnable(itsCapability) : glDisable(itsCapability);
}

XGLCapabilitySetter::~XGLCapabilitySetter()
{
    if (itsChanged)
        itsWasOn ? glEnable(itsCapability) : glDisable(itsCapability);
}

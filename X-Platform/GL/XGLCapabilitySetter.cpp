#include "XGLCapabilitySetter.h"

XGLCapabilitySetter::XGLCapabilitySetter(GLenum inCapability, bool inOn)
    : itsCapability(inCapability), itsChanged(false), itsWasOn(glIsEnabled(inCapability) != GL_FALSE)
{
    // Only a real change touches GL: redundant switches cost a state validation.
    itsChanged = itsWasOn != inOn;
    if (itsChanged)
        inOn ? glEnable(itsCapability) : glDisable(itsCapability);
}

XGLCapabilitySetter::~XGLCapabilitySetter()
{
    if (itsChanged)
        itsWasOn ? glEnable(itsCapability) : glDisable(itsCapability);
}

#include "XGLContextListener.h"
#include "XGLContext.h"

XGLContextListener::~XGLContextListener()
{
    if (itsContext)
        itsContext->RemoveContextListener(this);
}

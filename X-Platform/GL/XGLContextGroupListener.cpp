#include "XGLContextGroupListener.h"
#include "XGLContext.h"

XGLContextGroupListener::XGLContextGroupListener()
{
    XGLContext::AddContextGroupListener(this);
}

void XGLContextGroupListener::ContextGroupCreated(unsigned long) {}
void XGLContextGroupListener::ContextGroupDestroyed(unsigned long) {}

XGLContextGroupListener::~XGLContextGroupListener()
{
    XGLContext::RemoveContextGroupListener(this);
}

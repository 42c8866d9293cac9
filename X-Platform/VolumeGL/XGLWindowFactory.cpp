#include "XGLWindowFactory.h"

#include "XException.h"

#include <atomic>

namespace {
// Constant-initialised, so a registration made while the library loads is never lost.
std::atomic<XGLWindowFactory*> sFactory{nullptr};
} // namespace

void XGLWindowFactory::Register(XGLWindowFactory* inFactory) { sFactory = inFactory; }

XGLWindowFactory& XGLWindowFactory::Get()
{
    XGLWindowFactory* factory = sFactory.load();
    if (!factory)
        throw XException(XException::kOpenGLError,
                         "No window system is available for the 3D view. The module was built without its "
                         "window-system part; rebuild it with the Linux folder.");
    return *factory;
}

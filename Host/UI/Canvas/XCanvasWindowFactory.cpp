#include "XCanvasWindowFactory.h"

#include "XCanvasPaneBase.h"

#include <atomic>

namespace {
// Constant-initialised, so a registration made while a library loads is never lost.
std::atomic<XCanvasWindowFactory*> sFactory{nullptr};
} // namespace

void XCanvasWindowFactory::Register(XCanvasWindowFactory* inFactory) { sFactory = inFactory; }

XCanvasWindowFactory* XCanvasWindowFactory::Get() { return sFactory.load(); }

XCanvasPaneBase* XCanvasWindowFactory::MakeCanvas(const XRect& inBounds, const XString& inName)
{
    if (XCanvasWindowFactory* factory = Get())
        return factory->MakeCanvasWindow(inBounds, inName);
    return new XCanvasPaneBase(inBounds, inName);
}

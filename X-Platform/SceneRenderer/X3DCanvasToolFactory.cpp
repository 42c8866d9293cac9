#include "X3DCanvasToolFactory.h"

#include <atomic>

namespace {
std::atomic<X3DCanvasToolFactory*> sFactory{nullptr};
}

void X3DCanvasToolFactory::Register(X3DCanvasToolFactory* inFactory) { sFactory = inFactory; }

X3DCanvasToolFactory* X3DCanvasToolFactory::Get() { return sFactory; }

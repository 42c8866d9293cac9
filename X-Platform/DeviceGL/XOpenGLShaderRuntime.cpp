#include "XOpenGLShaderRuntime.h"

#include "XException.h"

#include <atomic>

namespace {
std::atomic<XOpenGLShaderRuntime*> sRuntime{nullptr};
}

void XOpenGLShaderRuntime::Install(XOpenGLShaderRuntime* inRuntime) { sRuntime = inRuntime; }

XOpenGLShaderRuntime* XOpenGLShaderRuntime::Get() { return sRuntime; }

XOpenGLShaderRuntime& XOpenGLShaderRuntime::Require()
{
    XOpenGLShaderRuntime* runtime = sRuntime;
    if (runtime == nullptr)
        throw XException(XException::kNoShaderProfile,
            "the shader runtime is not loaded, so shader programs cannot be used; draw without shaders or "
            "install the shader runtime before making devices");
    return *runtime;
}

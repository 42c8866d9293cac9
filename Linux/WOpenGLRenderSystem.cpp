// The window system's side of the OpenGL render system: EGL device implementations
// and pbuffer targets. Registered when the module loads, so that the render system
// manager offers it as soon as the host makes the manager.
#include "WGLPBufferTargetImp.h"
#include "WOpenGLGC.h"
#include "X3DRenderSystemManager.h"
#include "XOpenGLRenderSystem.h"

namespace {
class WOpenGLPlatform : public XOpenGLRenderSystem::XPlatform {
public:
    std::unique_ptr<X3DGCImp> CreateGCImp(X3DGC& inGC) override { return std::make_unique<WOpenGLGC::WOpenGLGCImp>(inGC); }
    bool IsPBufferSupported(X3DGC& inGC) override { return WGLPBufferTargetImp::IsSupported(inGC); }
    std::unique_ptr<X3DGCOffscreenTargetImp> CreatePBufferTargetImp(X3DGC&, X3DGCOffscreenTarget& inTarget) override
    {
        return std::make_unique<WGLPBufferTargetImp>(inTarget);
    }
};

[[maybe_unused]] const bool sRegistered = (X3DRenderSystemManager::AddStartupRenderSystem(
    XOpenGLRenderSystem::kRenderSystemKey,
    [] { return std::make_unique<XOpenGLRenderSystem>(std::make_unique<WOpenGLPlatform>()); }), true);
} // namespace

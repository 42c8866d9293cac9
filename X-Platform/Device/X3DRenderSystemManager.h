#pragma once
// The process's render systems and the shader context all devices share. The host
// makes the one manager before any device and registers the render systems; the
// first one registered (lowest key) makes every device and resource.
#include "XMap.h"
#include "cg.h"

#include <cstdint>
#include <functional>
#include <memory>

class X3DRenderSystem;

class X3DRenderSystemManager {
public:
    // A second manager is reported and does not replace the first.
    X3DRenderSystemManager();
    ~X3DRenderSystemManager();
    X3DRenderSystemManager(const X3DRenderSystemManager&) = delete;
    X3DRenderSystemManager& operator=(const X3DRenderSystemManager&) = delete;

    static X3DRenderSystemManager* GetManager();
    // Null, reported, when there is no manager or no render system.
    static X3DRenderSystem* GetCurrentRenderSystem();
    // As GetCurrentRenderSystem, but throws XException kNoRenderer instead of returning null.
    static X3DRenderSystem& GetRequiredRenderSystem();

    void RegisterRenderSystem(uint32_t inKey, std::unique_ptr<X3DRenderSystem> inSystem);
    // For render systems built into the module: every manager made later registers
    // one made by inMaker, and a manager that exists now registers it at once.
    using XRenderSystemMaker = std::function<std::unique_ptr<X3DRenderSystem>()>;
    static void AddStartupRenderSystem(uint32_t inKey, XRenderSystemMaker inMaker);
    // The shader context every device's programs live in, made with the manager (whose
    // construction logs the runtime's version); devices copy it at construction.
    _CGcontext* GetApplicationCgContext() const { return itsApplicationCgContext; }

private:
    XMap<uint32_t, std::unique_ptr<X3DRenderSystem>> itsSystemMap;
    _CGcontext* itsApplicationCgContext = nullptr;

    static X3DRenderSystemManager* sManager;
};

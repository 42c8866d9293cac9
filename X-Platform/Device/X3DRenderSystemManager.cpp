#include "X3DRenderSystemManager.h"

#include "X3DRenderSystem.h"
#include "XAssert.h"
#include "XException.h"
#include "XSessionLogManager.h"

#include <utility>
#include <vector>

X3DRenderSystemManager* X3DRenderSystemManager::sManager = nullptr;

namespace {
// Filled while the module's objects are initialised, so made on first use.
std::vector<std::pair<uint32_t, X3DRenderSystemManager::XRenderSystemMaker>>& StartupSystems()
{
    static std::vector<std::pair<uint32_t, X3DRenderSystemManager::XRenderSystemMaker>> sSystems;
    return sSystems;
}
} // namespace

X3DRenderSystemManager::X3DRenderSystemManager()
{
    X_ASSERT(sManager == 0);
    if (sManager == nullptr)
        sManager = this;
    itsApplicationCgContext = cgCreateContext();
    XSessionLogManager::GetManager()->AddEntry(
        XString("Cg Version reported as %1").Replace(XString(cgGetString(CG_VERSION))), XSessionLogManager::kInfo);
    for (const auto& [key, maker] : StartupSystems())
        RegisterRenderSystem(key, maker());
}

void X3DRenderSystemManager::AddStartupRenderSystem(uint32_t inKey, XRenderSystemMaker inMaker)
{
    if (sManager != nullptr)
        sManager->RegisterRenderSystem(inKey, inMaker());
    StartupSystems().emplace_back(inKey, std::move(inMaker));
}

X3DRenderSystemManager::~X3DRenderSystemManager()
{
    // Shaders still alive lose their programs with the context.
    cgDestroyContext(itsApplicationCgContext);
    if (sManager == this)
        sManager = nullptr;
}

X3DRenderSystemManager* X3DRenderSystemManager::GetManager()
{
    X_ASSERT(sManager);
    return sManager;
}

X3DRenderSystem* X3DRenderSystemManager::GetCurrentRenderSystem()
{
    X_ASSERT(sManager);
    if (sManager == nullptr)
        return nullptr;
    X_ASSERT(!sManager->itsSystemMap.empty());
    return sManager->itsSystemMap.empty() ? nullptr : sManager->itsSystemMap.begin()->second.get();
}

X3DRenderSystem& X3DRenderSystemManager::GetRequiredRenderSystem()
{
    X3DRenderSystem* system = GetCurrentRenderSystem();
    if (system == nullptr)
        throw XException(XException::kNoRenderer,
            "no graphics render system is registered; create the render system manager and register a render "
            "system before making devices or device resources");
    return *system;
}

void X3DRenderSystemManager::RegisterRenderSystem(uint32_t inKey, std::unique_ptr<X3DRenderSystem> inSystem)
{
    itsSystemMap[inKey] = std::move(inSystem);
}

#include "X3DRenderSystemManager.h"

#include "X3DRenderSystem.h"
#include "XAssert.h"
#include "XException.h"
#include "XSessionLogManager.h"

X3DRenderSystemManager* X3DRenderSystemManager::sManager = nullptr;

X3DRenderSystemManager::X3DRenderSystemManager()
{
    X_ASSERT(sManager == 0);
    if (sManager == nullptr)
        sManager = this;
    itsApplicationCgContext = cgCreateContext();
    XSessionLogManager::GetManager()->AddEntry(
        XString("Cg Version reported as %1").Replace(XString(cgGetString(CG_VERSION))), XSessionLogManager::kInfo);
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

// The module's entry: the registry's registration message asks it for its strategies.
#include "XMessage.h"
#include "XSliceStackStrategy.h"
#include "XVolumeRendererManager.h"

#include <cstdint>

extern "C" __attribute__((visibility("default"))) void KestrinModuleHandleMessage(const XMessage& inMessage, uint32_t)
{
    if (dynamic_cast<const XVolumeRendererManager::XRegisterVolumeRendererMessage*>(&inMessage))
        XVolumeRendererManager::GetManager().RegisterRendererStrategy(new XSliceStackStrategy);
}
